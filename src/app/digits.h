// Decimal numbers for the texts, without pulling a printf into the program.
#pragma once
#include <stdint.h>

// Writes value in decimal with at least two digits, as "%02u" does, and returns the end.
char *PutTwoDigits(char *out, uint32_t value);
// Copies the NUL-terminated text and returns the end, where the NUL was written.
char *PutText(char *out, const char *text);
