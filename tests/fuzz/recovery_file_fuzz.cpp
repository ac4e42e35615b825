// Feeds arbitrary bytes to the recovery file decoder, as of one logon: it must never crash, it
// gives back only records in a slot or in view with a terminated class name, and a file it
// accepts is exactly what the encoder writes for those records.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>
#include "../../src/desktops/hidden_window.h"

static void Collect(const RecoveredWindow &window, void *context)
{
    if (window.slot < kInViewSlot || window.slot > kStashSlot || memchr(window.identity.className, 0, 32) == NULL) abort();
    HiddenWindow record = {};
    record.window = (uintptr_t)window.window;
    record.identity = window.identity;
    record.slot = window.slot;
    ((std::vector<HiddenWindow> *)context)->push_back(record);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<HiddenWindow> records;
    const RecoveryStamp now = {UINT64_C(0x5EED5EED12345678), 0x3E7};
    int accepted = DecodeRecoveryFile(data, size, now, Collect, &records);
    if (accepted != kRecoveryRead) {
        if (!records.empty()) abort();
        return 0;
    }
    if (records.empty() || sizeof(uintptr_t) < 8) return 0;
    for (size_t i = 0; i + 1 < records.size(); ++i) records[i].next = &records[i + 1];
    std::vector<unsigned char> again(RecoveryFileSize(records.data()));
    EncodeRecoveryFile(records.data(), now, again.data());
    if (again.size() != size || memcmp(again.data(), data, size) != 0) abort();
    return 0;
}
