// Another writer's schemes merged into ours against what both started from (see scheme.h).
#include <stddef.h>
#include <string.h>
#include "scheme.h"
#include "../app/alloc.h"

// Every field a file keeps (the fired flag is the run's own).
static int SameScheme(const Scheme *a, const Scheme *b)
{
    return memcmp(a, b, offsetof(Scheme, fired)) == 0;
}

static size_t Count(const Scheme *list)
{
    size_t n = 0;
    for (; list; list = list->next) ++n;
    return n;
}

// How many schemes of the same name stand before at in records.
static int Occurrence(Scheme *const *records, size_t at)
{
    int n = 0;
    for (size_t i = 0; i < at; ++i) n += strcmp(records[i]->name, records[at]->name) == 0;
    return n;
}

// The occurrence-th scheme of the name in records; -1 if none.
static ptrdiff_t Find(Scheme *const *records, size_t count, const char *name, int occurrence)
{
    for (size_t i = 0; i < count; ++i)
        if (strcmp(records[i]->name, name) == 0 && occurrence-- == 0) return (ptrdiff_t)i;
    return -1;
}

static const Scheme *FindInList(const Scheme *list, const char *name, int occurrence)
{
    for (; list; list = list->next)
        if (strcmp(list->name, name) == 0 && occurrence-- == 0) return list;
    return NULL;
}

static Scheme **ToArray(Scheme *list, Scheme **records)
{
    for (size_t i = 0; list; list = list->next) records[i++] = list;
    return records;
}

int MergeSchemes(Scheme **ours, const Scheme *base, Scheme *theirs)
{
    enum { kGone, kInTheirPlace, kAtTheEnd };
    const size_t nTheirs = Count(theirs), nOurs = Count(*ours);
    Scheme **records = (Scheme **)AllocRecord((nTheirs + nOurs + 1) * sizeof *records);
    unsigned char *place = (unsigned char *)AllocRecord(nOurs + 1);
    if (!records || !place) {
        FreeRecord(records);
        FreeRecord(place);
        return 0;
    }
    Scheme **their = ToArray(theirs, records), **mine = ToArray(*ours, records + nTheirs);
    memset(place, kGone, nOurs + 1);
    Scheme *merged = NULL, **tail = &merged, *dropped = NULL;
    for (size_t i = 0; i < nTheirs; ++i) {
        Scheme *t = their[i];
        const int k = Occurrence(their, i);
        const Scheme *b = FindInList(base, t->name, k);
        const ptrdiff_t j = Find(mine, nOurs, t->name, k);
        Scheme *o = j >= 0 ? mine[j] : NULL, *kept = t;
        const int theyChanged = !b || !SameScheme(t, b);
        if (!o) {
            if (!theyChanged) kept = NULL;  // deleted here, untouched there
        } else if (b && SameScheme(o, b)) {
            memcpy(o, t, offsetof(Scheme, fired));  // untouched here: theirs, in our record
            kept = o;
        } else if (!theyChanged || SameScheme(o, t)) {
            kept = o;
        }
        if (o) place[j] = kept == o ? kInTheirPlace : kAtTheEnd;  // changed on both sides: beside
        if (kept != t) {
            t->next = dropped;
            dropped = t;
        }
        if (kept) {
            *tail = kept;
            tail = &kept->next;
        }
    }
    *tail = NULL;
    Scheme *rest = NULL, **restTail = &rest;
    for (size_t j = 0; j < nOurs; ++j) {
        Scheme *o = mine[j];
        const int k = Occurrence(mine, j);
        if (Find(their, nTheirs, o->name, k) < 0) {  // none of theirs
            const Scheme *b = FindInList(base, o->name, k);
            place[j] = b && SameScheme(o, b) ? kGone : kAtTheEnd;      // deleted there, untouched here
        }
        if (place[j] == kAtTheEnd) {
            *restTail = o;
            restTail = &o->next;
        } else if (place[j] == kGone) {
            o->next = dropped;
            dropped = o;
        }
    }
    *restTail = NULL;
    FreeSchemeList(&dropped);
    FreeRecord(records);
    FreeRecord(place);
    RenameClashingSchemes(merged, rest);
    *tail = rest;
    *ours = merged;
    return 1;
}

uint32_t MergeWord(uint32_t base, uint32_t ours, uint32_t theirs)
{
    return theirs != base ? theirs : ours;
}
