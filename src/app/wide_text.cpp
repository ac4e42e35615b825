#include "wide_text.h"
#include "cp936.h"

static_assert(sizeof(wchar_t) == sizeof(uint16_t), "wide characters are UTF-16");

const UINT kCodePage936 = 936;

// The system's tables for code page 936: installed with East Asian support, and on every Chinese
// system. A character the system maps to "?" (NT 4 knows no MB_ERR_INVALID_CHARS) is none.
static int DecodePair(unsigned char lead, unsigned char trail, uint16_t *character)
{
    const char bytes[2] = {(char)lead, (char)trail};
    wchar_t c = 0;
    if (MultiByteToWideChar(kCodePage936, MB_ERR_INVALID_CHARS, bytes, 2, &c, 1) != 1 || c == L'?') return 0;
    *character = c;
    return 1;
}

static int EncodeCharacter(uint16_t character, unsigned char bytes[2])
{
    const wchar_t c = character;
    BOOL usedDefault = FALSE;
    return WideCharToMultiByte(kCodePage936, 0, &c, 1, (char *)bytes, 2, NULL, &usedDefault) == 2 && !usedDefault;
}

static const Cp936Codec kSystemCodec = {DecodePair, EncodeCharacter};

WideText::WideText(const char *cp936)
{
    Cp936ToWide(cp936, (uint16_t *)text_, sizeof text_ / sizeof text_[0], kSystemCodec);
}

void ToCp936(const wchar_t *text, char *out, size_t size)
{
    WideToCp936((const uint16_t *)text, out, size, kSystemCodec);
}
