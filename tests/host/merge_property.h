// The scheme merge against a model that knows what no file says: which scheme each record is.
// A base list, this side's and the other writer's are made from one list by random edits
// (content edits, renames, deletions, additions, reorders, the same edit or the same addition on
// both sides, a force-close word changed on either side); MergeSchemes then has to apply each
// side's changes once, and lose, bring back or double nothing.
//
// Which scheme a record is can only be told from the records where the edits leave it
// recognisable: every scheme's delay is its own (an edit that touches the delay makes a new one),
// a side changes a scheme's name or its content but not both, and a side makes at most one change
// among the schemes of one name (edit, deletion or addition), so that a name never has to pair
// two changed records in order. Names repeat freely otherwise: several unnamed schemes, two "关机".
#pragma once
#include <stdint.h>
#include <string.h>
#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>
#include "../../src/schemes/scheme.h"

namespace merge_property {

struct Versioned {
    int id;  // which scheme it is; an addition gets a new one
    Scheme record;
};

static const char *const kNames[] = {"", "关机", "a", "b"};
static uint32_t Scheme::*const kFields[] = {&Scheme::triggerKind, &Scheme::triggerMinutes, &Scheme::actionKind,
                                            &Scheme::delaySeconds, &Scheme::suspended, &Scheme::suspendAfterOnce};

struct Generator {
    std::mt19937 rng;
    uint32_t nextDelay = 0;  // every scheme's delay is its own
    int nextId = 0;

    explicit Generator(uint32_t seed) : rng(seed) {}
    int Below(int n) { return (int)(rng() % (uint32_t)n); }

