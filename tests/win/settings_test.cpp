// The timer settings dialog driven as a user's actions arrive: typed text, button clicks,
// choices from the lists; checked in the scheme list, the file and the registry.
#include <gtest/gtest.h>
#include <set>
#include "harness.h"
#include "../../src/app/alloc.h"
#include "../../src/app/app_main.h"
#include "../../src/app/app_state.h"
#include "../../src/app/seams.h"
#include "../../src/companion/companion.h"
#include "../../src/res/resource.h"
#include "../../src/schemes/scheme.h"
#include "../../src/tray/commands.h"
#include "../../src/tray/popup_menu.h"

namespace {

Counters g_counters = {600, 0, 0, 0};

unsigned __cdecl FakeGetTime(Counters *buffer)
{
    if (buffer) *buffer = g_counters;
    return 1;
}

std::string Record(const char *name, unsigned char action = 0, unsigned char minutes = 0)
{
    std::string r(80, '\0');
    memcpy(&r[0], name, strlen(name));
    r[52] = (char)minutes;
    r[56] = (char)action;
    return r;
}

const std::string kNoForce(4, '\0');
const int kEditing[] = {IDC_DELETE, IDC_TRIGGER_KIND, IDC_TRIGGER_HOURS, IDC_TRIGGER_MINUTES, IDC_ACTION_KIND,
                        IDC_DELAY_MINUTES, IDC_DELAY_SECONDS, IDC_SUSPENDED, IDC_SUSPEND_AFTER_ONCE};

class Settings : public ::testing::Test {
protected:
    SeamRecorder seams;
    HWND main = NULL, dialog = NULL;

    void SetUp() override
    {
        SetPendingExitFlags(kNoExitPending);
        SetForceCloseOption(0);
        g_counters = Counters{600, 0, 0, 0};
    }
    void TearDown() override
    {
        DeleteFileA(SchemeFilePath().c_str());
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "TRELLITH15");
    }

    // Runs the program on a scheme file; script runs with the main window in main.
    void Run(const std::string &file, const std::function<void()> &script)
    {
        WriteFileBytes(SchemeFilePath(), file);
        RunDriven([] { AppMain(GetModuleHandleA(NULL)); }, [&] {
            main = WaitForWindow("TRELLITH15", "Trellith");
            ASSERT_TRUE(main != NULL);
            SetCompanionEntries(FakeGetTime, NULL);
            script();
            PostMessageA(main, WM_CLOSE, 0, 0);
        });
    }
    void Open()
    {
        PostMessageA(main, WM_COMMAND, IDM_TIMER_SETTINGS, 0);
        dialog = WaitForWindow("#32770", "定时器设置");
        ASSERT_TRUE(dialog != NULL);
    }
    void Close(int button)
    {
        SendDlgItemMessageA(dialog, button, BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    HWND Focus() const  // of the program's thread, not of this one
    {
        GUITHREADINFO info = {sizeof info};
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info);
        return info.hwndFocus;
    }
    std::string Text(int id) const
    {
        char text[256] = "";
        GetWindowTextA(Item(id), text, sizeof text);
        return text;
    }
    // Keys typed into an edit, or into the edit field of combo box 1000.
    void Type(int id, const wchar_t *keys, bool replace = true)
    {
        HWND edit = id == IDC_SCHEME_NAME ? GetWindow(Item(id), GW_CHILD) : Item(id);
        if (replace) SendMessageA(edit, EM_SETSEL, 0, -1);
        for (; *keys; ++keys) SendMessageW(edit, WM_CHAR, *keys, 1);
    }
    void Choose(int id, int index)
    {
        SendMessageA(Item(id), CB_SETCURSEL, index, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), (LPARAM)Item(id));
    }
    // Clicks a button that answers with a message box; returns its text and closes it.
    std::string ClickExpectingMessage(int id)
    {
        PostMessageA(Item(id), BM_CLICK, 0, 0);
        HWND box = NULL;
        WaitUntil([&] { box = FindWindowA("#32770", "Trellith"); return box && IsWindowVisible(box); });
        if (!box) return "<no message>";
        std::string text = MessageBoxText(box);
        EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitUntil([&] { return !IsWindow(box); });
        return text;
    }
    bool EditingEnabled() const
    {
        for (int id : kEditing)
            if (IsWindowEnabled(Item(id)) != TRUE) return false;
        return true;
    }
    bool EditingDisabled() const
    {
        for (int id : kEditing)
            if (IsWindowEnabled(Item(id))) return false;
        return true;
    }
    static std::string Names()
    {
        std::string names;
        for (Scheme *s = *SchemeListHead(); s; s = s->next) names += std::string(s->name) + ";";
        return names;
    }
    static std::string ListBytes()
    {
        std::string bytes;
        for (Scheme *s = *SchemeListHead(); s; s = s->next) bytes.append((const char *)s, offsetof(Scheme, next));
        return bytes;
    }
    static bool SettingsEnabled() { return !(GetMenuState(PopupMenu(), IDM_TIMER_SETTINGS, MF_BYCOMMAND) & MF_DISABLED); }
};

