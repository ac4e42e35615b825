// The scheme file's bytes: N 80-byte records in list order, then the 32-bit force-close word,
// all integers little-endian; an empty list is an empty file. No header, no version.
#pragma once
#include "scheme.h"

void EncodeScheme(const Scheme *scheme, unsigned char out[kSchemeRecordSize]);
// 1 when the record is within the ranges the program keeps (name byte 47 is 0, triggerKind
// <= 3, triggerMinutes < 1440, actionKind <= 4, delaySeconds < 3600); fired is cleared and
// next left NULL. 0 otherwise.
int DecodeScheme(const unsigned char in[kSchemeRecordSize], Scheme *scheme);

// The size of the file for a list.
size_t SchemeFileSize(const Scheme *list);
// Writes the whole file for a list into out, which holds SchemeFileSize(list) bytes.
void EncodeSchemeFile(const Scheme *list, uint32_t forceClose, unsigned char *out);
// Accepts a whole file or none of it. On success (1) *list owns the records, in file order, and
// *forceClose holds the last word; on rejection (0), or when memory ran out (kNoMemoryForFile),
// nothing is allocated and neither is touched. Running out of memory says nothing of the file.
const int kNoMemoryForFile = -1;
int DecodeSchemeFile(const unsigned char *data, size_t size, Scheme **list, uint32_t *forceClose);
