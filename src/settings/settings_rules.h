// The settings dialog's rules for numbers, names and the counter line, apart from the platform.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "../companion/counters.h"

// A number typed above its limit (23 for hours, 59 for minutes and seconds) is replaced by its
// last decimal digit, so that the next digit typed starts afresh. A negative number, which only
// a pasted text can hold, counts as above the limit. Sets *corrected when it changed the value.
uint32_t CorrectNumberEntry(int32_t typed, uint32_t limit, int *corrected);

// The four counters as hours:minutes:seconds, three blanks apart; hours are not wrapped at 24,
// so the longest line (four counters of 2^32 - 1 seconds) takes 61 characters.
const size_t kCounterLineSize = 64;
void FormatCounterLine(const Counters &counters, char out[kCounterLineSize]);

// Cuts a code page 936 name to at most maxBytes bytes without splitting a double-byte
// character, and drops a lead byte left without its trail byte. Returns the new length.
size_t ClipNameToCharacters(char *name, size_t maxBytes);