TEST_F(Settings, WhileOpenNoTickRunsAndOkLetsAFiredSchemeFireAgain)
{
    Run(Record("bell", 0, 10) + kNoForce, [&] {
        HWND countdown = WaitForWindow("#32770", "Trellith");  // due at 00:10: it fires at once
        ASSERT_TRUE(countdown != NULL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(countdown) && SettingsEnabled(); }));
        Open();
        EXPECT_FALSE(SettingsEnabled());
        EXPECT_EQ(0u, (*SchemeListHead())->fired);  // cleared at opening
        Sleep(1500);
        EXPECT_EQ(NULL, FindWindowA("#32770", "Trellith"));  // no tick while it is open
        Close(IDCANCEL);
        EXPECT_TRUE(SettingsEnabled());
        EXPECT_EQ(1u, (*SchemeListHead())->fired);  // Cancel brought the flag back
        Sleep(1500);
        EXPECT_EQ(NULL, FindWindowA("#32770", "Trellith"));
        Open();
        Close(IDOK);
        countdown = WaitForWindow("#32770", "Trellith", 3000);  // the ticks come again
        EXPECT_TRUE(countdown != NULL);
        WaitUntil([&] { return !IsWindow(countdown); });
    });
}

TEST_F(Settings, AnEmptyListOpensDisabledAndNewMakesAFreshScheme)
{
    Run("", [&] {
        Open();
        EXPECT_TRUE(EditingDisabled());
        EXPECT_EQ("", Text(IDC_SCHEME_NAME));
        EXPECT_EQ("", Text(IDC_TRIGGER_HOURS));
        EXPECT_EQ("", Text(IDC_DELAY_SECONDS));
        EXPECT_EQ("请输入新方案的名称。", ClickExpectingMessage(IDC_NEW));
        Type(IDC_SCHEME_NAME, L"晚上");
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        EXPECT_EQ("晚上;", Names());
        EXPECT_TRUE(EditingEnabled());
        EXPECT_EQ("定时", Text(IDC_TRIGGER_KIND));
        EXPECT_EQ("响铃", Text(IDC_ACTION_KIND));
        for (int id : {IDC_TRIGGER_HOURS, IDC_TRIGGER_MINUTES, IDC_DELAY_MINUTES, IDC_DELAY_SECONDS})
            EXPECT_EQ("0", Text(id)) << id;
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_SUSPENDED));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_SUSPEND_AFTER_ONCE));
        HWND focus = Focus();  // the name box, or the edit field inside it
        EXPECT_TRUE(focus == Item(IDC_SCHEME_NAME) || GetParent(focus) == Item(IDC_SCHEME_NAME));
        Close(IDOK);
    });
    EXPECT_EQ(Record("晚上") + kNoForce, ReadFileBytes(SchemeFilePath()));
}

TEST_F(Settings, NewRefusesEqualNamesAndPutsANewOneInItsSortedPlace)
{
    Run(Record("bravo") + Record("delta") + kNoForce, [&] {
        Open();
        EXPECT_EQ("bravo", Text(IDC_SCHEME_NAME));  // entry 0 in sorted order
        EXPECT_EQ("该方案名已经存在，请重新输入。", ClickExpectingMessage(IDC_NEW));  // the selected name
        Type(IDC_SCHEME_NAME, L"DELTA");
        EXPECT_TRUE(EditingDisabled());  // typing leaves no scheme current
        EXPECT_EQ("该方案名已经存在，请重新输入。", ClickExpectingMessage(IDC_NEW));
        Type(IDC_SCHEME_NAME, L"delta");  // the full name of a scheme, not chosen: still disabled
        EXPECT_TRUE(EditingDisabled());
        Type(IDC_SCHEME_NAME, L"charlie");
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        EXPECT_EQ("bravo;delta;charlie;", Names());  // the list appends
        EXPECT_EQ(1, SendMessageA(Item(IDC_SCHEME_NAME), CB_GETCURSEL, 0, 0));  // the box sorts
        EXPECT_EQ("charlie", Text(IDC_SCHEME_NAME));
        EXPECT_TRUE(EditingEnabled());
        Choose(IDC_SCHEME_NAME, 2);
        EXPECT_EQ("delta", Text(IDC_SCHEME_NAME));
        EXPECT_TRUE(EditingEnabled());
        Close(IDOK);
    });
}

