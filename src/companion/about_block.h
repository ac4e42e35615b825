// Reading the texts of the About block without ever leaving its 128 bytes.
#pragma once
#include <stddef.h>

// Copies the text that starts at offset into out (outSize >= 129 always suffices): the bytes up
// to the first NUL, or up to the end of the block when the module left no NUL. A text without
// a NUL before the next offset runs on into the next text, as the block's layout intends.
void AboutText(const char *block, size_t offset, char *out, size_t outSize);

// 1 when a link target names a file by a relative path (no drive, no share, no protocol such
// as "http:"): such a target is a file beside the program.
int IsRelativeTarget(const char *target);
