// The whole life of the program, run in this process: start-up, the main window, the clean-up
// and its order, and the request to end the session (seen through the exit seam).
#include <gtest/gtest.h>
#include "harness.h"
#include "../../src/app/alloc.h"
#include "../../src/app/app_main.h"
#include "../../src/app/app_state.h"
#include "../../src/schemes/scheme.h"
#include "../../src/tray/commands.h"

namespace {

// One scheme "a" that never fires, with the fired flag stored as 1, then the force-close word.
std::string SchemeFile(char forceClose)
{
    std::string record(80, '\0');
    record[0] = 'a';
    record[52] = (char)0x9F;  // minute 1439, 23:59
    record[53] = 0x05;
    record[72] = 1;           // fired: cleared by the load, so a rewrite shows
    return record + std::string(1, forceClose) + std::string(3, '\0');
}

class AppMainTest : public ::testing::Test {
protected:
    SeamRecorder seams;
    void SetUp() override
    {
        SetPendingExitFlags(kNoExitPending);
        SetForceCloseOption(0);
        DeleteFileA(SchemeFilePath().c_str());
    }
    void TearDown() override { DeleteFileA(SchemeFilePath().c_str()); }

    // Runs the program and sends it one message once its window exists.
    int RunAndSend(UINT message, WPARAM wParam)
    {
        int result = -1;
        RunDriven([&] { result = AppMain(GetModuleHandleA(NULL)); }, [&] {
            HWND main = WaitForWindow("TRELLITH15", "Trellith");
            ASSERT_TRUE(main != NULL);
            PostMessageA(main, message, wParam, 0);
        });
        return result;
    }
};

TEST_F(AppMainTest, MainWindowIsExactlyAsRegisteredAndCreated)
{
    RunDriven([&] { EXPECT_EQ(0, AppMain(GetModuleHandleA(NULL))); }, [&] {
        HWND main = WaitForWindow("TRELLITH15", "Trellith");
        ASSERT_TRUE(main != NULL);
        EXPECT_EQ(0, GetClassLongPtrA(main, GCLP_HICON));
        EXPECT_EQ(0, GetClassLongPtrA(main, GCLP_HCURSOR));
        EXPECT_EQ(0, GetClassLongPtrA(main, GCLP_HBRBACKGROUND));
        EXPECT_EQ(0, GetClassLongPtrA(main, GCL_STYLE));
        EXPECT_EQ((LONG)WS_OVERLAPPEDWINDOW, GetWindowLongA(main, GWL_STYLE) & ~WS_CLIPSIBLINGS);
        EXPECT_FALSE(IsWindowVisible(main));
        EXPECT_EQ(NULL, GetParent(main));
        EXPECT_EQ(NULL, GetMenu(main));
        // While it runs, the mutex is held.
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, APP_INSTANCE_NAME);
        EXPECT_TRUE(mutex != NULL);
        if (mutex) CloseHandle(mutex);
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(seams.exitFlags.empty());
}

TEST_F(AppMainTest, ShutDownIsRequestedLastWithForceAfterEverythingIsReleased)
{
    WriteFileBytes(SchemeFilePath(), SchemeFile(1));
    struct { bool module = true, mutex = true, brush = true; std::string file; } atExit;
    HBRUSH brush = NULL;
    SeamRecorder::onExit = [&] {
        atExit.module = GetModuleHandleA("Trellith.dll") != NULL;
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, APP_INSTANCE_NAME);
        atExit.mutex = mutex != NULL;
        if (mutex) CloseHandle(mutex);
        atExit.brush = GetObjectType(brush) != 0;
        atExit.file = ReadFileBytes(SchemeFilePath());
    };
    int result = -1;
    RunDriven([&] { result = AppMain(GetModuleHandleA(NULL)); }, [&] {
        HWND main = WaitForWindow("TRELLITH15", "Trellith");
        ASSERT_TRUE(main != NULL);
        brush = BackgroundBrush();
        EXPECT_EQ(RGB(165, 201, 239), [&] { LOGBRUSH b; GetObjectA(brush, sizeof b, &b); return b.lbColor; }());
        PostMessageA(main, WM_COMMAND, IDM_SHUTDOWN, 0);
    });
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, seams.exitFlags.size());
    EXPECT_EQ(13u, seams.exitFlags[0]);  // 9 and EWX_FORCE
    EXPECT_FALSE(atExit.module);
    EXPECT_FALSE(atExit.mutex);
    EXPECT_FALSE(atExit.brush);
    std::string expected = SchemeFile(1);
    expected[72] = 0;  // the schemes were written back, fired cleared, before the request
    EXPECT_EQ(expected, atExit.file);
}

TEST_F(AppMainTest, SessionEndCommandsStoreTheirFlags)
{
    // With EWX_FORCEIFHUNG: Wine says it is Windows 2000 or later.
    struct { UINT command; UINT flags; } cases[] = {{IDM_LOGOFF, 0x10}, {IDM_RESTART, 0x12}, {IDM_SHUTDOWN, 0x19}};
    for (const auto &c : cases) {
        SetPendingExitFlags(kNoExitPending);
        seams.exitFlags.clear();
        EXPECT_EQ(0, RunAndSend(WM_COMMAND, c.command));
        ASSERT_EQ(1u, seams.exitFlags.size()) << c.command;
        EXPECT_EQ(c.flags, seams.exitFlags[0]) << c.command;
    }
}