TEST_F(Settings, NumbersAreCorrectedToTheirLastDigitAndStoredInTheirField)
{
    Run(Record("n") + kNoForce, [&] {
        Open();
        Scheme *s = *SchemeListHead();
        Type(IDC_TRIGGER_HOURS, L"24");
        EXPECT_EQ("4", Text(IDC_TRIGGER_HOURS));
        EXPECT_EQ(240u, s->triggerMinutes);
        Type(IDC_TRIGGER_HOURS, L"23");
        EXPECT_EQ("23", Text(IDC_TRIGGER_HOURS));
        Type(IDC_TRIGGER_HOURS, L"7");
        Type(IDC_TRIGGER_MINUTES, L"60");
        EXPECT_EQ("0", Text(IDC_TRIGGER_MINUTES));
        Type(IDC_TRIGGER_MINUTES, L"75");
        EXPECT_EQ("5", Text(IDC_TRIGGER_MINUTES));
        Type(IDC_TRIGGER_MINUTES, L"30");
        EXPECT_EQ(450u, s->triggerMinutes);  // 7 h 30 min
        Type(IDC_DELAY_MINUTES, L"2");
        Type(IDC_DELAY_SECONDS, L"59");
        Type(IDC_DELAY_SECONDS, L"5");
        EXPECT_EQ(125u, s->delaySeconds);    // 2 min 5 s
        Type(IDC_DELAY_MINUTES, L"");
        SendMessageA(Item(IDC_DELAY_MINUTES), WM_CHAR, VK_BACK, 1);
        EXPECT_EQ("", Text(IDC_DELAY_MINUTES));
        EXPECT_EQ(5u, s->delaySeconds);      // an emptied edit counts as 0
        Choose(IDC_TRIGGER_KIND, 2);
        EXPECT_EQ(2u, s->triggerKind);
        EXPECT_EQ(Item(IDC_TRIGGER_HOURS), Focus());
        Choose(IDC_ACTION_KIND, 3);
        EXPECT_EQ(3u, s->actionKind);
        EXPECT_EQ(Item(IDC_DELAY_MINUTES), Focus());
        SendMessageA(Item(IDC_SUSPENDED), BM_CLICK, 0, 0);
        EXPECT_EQ(1u, s->suspended);
        Close(IDOK);
    });
}

TEST_F(Settings, DeleteSelectsTheFirstEntryAndCancelGivesEverythingBack)
{
    Run(Record("c", 1) + Record("a", 2) + Record("b", 3) + kNoForce, [&] {
        (*SchemeListHead())->next->fired = 1;
        const std::string before = ListBytes();
        Open();
        Choose(IDC_SCHEME_NAME, 1);  // "b"
        SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);
        EXPECT_EQ("c;a;", Names());
        EXPECT_EQ("a", Text(IDC_SCHEME_NAME));  // the first in sorted order
        Type(IDC_TRIGGER_HOURS, L"9");
        Type(IDC_SCHEME_NAME, L"z");
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        SendMessageA(Item(IDC_FORCE_CLOSE), BM_CLICK, 0, 0);
        EXPECT_EQ(1u, ForceCloseOption());
        Close(IDCANCEL);
        EXPECT_EQ(before, ListBytes());  // order, fields and fired flags as they were
        EXPECT_EQ(1u, ForceCloseOption());  // the option is not undone

        Open();
        for (int i = 0; i < 3; ++i) SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);
        EXPECT_EQ("", Names());
        EXPECT_EQ("", Text(IDC_SCHEME_NAME));
        EXPECT_TRUE(EditingDisabled());
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc and the close box arrive so
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(before, ListBytes());
    });
}

