// The control's list filled through the period choice a user makes, timed in a form of Wine's
// ATL host: for each agenda given, the panel is put on a new form, "Tento měsíc" is chosen with
// the keyboard, and then three times Up ("Tento týden", untimed) and Down again, timed until
// the list has painted its rows; the best of the three is the fill's time. Beside it, the same
// choice made on the panel's core alone, as infotrakon.exe print makes it. Usage:
// list_fill_bench.exe AGENDA.mdb...   (Windows paths; ITrakon.ocx registered) Prints one line per
// agenda: its rows and the milliseconds of both fills.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <ole2.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "control/infotrakon.h"

namespace {

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Written where the 32-bit host program writes it: in the 32-bit view.
bool SetHostSetting(const wchar_t* agenda) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Trakon\\ProgramSeting", 0, nullptr,
                        0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExW(
        key, L"LastFullFileNameOpen", 0, REG_SZ, reinterpret_cast<const BYTE*>(agenda),
        static_cast<DWORD>((lstrlenW(agenda) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

HWND FindChild(HWND parent, const wchar_t* windowClass) {
    return FindWindowExW(parent, nullptr, windowClass, nullptr);
}

void PressKey(HWND window, WPARAM key) {
    SendMessageW(window, WM_KEYDOWN, key, 0);
    SendMessageW(window, WM_KEYUP, key, 0);
}

// The best of three runs of `choose`, each after `before`, in milliseconds.
double BestOfThree(const std::function<void()>& before, const std::function<void()>& choose) {
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        before();
        const auto start = std::chrono::steady_clock::now();
        choose();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (round == 0 || took.count() < best) best = took.count();
    }
    return best;
}

// The same choice on the panel's core, with no window: what infotrakon.exe print does.
double CoreFill() {
    infotrakon::control::InfoTrakon core(
        infotrakon::control::HostEnvironment::ForHost({std::nullopt, std::nullopt, std::nullopt}));
    core.Initialize();
    return BestOfThree([&] { core.ChooseItem("Combo2", 4); },
                       [&] { core.ChooseItem("Combo2", 5); });
}

// Puts the panel on a form, chooses "Tento měsíc" and times that choice; false if the form or
// the panel's windows could not be made.
bool MeasureFill(const wchar_t* agenda) {
    if (!SetHostSetting(agenda)) return false;
    const HWND form = CreateWindowExW(0, L"STATIC", L"Trakon 3", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      0, 0, 900, 700, nullptr, nullptr, nullptr, nullptr);
    const HWND host = CreateWindowExW(0, L"AtlAxWin", L"ITrakon.InfoTrakon", WS_CHILD | WS_VISIBLE,
                                      0, 0, 880, 660, form, nullptr, nullptr, nullptr);
    Pump();
    const HWND panel = FindChild(host, L"InfoTrakonPanel");
    const HWND periods = panel != nullptr ? FindChild(panel, L"ComboBox") : nullptr;
    const HWND list = panel != nullptr ? FindChild(panel, L"SysListView32") : nullptr;
    if (periods == nullptr || list == nullptr) {
        DestroyWindow(form);
        return false;
    }
    SetFocus(periods);
    for (int i = 0; i < 5; ++i) {
        PressKey(periods, VK_DOWN);
        Pump();
    }
    const double control = BestOfThree(
        [&] {
            PressKey(periods, VK_UP);  // "Tento týden", untimed
            Pump();
        },
        [&] {
            PressKey(periods, VK_DOWN);  // "Tento měsíc"
            UpdateWindow(list);
            Pump();
        });
    const auto rows = static_cast<long>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("%ld rows: the control %.1f ms, the core alone (infotrakon.exe print) %.1f ms\n",
                rows, control, CoreFill());
    std::fflush(stdout);
    DestroyWindow(form);
    Pump();
    return true;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (FAILED(OleInitialize(nullptr))) return 1;
    const HMODULE atl = LoadLibraryW(L"atl.dll");
    const FARPROC found = atl != nullptr ? GetProcAddress(atl, "AtlAxWinInit") : nullptr;
    // FARPROC names no signature: through void* to the function's own type.
    auto* init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(found));
    if (init == nullptr || !init()) {
        std::fprintf(stderr, "list_fill_bench: no ATL host window (atl.dll)\n");
        return 1;
    }
    int status = 0;
    for (int i = 1; i < count; ++i)
        if (!MeasureFill(arguments[i])) {
            std::fprintf(stderr, "list_fill_bench: the panel did not come up on a form\n");
            status = 1;
        }
    OleUninitialize();
    return status;
}
