// Code page 936 to UTF-16 and back, with a codec of two characters and with none (a system
// without East Asian support): every byte string comes back as it was.
#include <gtest/gtest.h>
#include <string>
#include "../../src/app/cp936.h"

namespace {

const struct { unsigned char lead, trail; uint16_t character; } kTable[] = {{0xB9, 0xD8, 0x5173}, {0xBB, 0xFA, 0x673A}};

int Decode(unsigned char lead, unsigned char trail, uint16_t *character)
{
    for (const auto &t : kTable)
        if (t.lead == lead && t.trail == trail) return *character = t.character, 1;
    return 0;
}
int Encode(uint16_t character, unsigned char bytes[2])
{
    for (const auto &t : kTable)
        if (t.character == character) return bytes[0] = t.lead, bytes[1] = t.trail, 1;
    return 0;
}
int DecodeNothing(unsigned char, unsigned char, uint16_t *) { return 0; }
int EncodeNothing(uint16_t, unsigned char[2]) { return 0; }
const Cp936Codec kTwo = {Decode, Encode}, kNone = {DecodeNothing, EncodeNothing};

std::u16string Wide(const std::string &bytes, const Cp936Codec &codec, size_t size = 64)
{
    uint16_t out[64];
    size_t n = Cp936ToWide(bytes.c_str(), out, size, codec);
    return std::u16string(out, out + n);
}
std::string Narrow(const std::u16string &text, const Cp936Codec &codec, size_t size = 48)
{
    char out[64];
    size_t n = WideToCp936((const uint16_t *)text.c_str(), out, size, codec);
    return std::string(out, n);
}

TEST(Cp936, NamesGoToUtf16AndBackByteForByteWhateverTheSystemHas)
{
    struct { std::string bytes; const Cp936Codec *codec; std::u16string wide; } rows[] = {
        {"\xB9\xD8\xBB\xFA", &kTwo, u"\u5173\u673A"},               // 关机
        {"a(2) \xB9\xD8", &kTwo, u"a(2) \u5173"},
        {"\xB9", &kTwo, u"\uF7B9"},                                  // half a character
        {"\xB9\x20\x80", &kTwo, u"\uF7B9 \uF780"},                   // a lead byte without its trail
        {"\xB9\xD8\xBB\xFA", &kNone, u"\uF7B9\uF7D8\uF7BB\uF7FA"},  // no tables: shown as they are
        {"", &kTwo, u""}};
    for (const auto &r : rows) {
        EXPECT_EQ(r.wide, Wide(r.bytes, *r.codec)) << &r - rows;
        EXPECT_EQ(r.bytes, Narrow(r.wide, *r.codec)) << &r - rows;
    }
    EXPECT_EQ("?a", Narrow(u"\u665Aa", kTwo));  // typed, and not in code page 936
    // Cut at a whole character: 47 bytes hold 23 Chinese characters, not 23 and a half.
    std::u16string long24(24, u'\u5173');
    EXPECT_EQ(46u, Narrow(long24, kTwo).size());
    EXPECT_EQ(u"\u5173", Wide("\xB9\xD8\xBB\xFA", kTwo, 2));
    // A button's 31 bytes: two for each character beyond ASCII, one for an unexplained byte.
    const std::u16string button[] = {u"\u5173\u673A", std::u16string(40, u'x'), std::u16string(20, u'\u5173'), u"\uF7B9x"};
    const size_t fits[] = {2, 31, 15, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(fits[i], CharactersInBytes((const uint16_t *)button[i].c_str(), 31)) << i;
}

}  // namespace