TEST_F(Settings, CounterLineShowsFourCountersAndKeepsItsTextOnALostReading)
{
    Run("", [&] {
        g_counters = Counters{45296, 59, 360000, 3600};
        Open();
        EXPECT_EQ("12:34:56   00:00:59   100:00:00   01:00:00", Text(IDC_COUNTER_LINE));
        g_counters = Counters{0, 1, 2, 3};
        Sleep(1300);
        EXPECT_EQ("12:34:56   00:00:59   100:00:00   01:00:00", Text(IDC_COUNTER_LINE));
        g_counters = Counters{1, 2, 3, 4};
        EXPECT_TRUE(WaitUntil([&] { return Text(IDC_COUNTER_LINE) == "00:00:01   00:00:02   00:00:03   00:00:04"; }));
        Close(IDOK);
    });
}

LONG WINAPI RefuseWrite(HKEY, LPCSTR, DWORD, DWORD, const BYTE *, DWORD)
{
    return ERROR_ACCESS_DENIED;
}

TEST_F(Settings, AutorunWritesAtOnceOrSpringsBackWithAMessage)
{
    Run("", [&] {
        Open();
        SendMessageA(Item(IDC_AUTORUN), BM_CLICK, 0, 0);
        EXPECT_TRUE(AutorunFlag());
        char value[300] = "";
        DWORD size = sizeof value;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                              "TRELLITH15", RRF_RT_REG_SZ, NULL, value, &size));
        SendMessageA(Item(IDC_AUTORUN), BM_CLICK, 0, 0);
        EXPECT_FALSE(AutorunFlag());
        g_seams.regSetValueEx = RefuseWrite;
        EXPECT_EQ("当前用户没有修改注册表的权限。", ClickExpectingMessage(IDC_AUTORUN));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_AUTORUN));
        EXPECT_FALSE(AutorunFlag());
        g_seams.regSetValueEx = RegSetValueExA;
        Close(IDCANCEL);
    });
}

void *NoMemory(size_t)
{
    return NULL;
}

TEST_F(Settings, WithoutABackupCancelIsNotOfferedAndKeepsTheEdits)
{
    Run(Record("a") + Record("b") + kNoForce, [&] {
        g_allocRecord = NoMemory;  // the copy taken at opening fails
        Open();
        g_allocRecord = malloc;
        EXPECT_FALSE(IsWindowEnabled(Item(IDCANCEL)));
        EXPECT_EQ(nullptr, *BackupListHead());
        SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc: never an empty copy in place of the list
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ("b;", Names());
    });
}

TEST_F(Settings, ANameIsNeverCutInsideADoubleByteCharacter)
{
    Run("", [&] {
        Open();
        std::wstring typed(24, L'中');  // 48 bytes in code page 936
        Type(IDC_SCHEME_NAME, typed.c_str());
        std::string expected;
        for (int i = 0; i < 23; ++i) expected += "中";
        EXPECT_EQ(expected, Text(IDC_SCHEME_NAME));  // the box takes 47 bytes, as a Chinese system's
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        EXPECT_EQ(expected + ";", Names());
        EXPECT_EQ(46u, strlen((*SchemeListHead())->name));
        Choose(IDC_SCHEME_NAME, 0);
        EXPECT_TRUE(EditingEnabled());  // the selection finds it
        SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);
        EXPECT_EQ("", Names());
        EXPECT_EQ(0, SendMessageA(Item(IDC_SCHEME_NAME), CB_GETCOUNT, 0, 0));
        Close(IDOK);
    });
}

// Press, release, press and release on 删除, as the system delivers a double click: the
// second press comes as WM_LBUTTONDBLCLK, which an owner-drawn button reports as BN_DOUBLECLICKED.
TEST_F(Settings, ADoubleClickOnAButtonActsOnce)
{
    Run(Record("a") + Record("b") + Record("c") + kNoForce, [&] {
        Open();
        HWND del = Item(IDC_DELETE);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageA(del, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_TRUE(WaitUntil([&] { return Names() != "a;b;c;"; }));
        Sleep(300);
        EXPECT_EQ("b;c;", Names());
        Close(IDOK);
    });
}

TEST_F(Settings, OkWritesTheSchemesAtOnceOrSaysItCouldNot)
{
    const std::string original = Record("a") + kNoForce;
    Run(original, [&] {
        Open();
        Type(IDC_SCHEME_NAME, L"b");
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        Close(IDOK);
        EXPECT_EQ(Record("a") + Record("b") + kNoForce, ReadFileBytes(SchemeFilePath()));  // while it runs

        std::string saved = ReadFileBytes(SchemeFilePath());
        std::string blocker = SchemeFilePath() + ".new";
        ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), NULL));  // the new file cannot be made
        Open();
        SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);
        EXPECT_EQ("无法将方案保存到文件 " + SchemeFilePath() + "。", ClickExpectingMessage(IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));  // closed as OK closes
        EXPECT_EQ("b;", Names());
        EXPECT_EQ(saved, ReadFileBytes(SchemeFilePath()));
        RemoveDirectoryA(blocker.c_str());

        // Another program holds the file, unshared, for a moment just as OK is pressed.
        Open();
        Type(IDC_SCHEME_NAME, L"c");
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        HANDLE held = CreateFileA(SchemeFilePath().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        PostMessageA(Item(IDOK), BM_CLICK, 0, 0);
        Sleep(400);
        CloseHandle(held);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        EXPECT_EQ(NULL, FindWindowA("#32770", "Trellith"));
        EXPECT_EQ(Record("b") + Record("c") + kNoForce, ReadFileBytes(SchemeFilePath()));

        // Another session's Trellith saved the file meanwhile, c deleted and x added: its deletion
        // and its scheme stay, and ours is added.
        Open();
        WriteFileBytes(SchemeFilePath(), Record("b") + Record("x") + kNoForce);
        Type(IDC_SCHEME_NAME, L"d");
        SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
        Close(IDOK);
        EXPECT_EQ(Record("b") + Record("x") + Record("d") + kNoForce, ReadFileBytes(SchemeFilePath()));
    });
}

