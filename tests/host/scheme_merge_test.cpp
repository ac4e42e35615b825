#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include "../../src/app/alloc.h"
#include "../../src/schemes/scheme.h"
#include "failing_alloc.h"
#include "merge_property.h"

namespace {

// A detached list from "name:delay[/minutes][/p] ...": the delay, the trigger's minutes, and "p"
// for a paused scheme.
Scheme *List(const std::string &text)
{
    Scheme *head = NULL, **tail = &head;
    std::istringstream in(text);
    for (std::string item; in >> item; tail = &(*tail)->next) {
        *tail = (Scheme *)calloc(1, sizeof(Scheme));  // freed as any record
        strcpy((*tail)->name, item.substr(0, item.find(':')).c_str());
        std::istringstream fields(item.substr(item.find(':') + 1));
        std::string field;
        std::getline(fields, field, '/');
        (*tail)->delaySeconds = (uint32_t)std::stoul(field);
        while (std::getline(fields, field, '/'))
            if (field == "p") (*tail)->suspended = 1;
            else (*tail)->triggerMinutes = (uint32_t)std::stoul(field);
    }
    return head;
}

std::string Text(const Scheme *list)
{
    std::string text;
    for (; list; list = list->next) {
        text += (text.empty() ? "" : " ") + std::string(list->name) + ":" + std::to_string(list->delaySeconds);
        if (list->triggerMinutes) text += "/" + std::to_string(list->triggerMinutes);
        if (list->suspended) text += "/p";
    }
    return text;
}

// (what both started from, ours, theirs) to what is saved, each scheme paired with its own
// counterpart: changed on both sides, it is one scheme, each field from the side that changed it.
TEST(SchemeMerge, EachSchemeIsTheSideThatChangedIt)
{
    struct { const char *base, *ours, *theirs, *merged; } rows[] = {
        {"a:1", "a:1 n:5", "a:1", "a:1 n:5"},           {"a:1", "a:1", "a:1 t:5", "a:1 t:5"},  // added on one side
        {"a:1", "a:2", "a:1", "a:2"},                   {"a:1", "a:1", "a:2", "a:2"},          // edited on one side
        {"a:1 b:1", "a:1", "a:1 b:1", "a:1"},           {"a:1 b:1", "a:1 b:1", "a:1", "a:1"},  // deleted on one side
        {"a:1", "a:1 n:5", "a:1 n:5", "a:1 n:5"},       {"a:1", "a:2", "a:2", "a:2"},          // the same on both
        {"a:1 b:1", "a:1", "a:1", "a:1"},
        {"a:1", "a:2", "a:3", "a:2"},                   {"", "n:1", "n:2", "n:2 n(2):1"},      // both differently
        {"a:1/600", "a:1/600/p", "a:1/720", "a:1/720/p"}, {"a:1/600", "a:2/600", "a:3/720", "a:2/720"},  // field by field
        {"a:1", "b:1", "a:2", "b:2"},                   {"x:1 x:2", "x:2", "x:1 x:5", "x:5"},  // a rename; namesakes
        {"a:1", "", "a:2", "a:2"},                      {"a:1", "a:2", "", "a:2"},             // deleted and edited
        {"Base:1 Keep:1", "Keep:1", "Base:1 Keep:1 Theirs:1", "Keep:1 Theirs:1"},
        {"Base:1", "Base:2", "Base:1 Theirs:1", "Base:2 Theirs:1"},
        {"", "a:1 c:1", "b:1 a:2", "b:1 a:2 a(2):1 c:1"},  // nothing known of the start: both kept
        {"x:1 x:2", "x:1 x:3", "x:1 x:2 y:1", "x:1 x:3 y:1"}};
    for (const auto &r : rows) {
        Scheme *base = List(r.base), *ours = List(r.ours);
        ASSERT_EQ(1, MergeSchemes(&ours, base, List(r.theirs)));
        EXPECT_EQ(r.merged, Text(ours)) << r.base << " | " << r.ours << " | " << r.theirs;
        FreeSchemeList(&ours);
        FreeSchemeList(&base);
    }
    struct { uint32_t base, ours, theirs, merged; } words[] = {{0, 1, 0, 1}, {0, 0, 1, 1}, {1, 0, 1, 0}, {1, 1, 0, 0}, {0, 1, 1, 1}};
    for (const auto &w : words) EXPECT_EQ(w.merged, MergeWord(w.base, w.ours, w.theirs)) << w.base << w.ours << w.theirs;
}

// Two sessions that each fire a run-once scheme (which pauses it) and exit, three rounds on end:
// each scheme paused once, no copy of either; and without memory nothing changes.
TEST(SchemeMerge, TwoSessionsThatEachFireARunOnceSchemeKeepOneRecordOfEach)
{
    Scheme *file = List("X:1 Y:1");
    for (int round = 0; round < 3; ++round) {
        for (Scheme *s = file; s; s = s->next) s->suspended = 0;  // both taken up again
        Scheme *base = List(Text(file)), *second = List(Text(file));
        file->suspended = 1;          // the first fires X and exits: the file was its base
        second->next->suspended = 1;  // the second fires Y and exits over it
        ASSERT_EQ(1, MergeSchemes(&second, base, file));
        file = second;
        FreeSchemeList(&base);
    }
    EXPECT_EQ("X:1/p Y:1/p", Text(file));
    for (int failing : {1, 2}) {
        Scheme *theirs = List("Z:1");
        FailingAlloc fail(failing);
        EXPECT_EQ(0, MergeSchemes(&file, NULL, theirs));
        EXPECT_EQ("X:1/p Y:1/p", Text(file));
        FreeSchemeList(&theirs);
    }
    FreeSchemeList(&file);
}

// The property, on a few thousand generated cases; scripts/bench.sh merge runs a million.
TEST(SchemeMerge, RandomEditsOnBothSidesAreEachAppliedOnceAndNothingIsLostOrDoubled)
{
    int failed = 0;
    for (uint32_t seed = 1; seed <= 4000; ++seed) {
        std::string problem = merge_property::CheckOneCase(seed);
        if (!problem.empty() && ++failed <= 3) ADD_FAILURE() << problem;
    }
    EXPECT_EQ(0, failed) << "of 4000 cases";
}

}  // namespace