TEST_F(AppMainTest, ExitAndCloseFromOutsideEndWithoutARequestAndRewriteTheFile)
{
    for (UINT message : {(UINT)WM_COMMAND, (UINT)WM_CLOSE}) {
        WriteFileBytes(SchemeFilePath(), SchemeFile(0));
        EXPECT_EQ(0, RunAndSend(message, message == WM_COMMAND ? IDM_EXIT : 0));
        EXPECT_TRUE(seams.exitFlags.empty());
        std::string expected = SchemeFile(0);
        expected[72] = 0;
        EXPECT_EQ(expected, ReadFileBytes(SchemeFilePath()));
    }
}

// A session command that Windows refuses says so, naming the command and the system's reason,
// and the program ends as ever; one that succeeds says nothing.
TEST_F(AppMainTest, ARefusedSessionCommandSaysWhyAndTheProgramStillEnds)
{
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, ERROR_PRIVILEGE_NOT_HELD, 0,
                   reason, sizeof reason, NULL);
    for (DWORD error : {(DWORD)ERROR_PRIVILEGE_NOT_HELD, (DWORD)0}) {
        SeamRecorder::exitError = error;
        SetPendingExitFlags(kNoExitPending);
        std::string text = "(none)";
        int result = -1;
        RunDriven([&] { result = AppMain(GetModuleHandleA(NULL)); }, [&] {
            HWND main = WaitForWindow("TRELLITH15", "Trellith");
            ASSERT_TRUE(main != NULL);
            PostMessageA(main, WM_COMMAND, IDM_RESTART, 0);
            if (HWND box = WaitForWindow("#32770", "Trellith", error ? 5000 : 1500)) {
                text = MessageBoxText(box);
                EXPECT_EQ(NULL, GetWindow(box, GW_OWNER));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        });
        EXPECT_EQ(0, result);
        EXPECT_EQ(error ? std::string("无法重启：") + reason : "(none)", text);
    }
}

// The first instance holds the mutex on a thread of its own, as another process would.
DWORD WINAPI FirstInstance(void *parameter)
{
    HANDLE *handles = (HANDLE *)parameter;  // the mutex, and the event that ends this thread
    handles[0] = CreateMutexA(NULL, TRUE, APP_INSTANCE_NAME);
    WaitForSingleObject(handles[1], INFINITE);
    ReleaseMutex(handles[0]);
    return 0;
}

HANDLE ProbeHandle()  // Wine gives a new handle the lowest free slot: a leak moves the probe
{
    HANDLE probe = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(probe);
    return probe;
}

TEST_F(AppMainTest, ASecondInstanceEndsSilentlyAndLeavesTheFirstAlone)
{
    HANDLE handles[2] = {NULL, CreateEventA(NULL, TRUE, FALSE, NULL)};
    HANDLE thread = CreateThread(NULL, 0, FirstInstance, handles, 0, NULL);
    ASSERT_TRUE(WaitUntil([&] { return handles[0] != NULL; }));
    const HANDLE probe = ProbeHandle();
    DWORD start = GetTickCount();
    EXPECT_EQ(0, AppMain(GetModuleHandleA(NULL)));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(probe, ProbeHandle());  // its own handle to the mutex was closed
    EXPECT_EQ(NULL, FindWindowA("TRELLITH15", NULL));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(handles[0], 0));  // still the first one's
    SetEvent(handles[1]);
    WaitForSingleObject(thread, 5000);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handles[0], 0));  // released by its owner only
    ReleaseMutex(handles[0]);
    for (HANDLE h : {handles[0], handles[1], thread}) CloseHandle(h);
}

LONG g_allocated, g_freed;
void *CountedAlloc(size_t size)
{
    InterlockedIncrement(&g_allocated);
    return malloc(size);
}
void CountedFree(void *record)
{
    if (record) InterlockedIncrement(&g_freed);
    free(record);
}

// The hidden window's program, told to hide it, has Trellith end the session from inside that
// hide, as a program may that is itself asked to end.
TEST_F(AppMainTest, ASessionEndSentFromInsideAHideLeavesEveryWindowInViewAndFreesEachRecordOnce)
{
    HelperWindows helper({"Omega", "EndSession", "Omega2"});
    g_allocated = g_freed = 0;
    g_allocRecord = CountedAlloc;
    g_freeRecord = CountedFree;
    RunDriven([&] { AppMain(GetModuleHandleA(NULL)); }, [&] {
        HWND main = WaitForWindow("TRELLITH15", "Trellith");
        ASSERT_TRUE(main != NULL);
        helper.ClearLog();
        PostMessageA(main, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP);
        // Our show waits until that hide is over, as on Windows NT.
        for (HWND w : helper.All()) EXPECT_TRUE(Becomes(w, true)) << helper.Log();
        Sleep(1500);
        for (HWND w : helper.All()) EXPECT_TRUE(IsWindowVisible(w)) << helper.Log();
        PostMessageA(main, WM_CLOSE, 0, 0);
    });
    g_allocRecord = malloc;
    g_freeRecord = free;
    EXPECT_GT(g_allocated, 0);
    EXPECT_EQ(g_allocated, g_freed);
}

TEST(Platform, WineReportsTheNtPlatform)
{
    EXPECT_EQ((DWORD)VER_PLATFORM_WIN32_NT, GetPlatformId());
}

}  // namespace