    Scheme Fresh()
    {
        Scheme s = {};
        strcpy(s.name, kNames[Below(4)]);
        s.triggerKind = Below(4);
        s.triggerMinutes = Below(1440);
        s.actionKind = Below(5);
        s.delaySeconds = nextDelay++;
        s.suspended = Below(4) == 0;
        s.suspendAfterOnce = Below(3) == 0;
        return s;
    }
    // One to three fields changed; a changed delay is a new one.
    Scheme Edited(Scheme s)
    {
        for (int n = 1 + Below(3); n > 0; --n) {
            switch (Below(5)) {
            case 0: s.triggerMinutes = (s.triggerMinutes + 1 + Below(1438)) % 1440; break;
            case 1: s.actionKind = (s.actionKind + 1 + Below(4)) % 5; break;
            case 2: s.delaySeconds = nextDelay++; break;
            case 3: s.suspended = !s.suspended; break;  // a run-once scheme pausing itself
            default: s.triggerKind = (s.triggerKind + 1 + Below(3)) % 4; break;
            }
        }
        return s;
    }
    Scheme Renamed(Scheme s)
    {
        std::string name = s.name;
        while (name == s.name) name = kNames[Below(4)];
        memset(s.name, 0, sizeof s.name);
        strcpy(s.name, name.c_str());
        return s;
    }
};

enum Change { kKept, kEdited, kRenamed, kDeleted };

// One side made from the base: its changes, chosen for each base scheme, and its additions.
struct Side {
    std::vector<Versioned> list;
    std::map<int, Change> change;  // base id to what this side did to it
    uint32_t word = 0;
};

Side MakeSide(Generator &g, const std::vector<Versioned> &base, const Side *other, uint32_t baseWord)
{
    Side side;
    std::set<std::string> changedNames;  // names among whose schemes this side made its change
    for (const Versioned &b : base) {
        Change c = (Change)g.Below(4);
        if (c == kRenamed && g.Below(2)) c = kKept;
        if ((c == kEdited || c == kDeleted) && !changedNames.insert(b.record.name).second) c = kKept;
        side.change[b.id] = c;
        if (c == kDeleted) continue;
        Versioned v = b;
        if (c == kEdited) {
            // Now and then the same edit as the other side's, where it edited this scheme too.
            const Versioned *twin = nullptr;
            if (other && other->change.at(b.id) == kEdited && g.Below(3) == 0)
                for (const Versioned &o : other->list)
                    if (o.id == b.id) twin = &o;
            v.record = twin ? twin->record : g.Edited(b.record);
        } else if (c == kRenamed) {
            v.record = g.Renamed(b.record);
        }
        side.list.push_back(v);
    }
    for (int n = g.Below(3); n > 0; --n) {
        Versioned added = {g.nextId++, g.Fresh()};
        if (other && g.Below(3) == 0)  // the same addition as the other side's
            for (const Versioned &o : other->list)
                if (o.id >= (int)base.size() + 1000) added = o;
        if (!changedNames.insert(added.record.name).second) continue;
        side.list.push_back(added);
    }
    if (g.Below(4) == 0) std::shuffle(side.list.begin(), side.list.end(), g.rng);
    side.word = g.Below(3) == 0 ? (baseWord + 1 + g.Below(2)) % 3 : baseWord;  // any value: non-zero is set
    return side;
}

inline bool SameRecord(const Scheme &a, const Scheme &b)
{
    if (memcmp(a.name, b.name, sizeof a.name) != 0) return false;
    for (auto field : kFields)
        if (a.*field != b.*field) return false;
    return true;
}

// What the merge should give: each scheme as the side that changed each of its fields left it
// (this side where both did), once; a deletion where the other side left the scheme alone.
struct Expected {
    Scheme record;
    bool oursOnly;  // kept from this side alone: it may take a free name beside a namesake
};
std::vector<Expected> ExpectedMerge(const std::vector<Versioned> &base, const Side &ours, const Side &theirs)
{
    std::map<int, const Scheme *> mine, their;
    for (const Versioned &v : ours.list) mine[v.id] = &v.record;
    for (const Versioned &v : theirs.list) their[v.id] = &v.record;
    std::vector<Expected> expected;
    for (const Versioned &b : base) {
        const Scheme *o = mine.count(b.id) ? mine[b.id] : nullptr, *t = their.count(b.id) ? their[b.id] : nullptr;
        if (o && t) {
            Scheme merged = *o;
            if (memcmp(o->name, b.record.name, sizeof o->name) == 0) memcpy(merged.name, t->name, sizeof merged.name);
            for (auto field : kFields)
                if (o->*field == b.record.*field) merged.*field = t->*field;
            expected.push_back({merged, false});
        } else if (o && !SameRecord(*o, b.record)) {
            expected.push_back({*o, true});
        } else if (t && !SameRecord(*t, b.record)) {
            expected.push_back({*t, false});
        }
    }
    for (const Versioned &v : ours.list)
        if (v.id >= (int)base.size() + 1000) expected.push_back({v.record, !their.count(v.id)});
    for (const Versioned &v : theirs.list)
        if (v.id >= (int)base.size() + 1000 && !mine.count(v.id)) expected.push_back({v.record, false});
    return expected;
}

inline Scheme *ToList(const std::vector<Versioned> &versions)
{
    Scheme *head = nullptr, **tail = &head;
    for (const Versioned &v : versions) {
        *tail = (Scheme *)malloc(sizeof(Scheme));  // freed as any record
        **tail = v.record;
        (*tail)->next = nullptr;
        tail = &(*tail)->next;
    }
    return head;
}

// A name as the merge may have made it free: its own, or with "(n)" after it.
inline std::string NameBeforeSuffix(const char *name)
{
    std::string s = name;
    size_t open = s.rfind('(');
    return open != std::string::npos && s.back() == ')' ? s.substr(0, open) : s;
}

inline std::string Describe(const std::vector<Versioned> &list)
{
    std::string text;
    for (const Versioned &v : list)
        text += " " + std::string(v.record.name) + "#" + std::to_string(v.id) + ":" +
                std::to_string(v.record.delaySeconds) + "/" + std::to_string(v.record.triggerMinutes) + "/" +
                std::to_string(v.record.suspended);
    return text.empty() ? " (none)" : text;
}

// One random case: "" when the merge did what the model says, else what went wrong and the case.
inline std::string CheckOneCase(uint32_t seed)
{
    Generator g(seed);
    std::vector<Versioned> base;
    for (int n = g.Below(7); n > 0; --n) base.push_back({g.nextId++, g.Fresh()});
    g.nextId = (int)base.size() + 1000;  // additions, told apart by their ids
    const uint32_t baseWord = g.Below(3);
    Side ours = MakeSide(g, base, nullptr, baseWord);
    Side theirs = MakeSide(g, base, &ours, baseWord);
    std::vector<Expected> expected = ExpectedMerge(base, ours, theirs);

    Scheme *baseList = ToList(base), *merged = ToList(ours.list);
    // Every delay belongs to one scheme: it tells which scheme a merged record is.
    std::map<uint32_t, int> idOfDelay;
    for (const auto *list : {&base, &ours.list, &theirs.list})
        for (const Versioned &v : *list) idOfDelay[v.record.delaySeconds] = v.id;
    std::map<int, Scheme *> ourRecord;
    Scheme *s = merged;
    for (const Versioned &v : ours.list) {
        ourRecord[v.id] = s;
        s = s->next;
    }
    std::string problem;
    if (!MergeSchemes(&merged, baseList, ToList(theirs.list))) problem = "the merge failed";
    std::vector<bool> matched(expected.size());
    for (s = merged; s && problem.empty(); s = s->next) {
        size_t i = 0;
        for (; i < expected.size(); ++i) {
            if (matched[i]) continue;
            Scheme want = expected[i].record;
            if (expected[i].oursOnly && NameBeforeSuffix(s->name) == want.name) memcpy(want.name, s->name, sizeof want.name);
            if (SameRecord(*s, want)) break;
        }
        if (i == expected.size()) {
            problem = "brought back, doubled or wrongly merged: " + std::string(s->name) + ":" + std::to_string(s->delaySeconds);
            break;
        }
        matched[i] = true;
        // A scheme this side still has keeps its record, so that others may point to it.
        const int id = idOfDelay[s->delaySeconds];
        if (ourRecord.count(id) && ourRecord[id] != s) problem = "a record of this side was replaced: " + std::string(s->name);
    }
    for (size_t i = 0; i < expected.size() && problem.empty(); ++i)
        if (!matched[i]) problem = "lost: " + std::string(expected[i].record.name) + ":" + std::to_string(expected[i].record.delaySeconds);
    const uint32_t word = MergeWord(baseWord, ours.word, theirs.word);
    if (problem.empty() && word != (ours.word != baseWord ? ours.word : theirs.word)) problem = "the force-close word";
    FreeSchemeList(&merged);
    FreeSchemeList(&baseList);
    if (problem.empty()) return "";
    return problem + " (seed " + std::to_string(seed) + ")\n  base" + Describe(base) + "\n  ours" + Describe(ours.list) +
           "\n  theirs" + Describe(theirs.list);
}

}  // namespace merge_property
