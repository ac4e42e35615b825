#include "scheme.h"
#include <string.h>
#include "../app/alloc.h"

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
