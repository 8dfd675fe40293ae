// A host keeps the panel on its form all day: a thousand refreshes, period choices and view
// choices, and a resize every ten, must leave the process's memory, handles and GDI and USER
// objects where they were after the first hundred, and the control's GDI objects gone with
// the form.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// What the process holds. Wine answers 0 for a process's private memory, handles and GDI and
// USER objects; there the counts come from elsewhere: the resident private memory and the open
// file descriptors of the process as Linux sees them, the windows of this thread, and the GDI
// objects the control counts itself.
struct Resources {
    double privateMegabytes = 0;
    long handles = 0;
    long gdiObjects = 0;
    long userObjects = 0;
};

// A number after `name` in Linux's status file of this process, in kB; 0 where there is none.
long LinuxStatus(const char* name) {
    FILE* status = _wfopen(L"Z:\\proc\\self\\status", L"r");
    if (status == nullptr) return 0;
    char line[256];
    long value = 0;
    const std::size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::strncmp(line, name, length) == 0) value = std::strtol(line + length, nullptr, 10);
    std::fclose(status);
    return value;
}

long LinuxOpenFiles() {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(L"Z:\\proc\\self\\fd\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    long count = 0;
    do ++count;
    while (FindNextFileW(search, &entry));
    FindClose(search);
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, &CountWindow, count);
    return TRUE;
}

long WindowsOfThisThread() {
    long count = 0;
    EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

long ControlsGdiObjects() {
    const HMODULE control = GetModuleHandleW(L"ITrakon.ocx");
    const FARPROC count =
        control != nullptr ? GetProcAddress(control, "ITrakonLiveGdiObjects") : nullptr;
    // FARPROC names no signature: through void* to the function's own type.
    return count != nullptr ? reinterpret_cast<LONG(WINAPI*)()>(reinterpret_cast<void*>(count))()
                            : -1;
}

Resources ResourcesNow() {
    Resources now;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    now.privateMegabytes = memory.PrivateUsage != 0
                               ? static_cast<double>(memory.PrivateUsage) / (1024.0 * 1024.0)
                               : static_cast<double>(LinuxStatus("RssAnon:")) / 1024.0;
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    now.handles = handles != 0 ? static_cast<long>(handles) : LinuxOpenFiles();
    const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    now.gdiObjects = gdi != 0 ? static_cast<long>(gdi) : ControlsGdiObjects();
    const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    now.userObjects = user != 0 ? static_cast<long>(user) : WindowsOfThisThread();
    return now;
}

void Print(const char* when, const Resources& resources) {
    std::printf("%s: private memory %.1f MB, %ld handles, %ld GDI objects, %ld USER objects\n",
                when, resources.privateMegabytes, resources.handles, resources.gdiObjects,
                resources.userObjects);
    std::fflush(stdout);
}

// Every message waiting, without waiting for more.
void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND FindChild(HWND parent, const wchar_t* windowClass, int skip = 0) {
    HWND child = FindWindowExW(parent, nullptr, windowClass, nullptr);
    while (child != nullptr && skip-- > 0)
        child = FindWindowExW(parent, child, windowClass, nullptr);
    return child;
}

TEST(Soak, AThousandEventsLeaveTheProcessAsAHundredDid) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const HMODULE atl = LoadLibraryW(L"atl.dll");
    const FARPROC found = atl != nullptr ? GetProcAddress(atl, "AtlAxWinInit") : nullptr;
    ASSERT_NE(found, nullptr);
    // FARPROC names no signature: through void* to the function's own type.
    ASSERT_TRUE(reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(found))());
    const HWND form = CreateWindowExW(0, L"STATIC", L"Trakon 3", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      0, 0, 900, 700, nullptr, nullptr, nullptr, nullptr);
    const HWND host = CreateWindowExW(0, L"AtlAxWin", L"ITrakon.InfoTrakon", WS_CHILD | WS_VISIBLE,
                                      0, 0, 880, 660, form, nullptr, nullptr, nullptr);
    Drain();
    const HWND panel = FindChild(host, L"InfoTrakonPanel");
    ASSERT_NE(panel, nullptr);
    const HWND periods = FindChild(panel, L"ComboBox");
    ASSERT_NE(periods, nullptr);
    // The panel's buttons: the four options, then Command2.
    std::vector<HWND> buttons;
    for (HWND button = FindChild(panel, L"Button"); button != nullptr;
         button = FindWindowExW(panel, button, L"Button", nullptr))
        buttons.push_back(button);
    ASSERT_EQ(buttons.size(), 5u);
    const HWND refresh = buttons.back();

    Resources afterHundred;
    for (int cycle = 1; cycle <= 1000; ++cycle) {
        SendMessageW(refresh, BM_CLICK, 0, 0);
        SendMessageW(periods, CB_SETCURSEL, static_cast<WPARAM>(cycle % 6), 0);
        SendMessageW(panel, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(periods), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(periods));
        SendMessageW(buttons[static_cast<std::size_t>(cycle % 4)], BM_CLICK, 0, 0);
        if (cycle % 10 == 0)
            MoveWindow(host, 0, 0, 600 + (cycle / 10) % 5 * 60, 450 + (cycle / 10) % 3 * 50, TRUE);
        Drain();
        if (cycle == 100) {
            afterHundred = ResourcesNow();
            Print("cycle 100", afterHundred);
        }
    }
    const Resources afterThousand = ResourcesNow();
    Print("cycle 1000", afterThousand);
    EXPECT_LE(afterThousand.handles, afterHundred.handles);
    EXPECT_LE(afterThousand.gdiObjects, afterHundred.gdiObjects);
    EXPECT_LE(afterThousand.userObjects, afterHundred.userObjects);
    // The heap settles after the first cycles; what it may still take is allocator noise.
    EXPECT_LE(afterThousand.privateMegabytes, afterHundred.privateMegabytes + 1.0);
    DestroyWindow(form);
    Drain();
    // The form gone, the control's GDI objects are gone with it.
    EXPECT_EQ(ControlsGdiObjects(), 0);
    OleUninitialize();
}

}  // namespace
