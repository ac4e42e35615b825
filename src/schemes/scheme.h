// Timer schemes: the record, the two lists that own records, and the force-close option.
#pragma once
#include <stddef.h>
#include <stdint.h>

const size_t kSchemeNameSize = 48;  // 47 bytes of code page 936 text and the NUL
const size_t kSchemeRecordSize = 80;
const uint32_t kMaxTriggerKind = 3, kMinutesPerDay = 1440, kMaxActionKind = 4, kSecondsPerHour = 3600;

struct Scheme {
    char name[kSchemeNameSize];
    uint32_t triggerKind;       // 0 time of day, 1 disk idle, 2 input idle, 3 uptime
    uint32_t triggerMinutes;    // 0 to 1439
    uint32_t actionKind;        // 0 bell, 1 log off, 2 restart, 3 shut down, 4 end the program
    uint32_t delaySeconds;      // 0 to 3599
    uint32_t suspended;         // non-zero: never fires
    uint32_t suspendAfterOnce;  // non-zero: suspended once it has fired
    uint32_t fired;             // fired since the flags were last cleared
    Scheme *next;
};

// The live schemes, and the copy that the settings dialog takes while it is open.
Scheme **SchemeListHead();
Scheme **BackupListHead();

uint32_t ForceCloseOption();
void SetForceCloseOption(uint32_t value);

// Appends a record, zeroed but for its name (at most 47 bytes), to the scheme list. NULL when
// memory runs out; the list is then unchanged.
Scheme *AddScheme(const char *name);
// 1 when the record was in the scheme list and has been unlinked and freed, else 0.
int RemoveScheme(Scheme *scheme);
// The first record of the scheme list whose name equals name exactly, or NULL.
Scheme *FindScheme(const char *name);
// Makes *destination a deep copy of the scheme list, fired flags included. 0 when memory ran
// out; the destination is then empty.
int CopySchemeList(Scheme **destination);
void FreeSchemeList(Scheme **head);
// Schemes made while the file could not be read go after the file's once it is read. One whose
// name a kept scheme or an earlier added one has already gets the first "(2)", "(3)" ... that no
// scheme on either side has, its name shortened at a whole character where it would not fit, so
// that no scheme hides behind another of its name.
void RenameClashingSchemes(const Scheme *kept, Scheme *added);
// Takes another writer's schemes (theirs, a file read after ours were made) into *ours, scheme by
// scheme, against the schemes both sides started from (base; NULL where the file could not be read
// when ours were made). Each scheme is paired with its own counterpart on each side by what it is:
// the same record first, then the same content under another name (renamed), then the same name
// (edited), among what is left, in order. Changed on one side only (added, edited or deleted), it
// is that side's; changed on both, it is one scheme, each field from the side that changed it, ours
// where both did; deleted on one side and edited on the other, the edited one stays; added on both
// sides alike, it is kept once. Theirs come in the file's order, then the rest of ours. Records of
// ours are kept where they stay, with theirs' fields where theirs won, so that others may point to
// them; *ours owns every record afterwards. 0 when memory ran out: then nothing has changed, and
// theirs is still the caller's. The fired flags, which no file keeps, are not compared.
int MergeSchemes(Scheme **ours, const Scheme *base, Scheme *theirs);
// The force-close word by the same rule: ours where we changed it, else theirs.
uint32_t MergeWord(uint32_t base, uint32_t ours, uint32_t theirs);
