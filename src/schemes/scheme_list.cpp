#include "scheme.h"
#include <string.h>
#include "../app/alloc.h"
#include "../settings/settings_rules.h"

static Scheme *g_schemes;
static Scheme *g_backup;
static uint32_t g_forceClose;

Scheme **SchemeListHead() { return &g_schemes; }
Scheme **BackupListHead() { return &g_backup; }
uint32_t ForceCloseOption() { return g_forceClose; }
void SetForceCloseOption(uint32_t value) { g_forceClose = value; }

Scheme *AddScheme(const char *name)
{
    Scheme *scheme = (Scheme *)AllocRecord(sizeof(Scheme));
    if (!scheme) return NULL;
    memset(scheme, 0, sizeof *scheme);
    strncpy(scheme->name, name, kSchemeNameSize - 1);
    Scheme **link = &g_schemes;
    while (*link) link = &(*link)->next;
    *link = scheme;
    return scheme;
}

int RemoveScheme(Scheme *scheme)
{
    for (Scheme **link = &g_schemes; *link; link = &(*link)->next) {
        if (*link == scheme) {
            *link = scheme->next;
            FreeRecord(scheme);
            return 1;
        }
    }
    return 0;
}

Scheme *FindScheme(const char *name)
{
    for (Scheme *s = g_schemes; s; s = s->next)
        if (strcmp(s->name, name) == 0) return s;
    return NULL;
}

int CopySchemeList(Scheme **destination)
{
    *destination = NULL;
    Scheme **tail = destination;
    for (const Scheme *s = g_schemes; s; s = s->next) {
        Scheme *copy = (Scheme *)AllocRecord(sizeof(Scheme));
        if (!copy) {
            FreeSchemeList(destination);
            return 0;
        }
        *copy = *s;
        copy->next = NULL;
        *tail = copy;
        tail = &copy->next;
    }
    return 1;
}

void FreeSchemeList(Scheme **head)
{
    Scheme *s = *head;
    while (s) {
        Scheme *next = s->next;
        FreeRecord(s);
        s = next;
    }
    *head = NULL;
}

// Whether name is taken by a scheme of kept, or of added other than self; with earlierOnly, only
// by one of added before self.
static int NameTaken(const Scheme *kept, const Scheme *added, const Scheme *self, const char *name, int earlierOnly)
{
    for (const Scheme *s = kept; s; s = s->next)
        if (strcmp(s->name, name) == 0) return 1;
    for (const Scheme *s = added; s && !(earlierOnly && s == self); s = s->next)
        if (s != self && strcmp(s->name, name) == 0) return 1;
    return 0;
}

void RenameClashingSchemes(const Scheme *kept, Scheme *added)
{
    for (Scheme *s = added; s; s = s->next) {
        if (!NameTaken(kept, added, s, s->name, 1)) continue;
        for (unsigned n = 2; n < 100000; ++n) {
            char suffix[8], *p = suffix + sizeof suffix;  // "(n)", written from its end
            *--p = '\0';
            *--p = ')';
            for (unsigned v = n; v; v /= 10) *--p = (char)('0' + v % 10);
            *--p = '(';
            size_t suffixLength = (size_t)(suffix + sizeof suffix - 1 - p);
            char name[kSchemeNameSize];
            strcpy(name, s->name);
            strcpy(name + ClipNameToCharacters(name, kSchemeNameSize - 1 - suffixLength), p);
            if (!NameTaken(kept, added, s, name, 0)) {
                memset(s->name, 0, sizeof s->name);
                strcpy(s->name, name);
                break;
            }
        }
    }
}