// The session ends, or the program is ended from its menu, while the dialog is open: what is
// written is what Cancel would have put back, with the force-close option as just set.
TEST_F(Settings, AnEndUnderTheDialogWritesTheSchemesAsTheyWereWhenItOpened)
{
    const std::string original = Record("a", 1) + Record("b", 2) + kNoForce;
    const std::string confirmed = Record("a", 1) + Record("b", 2) + std::string("\1\0\0\0", 4);
    for (bool sessionEnd : {true, false}) {
        Run(original, [&] {
            Open();
            SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);
            Type(IDC_SCHEME_NAME, L"z");
            SendMessageA(Item(IDC_NEW), BM_CLICK, 0, 0);
            Type(IDC_TRIGGER_HOURS, L"9");
            SendMessageA(Item(IDC_FORCE_CLOSE), BM_CLICK, 0, 0);
            if (sessionEnd) {
                SendMessageA(main, WM_QUERYENDSESSION, 0, 0);
                SendMessageA(main, WM_ENDSESSION, TRUE, 0);
                EXPECT_EQ(confirmed, ReadFileBytes(SchemeFilePath()));
                DeleteFileA(SchemeFilePath().c_str());
                SendMessageA(main, WM_ENDSESSION, FALSE, 0);  // a session end called off writes nothing
                EXPECT_EQ("<missing>", ReadFileBytes(SchemeFilePath()));
            }
            PostMessageA(main, WM_COMMAND, IDM_EXIT, 0);
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(main); }));  // with the dialog still open
        });
        EXPECT_EQ(confirmed, ReadFileBytes(SchemeFilePath())) << (sessionEnd ? "after the session end" : "exit");
        EXPECT_EQ(nullptr, *BackupListHead());  // the unconfirmed edits were given up, not left behind
    }
}

TEST_F(Settings, NamesThatDifferOnlyInCaseKeepOneLineEach)
{
    Run(Record("abc", 1) + Record("ABC", 2) + Record("Abc", 3) + kNoForce, [&] {
        Open();
        for (int left = 3; left > 0; --left) {
            ASSERT_EQ(left, SendMessageA(Item(IDC_SCHEME_NAME), CB_GETCOUNT, 0, 0));
            std::multiset<std::string> lines;
            for (int entry = 0; entry < left; ++entry) {
                char text[48] = "";
                SendMessageA(Item(IDC_SCHEME_NAME), CB_GETLBTEXT, entry, (LPARAM)text);
                lines.insert(text);
                Choose(IDC_SCHEME_NAME, entry);  // each line shows its own scheme
                Scheme *chosen = FindScheme(text);
                ASSERT_TRUE(chosen != NULL) << text;
                EXPECT_EQ((LRESULT)chosen->actionKind, SendMessageA(Item(IDC_ACTION_KIND), CB_GETCURSEL, 0, 0)) << text;
            }
            std::multiset<std::string> records;
            for (Scheme *s = *SchemeListHead(); s; s = s->next) records.insert(s->name);
            EXPECT_EQ(records, lines);
            SendMessageA(Item(IDC_DELETE), BM_CLICK, 0, 0);  // the last one chosen
        }
        EXPECT_EQ("", Names());
        Close(IDOK);
    });
}

}  // namespace
