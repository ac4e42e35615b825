// The program's texts and the schemes' names are code page 936 bytes; the system is asked to show
// them with its wide calls, converted here through code page 936 itself, never through the
// system's own code page, so that they read as on a Chinese system whatever its language.
#pragma once
#include <windows.h>

// A text for a wide call, converted on the stack: WideText(TEXT_INIT_FAILED).
class WideText {
public:
    explicit WideText(const char *cp936);
    operator const wchar_t *() const { return text_; }

private:
    wchar_t text_[512];
};

// A text typed or read back from a wide window (a scheme's name) into code page 936 bytes, at
// most size - 1 of them and never half a character.
void ToCp936(const wchar_t *text, char *out, size_t size);
