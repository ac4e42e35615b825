// Code page 936 text, which the program's texts and the scheme file's names are, to UTF-16 for
// the system's wide calls and back, whatever code page the system itself uses. Apart from the
// platform: the conversion of one character is passed in (the system's tables for code page 936,
// where it has them).
//
// Every byte string comes back from the round trip as it was: a byte that no character of code
// page 936 explains (half a character, a system without those tables) is shown as a character of
// the private use area, U+F700 plus the byte, and turns back into that byte; such names are shown
// as well as the system can, and a name nobody edits is never written otherwise.
#pragma once
#include <stddef.h>
#include <stdint.h>

struct Cp936Codec {
    // The character of a lead and a trail byte; 0 when the system has none for them.
    int (*decode)(unsigned char lead, unsigned char trail, uint16_t *character);
    // The two bytes of a character beyond ASCII; 0 when code page 936 has none for it.
    int (*encode)(uint16_t character, unsigned char bytes[2]);
};

// Converts the NUL-terminated text into out, which holds size characters with the NUL (cut at
// a whole character where it does not fit); returns the characters written.
size_t Cp936ToWide(const char *text, uint16_t *out, size_t size, const Cp936Codec &codec);
// The other way, into at most size - 1 bytes and a NUL, never half a character: a character that
// code page 936 has not becomes "?". Returns the bytes written.
size_t WideToCp936(const uint16_t *text, char *out, size_t size, const Cp936Codec &codec);
// How many characters of text fit into maxBytes bytes of code page 936, as the narrow text would
// be cut (every character beyond ASCII takes two).
size_t CharactersInBytes(const uint16_t *text, size_t maxBytes);
