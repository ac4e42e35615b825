// Another writer's schemes merged into ours against what both started from (see scheme.h).
#include <stddef.h>
#include <string.h>
#include "scheme.h"
#include "../app/alloc.h"

// The fields a file keeps besides the name (the fired flag is the run's own).
static uint32_t Scheme::*const kFields[] = {&Scheme::triggerKind, &Scheme::triggerMinutes, &Scheme::actionKind,
                                            &Scheme::delaySeconds, &Scheme::suspended, &Scheme::suspendAfterOnce};

static int SameName(const Scheme *a, const Scheme *b)
{
    return memcmp(a->name, b->name, sizeof a->name) == 0;
}

// What a scheme does: every field but its name.
static int SameContent(const Scheme *a, const Scheme *b)
{
    for (auto field : kFields)
        if (a->*field != b->*field) return 0;
    return 1;
}

static int SameScheme(const Scheme *a, const Scheme *b)
{
    return SameName(a, b) && SameContent(a, b);
}

// The name as a person reads it: what follows the NUL in the field is not compared.
static int SameShownName(const Scheme *a, const Scheme *b)
{
    return strcmp(a->name, b->name) == 0;
}

static size_t Count(const Scheme *list)
{
    size_t n = 0;
    for (; list; list = list->next) ++n;
    return n;
}

static Scheme **ToArray(Scheme *list, Scheme **records)
{
    for (size_t i = 0; list; list = list->next) records[i++] = list;
    return records;
}

// No counterpart; taken already (paired with the base, or placed in the result).
const ptrdiff_t kNone = -1, kTaken = -2;

// Pairs each record of a that has no partner yet (kNone) with its counterpart in b: the same
// record first, then the same content under another name (a rename), then the same name (an
// edit), each time the first that is left, in order. So a scheme is known by what it is, and
// position decides only between namesakes whose content both changed.
static void Pair(Scheme *const *a, size_t na, Scheme *const *b, size_t nb, ptrdiff_t *partnerOfA,
                 ptrdiff_t *partnerOfB, int identicalOnly)
{
    int (*const kAlike[])(const Scheme *, const Scheme *) = {SameScheme, SameContent, SameShownName};
    for (int step = 0; step < (identicalOnly ? 1 : 3); ++step)
        for (size_t i = 0; i < na; ++i)
            for (size_t j = 0; j < nb && partnerOfA[i] == kNone; ++j)
                if (partnerOfB[j] == kNone && kAlike[step](a[i], b[j])) {
                    partnerOfA[i] = (ptrdiff_t)j;
                    partnerOfB[j] = (ptrdiff_t)i;
                }
}

// A scheme changed on both sides: each field as the side that changed it left it, ours where both
// did. Kept in our record.
static void TakeTheirChanges(Scheme *ours, const Scheme *base, const Scheme *theirs)
{
    if (SameName(ours, base)) memcpy(ours->name, theirs->name, sizeof ours->name);
    for (auto field : kFields)
        if (ours->*field == base->*field) ours->*field = theirs->*field;
}

static void Drop(Scheme *record, Scheme **dropped)
{
    record->next = *dropped;
    *dropped = record;
}

int MergeSchemes(Scheme **ours, const Scheme *base, Scheme *theirs)
{
    const size_t nTheirs = Count(theirs), nOurs = Count(*ours), nBase = Count(base), n = nTheirs + nOurs + nBase;
    Scheme **records = (Scheme **)AllocRecord((n + 1) * sizeof *records);
    ptrdiff_t *pairs = (ptrdiff_t *)AllocRecord((2 * n + 1) * sizeof *pairs);
    if (!records || !pairs) {
        FreeRecord(records);
        FreeRecord(pairs);
        return 0;
    }
    Scheme **their = ToArray(theirs, records), **mine = ToArray(*ours, their + nTheirs);
    Scheme **was = ToArray((Scheme *)base, mine + nOurs);  // read only
    // Base to ours and to theirs; then what each side added, to the same addition on the other.
    ptrdiff_t *baseToMine = pairs, *mineToBase = baseToMine + nBase, *baseToTheirs = mineToBase + nOurs,
              *theirsToBase = baseToTheirs + nBase, *twinOfMine = theirsToBase + nTheirs, *twinOfTheirs = twinOfMine + nOurs;
    for (size_t k = 0; k < 2 * n; ++k) pairs[k] = kNone;
    Pair(was, nBase, mine, nOurs, baseToMine, mineToBase, 0);
    Pair(was, nBase, their, nTheirs, baseToTheirs, theirsToBase, 0);
    for (size_t j = 0; j < nOurs; ++j) twinOfMine[j] = mineToBase[j] != kNone ? kTaken : kNone;
    for (size_t i = 0; i < nTheirs; ++i) twinOfTheirs[i] = theirsToBase[i] != kNone ? kTaken : kNone;
    Pair(mine, nOurs, their, nTheirs, twinOfMine, twinOfTheirs, 1);

    // Theirs in the file's order, each kept, taken into its counterpart of ours, or dropped.
    Scheme *merged = NULL, **tail = &merged, *dropped = NULL;
    for (size_t i = 0; i < nTheirs; ++i) {
        Scheme *t = their[i], *kept = t;
        const ptrdiff_t b = theirsToBase[i], o = b != kNone ? baseToMine[b] : twinOfTheirs[i] >= 0 ? twinOfTheirs[i] : kNone;
        if (o != kNone) {
            if (b != kNone) TakeTheirChanges(mine[o], was[b], t);
            kept = mine[o];
            mineToBase[o] = kTaken;
        } else if (b != kNone && SameScheme(t, was[b])) {
            kept = NULL;  // deleted here, untouched there
        }
        if (kept != t) Drop(t, &dropped);
        if (kept) {
            *tail = kept;
            tail = &kept->next;
        }
    }
    *tail = NULL;
    // Then the rest of ours: added here, or changed here and deleted there.
    Scheme *rest = NULL, **restTail = &rest;
    for (size_t j = 0; j < nOurs; ++j) {
        Scheme *o = mine[j];
        const ptrdiff_t b = mineToBase[j];
        if (b == kTaken) continue;
        if (b != kNone && SameScheme(o, was[b])) {
            Drop(o, &dropped);  // deleted there, untouched here
        } else {
            *restTail = o;
            restTail = &o->next;
        }
    }
    *restTail = NULL;
    FreeSchemeList(&dropped);
    FreeRecord(records);
    FreeRecord(pairs);
    RenameClashingSchemes(merged, rest);
    *tail = rest;
    *ours = merged;
    return 1;
}

uint32_t MergeWord(uint32_t base, uint32_t ours, uint32_t theirs)
{
    return ours != base ? ours : theirs;
}
