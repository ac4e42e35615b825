#include "cp936.h"

const uint16_t kUnexplainedByte = 0xF700;  // + the byte: U+F780 to U+F7FF

static int IsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

size_t Cp936ToWide(const char *text, uint16_t *out, size_t size, const Cp936Codec &codec)
{
    size_t n = 0;
    for (const unsigned char *p = (const unsigned char *)text; *p && n + 1 < size;) {
        uint16_t c = *p;
        if (c >= 0x80) c = kUnexplainedByte + *p;
        if (IsLeadByte(p[0]) && p[1] && codec.decode(p[0], p[1], &c)) ++p;
        out[n++] = c;
        ++p;
    }
    if (size) out[n] = 0;
    return n;
}

size_t WideToCp936(const uint16_t *text, char *out, size_t size, const Cp936Codec &codec)
{
    size_t n = 0;
    for (; *text; ++text) {
        unsigned char bytes[2] = {(unsigned char)*text, 0};
        size_t width = 1;
        if (*text >= kUnexplainedByte + 0x80 && *text <= kUnexplainedByte + 0xFF) bytes[0] = (unsigned char)(*text - kUnexplainedByte);
        else if (*text >= 0x80) width = codec.encode(*text, bytes) ? 2 : (bytes[0] = '?', 1);
        if (n + width >= size) break;
        for (size_t i = 0; i < width; ++i) out[n++] = (char)bytes[i];
    }
    if (size) out[n] = '\0';
    return n;
}

size_t CharactersInBytes(const uint16_t *text, size_t maxBytes)
{
    size_t n = 0, bytes = 0;
    for (; text[n]; ++n) {
        bytes += text[n] < 0x80 || (text[n] > kUnexplainedByte + 0x7F && text[n] <= kUnexplainedByte + 0xFF) ? 1 : 2;
        if (bytes > maxBytes) break;
    }
    return n;
}
