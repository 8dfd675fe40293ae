// ITrakon.ocx as hosts use it, under the real COM and Win32 of the platform (Wine in the test
// run): registration, the scripting host's way to FileExists, the event interface, a form of
// Wine's ATL host with the panel on it, and errors that must never take the host down.
// The test script prepares the Wine prefix: an agenda named by the host's setting, and the
// element models the Linux program prints for the same agenda on the same day.
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <oleacc.h>
#include <olectl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "control/identity.h"
#include "core/text_encoding.h"
#include "ocx/form_host.h"

// The dual interface as a host compiled against the type library calls it: FileExists in the
// slot after IDispatch's seven methods, its argument a BSTR by reference. Outside the
// file's own namespace: a class only this file could derive from, with no class deriving from
// it, would let the compiler take the call for one that cannot happen.
struct DualInfoTrakon : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE FileExists(BSTR* p, VARIANT_BOOL* result) = 0;
};

namespace {

// In the order the program prints the elements: the order of the element model.
using json = nlohmann::ordered_json;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = infotrakon::Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string Narrow(const std::wstring& wide) {
    return infotrakon::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

GUID Guid(const char* text) {
    GUID guid{};
    CLSIDFromString(Wide(text).c_str(), &guid);
    return guid;
}

const GUID kClassId = Guid(infotrakon::control::kClassId);
const GUID kEventInterfaceId = Guid(infotrakon::control::kEventInterfaceId);

json ReadJson(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return json::parse(in);
}

// A Czech Windows writes its short dates "7. 12. 2026", glibc "7.12.2026".
std::string WithoutDateSpaces(const std::string& text) {
    static const std::regex date(R"((\d{1,2})\. (\d{1,2})\. (\d{4}))");
    return std::regex_replace(text, date, "$1.$2.$3");
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Narrow(name);
}

std::string TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return Narrow(text);
}

DWORD RunProgram(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return GetLastError();
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

std::wstring OcxPath() { return Wide(Variable("INFOTRAKON_OCX")); }

// The default value, or the value `name`, of a key under HKEY_CLASSES_ROOT; nullopt if absent.
std::optional<std::wstring> ClassesText(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

class ComTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

// --- registration ---

TEST_F(ComTest, RegisteringWritesExactlyTheControlsKeysAndUnregisteringRemovesThem) {
    const std::wstring classKey = L"CLSID\\" + Wide(infotrakon::control::kClassId);
    ASSERT_EQ(RunProgram(L"regsvr32 /s \"" + OcxPath() + L"\""), 0u);
    EXPECT_EQ(ClassesText(classKey), L"InfoTrakon");
    EXPECT_EQ(ClassesText(classKey + L"\\InprocServer32"), OcxPath());
    EXPECT_EQ(ClassesText(classKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ClassesText(classKey + L"\\Control"), L"");
    EXPECT_EQ(ClassesText(classKey + L"\\MiscStatus"), std::to_wstring(0x28191));
    EXPECT_EQ(ClassesText(classKey + L"\\MiscStatus\\1"), std::to_wstring(0x28191));
    EXPECT_EQ(ClassesText(classKey + L"\\ToolboxBitmap32"), OcxPath() + L", 30000");
    EXPECT_EQ(ClassesText(classKey + L"\\TypeLib"), Wide(infotrakon::control::kTypeLibraryId));
    EXPECT_EQ(ClassesText(classKey + L"\\Version"), L"1.0");
    EXPECT_EQ(ClassesText(classKey + L"\\ProgID"), L"ITrakon.InfoTrakon");
    EXPECT_EQ(ClassesText(L"ITrakon.InfoTrakon\\CLSID"), Wide(infotrakon::control::kClassId));
    const std::wstring library = L"TypeLib\\" + Wide(infotrakon::control::kTypeLibraryId);
    EXPECT_EQ(ClassesText(library + L"\\1.0"), L"ITrakon");
    // The library's path for the control's own system.
    EXPECT_TRUE(
        ClassesText(library + L"\\1.0\\409\\" + (sizeof(void*) == 8 ? L"win64" : L"win32")));
    // The toolbox picture, 16 x 15 in 16 colours, is resource 30000 of the library.
    const HMODULE ocx = LoadLibraryExW(OcxPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(ocx, nullptr);
    const HRSRC picture = FindResourceW(ocx, MAKEINTRESOURCEW(30000), MAKEINTRESOURCEW(2));
    ASSERT_NE(picture, nullptr);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(ocx, picture)));
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(header->biHeight, 15);
    EXPECT_EQ(header->biBitCount, 4);
    FreeLibrary(ocx);

    ASSERT_EQ(RunProgram(L"regsvr32 /s /u \"" + OcxPath() + L"\""), 0u);
    EXPECT_FALSE(ClassesText(classKey));
    EXPECT_FALSE(ClassesText(L"ITrakon.InfoTrakon"));
    EXPECT_FALSE(ClassesText(library + L"\\1.0"));
    // Registered again for the hosts that follow.
    ASSERT_EQ(RunProgram(L"regsvr32 /s \"" + OcxPath() + L"\""), 0u);
}

// --- the interface a host sees ---

// The type library's flags: both interfaces nonextensible, and the class a control and
// nothing else.
TEST_F(ComTest, TheTypeLibraryFlagsItsInterfacesNonextensibleAndTheClassAControlOnly) {
    ITypeLib* library = nullptr;
    ASSERT_EQ(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, &library), S_OK);
    const struct {
        GUID id;
        WORD set;
        WORD clear;
    } types[] = {
        {Guid(infotrakon::control::kDefaultInterfaceId), TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDUAL,
         0},
        {kEventInterfaceId, TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FHIDDEN, 0},
        {kClassId, TYPEFLAG_FCONTROL, static_cast<WORD>(~TYPEFLAG_FCONTROL)},
    };
    for (const auto& [id, set, clear] : types) {
        ITypeInfo* info = nullptr;
        ASSERT_EQ(library->GetTypeInfoOfGuid(id, &info), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->wTypeFlags & set, set) << std::hex << attributes->wTypeFlags;
        EXPECT_EQ(attributes->wTypeFlags & clear, 0) << std::hex << attributes->wTypeFlags;
        info->ReleaseTypeAttr(attributes);
        info->Release();
    }
    library->Release();
}

TEST_F(ComTest, TheClassNamesItsEventInterfaceAndTakesASinkItNeverCalls) {
    IUnknown* control = nullptr;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    IProvideClassInfo2* classInfo = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo)),
              S_OK);
    GUID source{};
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualGUID(source, kEventInterfaceId));
    ITypeInfo* info = nullptr;
    ASSERT_EQ(classInfo->GetClassInfo(&info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, kClassId));
    EXPECT_EQ(attributes->wTypeFlags & TYPEFLAG_FCONTROL, TYPEFLAG_FCONTROL);
    info->ReleaseTypeAttr(attributes);
    info->Release();
    classInfo->Release();

    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer,
                                      reinterpret_cast<void**>(&container)),
              S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(kEventInterfaceId, &point), S_OK);
    IDispatch* sink = nullptr;
    // Any object will do as the sink: it is never called.
    ASSERT_EQ(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink)), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    IConnectionPoint* other = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &other),
              CONNECT_E_NOCONNECTION);
    sink->Release();
    point->Release();
    container->Release();
    control->Release();
}

TEST_F(ComTest, FileExistsHoweverAHostPassesTheText) {
    IDispatch* control = nullptr;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    LPOLESTR name = const_cast<LPOLESTR>(L"FileExists");
    DISPID id = 0;
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 0x60030003);
    const std::wstring agenda = Wide(Variable("INFOTRAKON_AGENDA"));
    for (const std::wstring& path :
         {agenda, std::wstring(L"C:\\none.mdb"), std::wstring(L"C:\\")}) {
        const bool expected = path == agenda;
        BSTR text = SysAllocString(path.c_str());
        VARIANT inner;
        VariantInit(&inner);
        V_VT(&inner) = VT_BSTR;
        V_BSTR(&inner) = SysAllocString(path.c_str());
        VARIANT forms[3];
        V_VT(&forms[0]) = VT_BSTR;
        V_BSTR(&forms[0]) = text;
        V_VT(&forms[1]) = VT_BSTR | VT_BYREF;
        V_BSTRREF(&forms[1]) = &text;
        V_VT(&forms[2]) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&forms[2]) = &inner;
        for (VARIANT& form : forms) {
            DISPPARAMS parameters{&form, nullptr, 1, 0};
            VARIANT result;
            VariantInit(&result);
            EXPECT_EQ(control->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &parameters, &result,
                                      nullptr, nullptr),
                      S_OK);
            EXPECT_EQ(V_VT(&result), VT_BOOL);
            EXPECT_EQ(V_BOOL(&result), expected ? VARIANT_TRUE : VARIANT_FALSE) << Narrow(path);
        }
        // Through the dual interface, the same answer.
        DualInfoTrakon* dual = nullptr;
        ASSERT_EQ(control->QueryInterface(Guid(infotrakon::control::kDefaultInterfaceId),
                                          reinterpret_cast<void**>(&dual)),
                  S_OK);
        VARIANT_BOOL direct = VARIANT_FALSE;
        EXPECT_EQ(dual->FileExists(&text, &direct), S_OK);
        EXPECT_EQ(direct, expected ? VARIANT_TRUE : VARIANT_FALSE) << Narrow(path);
        dual->Release();
        // The argument is never changed.
        EXPECT_EQ(std::wstring(text), path);
        EXPECT_EQ(std::wstring(V_BSTR(&inner)), path);
        SysFreeString(text);
        VariantClear(&inner);
    }
    // The type information is loaded once and kept: each call gives the same description.
    ITypeInfo* first = nullptr;
    ITypeInfo* second = nullptr;
    ASSERT_EQ(control->GetTypeInfo(0, 0, &first), S_OK);
    ASSERT_EQ(control->GetTypeInfo(0, 0, &second), S_OK);
    EXPECT_EQ(first, second);
    first->Release();
    second->Release();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(control->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(control->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    control->Release();
}

// --- a form with the panel on it ---

// Written where the 32-bit host program writes it: in the 32-bit view, whatever this test's width.
void SetHostSetting(const std::string& path) {
    const std::wstring value = Wide(path);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Trakon\\ProgramSeting", 0,
                              nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"LastFullFileNameOpen", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// The messages of a form for a tenth of a second, as a host's message loop dispatches them.
void PumpMessages() {
    MSG message;
    for (int round = 0; round < 20; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

// A form of the host: a top-level window with Wine's ATL host window holding the control.
class FormTest : public ComTest {
  protected:
    // The agenda the host opened last when the form is made.
    virtual std::string Agenda() const { return Variable("INFOTRAKON_AGENDA"); }

    void SetUp() override {
        ComTest::SetUp();
        SetHostSetting(Agenda());
        // Registers the host window class AtlAxWin, once a process.
        static const bool hostReady = [] {
            const HMODULE atl = LoadLibraryW(L"atl.dll");
            const FARPROC found = atl != nullptr ? GetProcAddress(atl, "AtlAxWinInit") : nullptr;
            if (found == nullptr) return false;
            // FARPROC names no signature: through void* to the function's own type.
            auto* init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(found));
            return init() != FALSE;
        }();
        ASSERT_TRUE(hostReady);
        const HDC screen = GetDC(nullptr);
        dpi_ = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        form_ = CreateWindowExW(0, L"STATIC", L"Trakon 3", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                Pixels(8310) + 40, Pixels(5805) + 60, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(form_, nullptr);
        host_ = CreateWindowExW(0, L"AtlAxWin", L"ITrakon.InfoTrakon", WS_CHILD | WS_VISIBLE, 0, 0,
                                Pixels(8310), Pixels(5805), form_, nullptr, nullptr, nullptr);
        ASSERT_NE(host_, nullptr);
        Pump();
        panel_ = FindWindowExW(host_, nullptr, L"InfoTrakonPanel", nullptr);
        ASSERT_NE(panel_, nullptr) << "the control made no window in its host";
        for (HWND child = GetWindow(panel_, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT))
            children_.push_back(child);
        // The panel numbers its windows in the order of its elements.
        std::sort(children_.begin(), children_.end(),
                  [](HWND a, HWND b) { return GetDlgCtrlID(a) < GetDlgCtrlID(b); });
    }
    void TearDown() override {
        if (form_ != nullptr) DestroyWindow(form_);
        Pump();
        SetHostSetting(Variable("INFOTRAKON_AGENDA"));
        ComTest::TearDown();
    }

    // "Tento měsíc", five periods down from "Dnes", chosen with the keyboard: five host events,
    // each of which fills the list anew.
    void ChooseThisMonthByKeyboard(HWND periods) {
        SetFocus(periods);
        for (int i = 0; i < 5; ++i) {
            SendMessageW(periods, WM_KEYDOWN, VK_DOWN, 0);
            SendMessageW(periods, WM_KEYUP, VK_DOWN, 0);
            Pump();
        }
        ASSERT_EQ(SendMessageW(periods, CB_GETCURSEL, 0, 0), 5);
    }

    // The list's cell as a screen reader reads it, through LVM_GETITEMTEXTW.
    static std::string CellOf(HWND list, std::size_t row, int column) {
        wchar_t cell[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = cell;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return Narrow(cell);
    }

    // The rows `which` of the list show the model's rows, cell by cell.
    static void ExpectRows(HWND list, const json& rows, const std::vector<std::size_t>& which) {
        for (const std::size_t row : which)
            for (int column = 0; column < 5; ++column) {
                const std::string expected =
                    column == 0 ? rows[row]["text"].get<std::string>()
                                : rows[row]["subItems"][column - 1].get<std::string>();
                EXPECT_EQ(WithoutDateSpaces(CellOf(list, row, column)), expected)
                    << "row " << row << ", column " << column;
            }
    }

    int Pixels(double twips) const { return static_cast<int>(twips * dpi_ / 1440.0 + 0.5); }

    static void Pump() { PumpMessages(); }

    // The window of each visible element, in the order of the element model.
    std::map<std::string, HWND> WindowsOf(const json& model) const {
        std::map<std::string, HWND> windows;
        std::size_t next = 0;
        for (const auto& [name, element] : model["elements"].items()) {
            if (!element["visible"].get<bool>()) continue;
            const std::string kind = element["kind"];
            if (kind == "data control" || kind == "file dialog" || kind == "data grid") continue;
            if (next < children_.size()) windows[name] = children_[next++];
        }
        return windows;
    }

    // Every window shows what the Linux program's element model holds.
    void ExpectTheModel(const json& model) {
        const std::map<std::string, HWND> windows = WindowsOf(model);
        ASSERT_EQ(windows.size(), children_.size());
        for (const auto& [name, window] : windows) {
            SCOPED_TRACE(name);
            const json& element = model["elements"][name];
            const std::string kind = element["kind"];
            if (kind == "label") {
                EXPECT_EQ(ClassOf(window), "Static");
                EXPECT_EQ(TextOf(window), element["caption"].get<std::string>());
            } else if (kind == "option button") {
                EXPECT_EQ(ClassOf(window), "Button");
                EXPECT_EQ(TextOf(window), element["caption"].get<std::string>());
                EXPECT_EQ(SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED,
                          element["value"].get<bool>());
            } else if (kind == "command button") {
                EXPECT_EQ(ClassOf(window), "Button");
                EXPECT_EQ(TextOf(window), element["caption"].get<std::string>());
            } else if (kind == "combo box") {
                EXPECT_EQ(ClassOf(window), "ComboBox");
                EXPECT_EQ(SendMessageW(window, CB_GETCURSEL, 0, 0),
                          element["listIndex"].get<int>());
                ASSERT_EQ(SendMessageW(window, CB_GETCOUNT, 0, 0),
                          static_cast<LRESULT>(element["items"].size()));
                for (std::size_t i = 0; i < element["items"].size(); ++i) {
                    wchar_t item[128] = {};
                    SendMessageW(window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                    EXPECT_EQ(Narrow(item), element["items"][i].get<std::string>());
                }
            } else if (kind == "list view") {
                EXPECT_EQ(ClassOf(window), "SysListView32");
                const json& columns = element["columns"];
                for (std::size_t column = 0; column < columns.size(); ++column)
                    EXPECT_NEAR(
                        static_cast<int>(SendMessageW(window, LVM_GETCOLUMNWIDTH, column, 0)),
                        Pixels(columns[column]["width"].get<double>()), 1)
                        << "column " << column;
                const json& rows = element["rows"];
                ASSERT_EQ(SendMessageW(window, LVM_GETITEMCOUNT, 0, 0),
                          static_cast<LRESULT>(rows.size()));
                std::vector<std::size_t> all(rows.size());
                for (std::size_t row = 0; row < all.size(); ++row) all[row] = row;
                ExpectRows(window, rows, all);
            }
        }
    }

    int dpi_ = 96;
    HWND form_ = nullptr;
    HWND host_ = nullptr;
    HWND panel_ = nullptr;
    std::vector<HWND> children_;
};

TEST_F(FormTest, ThePanelOnAFormShowsWhatTheLinuxProgramPrints) {
    ExpectTheModel(ReadJson(Variable("INFOTRAKON_EXPECTED_START")));
}

TEST_F(FormTest, ClicksKeysAndTheFormsSizeReachThePanel) {
    const json expected = ReadJson(Variable("INFOTRAKON_EXPECTED_EVENTS"));
    const std::map<std::string, HWND> windows = WindowsOf(expected);
    // The form's size, 6000 x 4000 twips.
    MoveWindow(host_, 0, 0, Pixels(6000), Pixels(4000), TRUE);
    Pump();
    SendMessageW(windows.at("Option4"), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(SendMessageW(windows.at("Option4"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(windows.at("Option1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ChooseThisMonthByKeyboard(windows.at("Combo2"));
    SendMessageW(windows.at("Command2"), BM_CLICK, 0, 0);
    Pump();
    ExpectTheModel(expected);

    if (const std::string picture = Variable("INFOTRAKON_SCREENSHOT"); !picture.empty()) {
        MoveWindow(host_, 0, 0, Pixels(8310), Pixels(5805), TRUE);
        Pump();
        // What the screen shows of the form's control.
        SetForegroundWindow(form_);
        RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        RECT area{};
        GetWindowRect(host_, &area);
        OffsetRect(&area, -area.left, -area.top);
        POINT corner{0, 0};
        ClientToScreen(host_, &corner);
        const HDC window = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(window);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = area.right;
        info.bmiHeader.biHeight = area.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HBITMAP shot = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = SelectObject(memory, shot);
        BitBlt(memory, 0, 0, area.right, area.bottom, window, corner.x, corner.y, SRCCOPY);
        SelectObject(memory, previous);
        const DWORD bytes = ((area.right * 3 + 3) & ~3) * area.bottom;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        file.bfSize = file.bfOffBits + bytes;
        std::ofstream out(picture, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), bytes);
        DeleteObject(shot);
        DeleteDC(memory);
        ReleaseDC(nullptr, window);
    }
}

// --- errors ---

// The number and message of the thread's last error, as a host reads them.
std::string LastErrorText() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return "";
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::string text = description != nullptr ? Narrow(description) : "";
    SysFreeString(description);
    info->Release();
    return text;
}

// A control made as a host makes one, on the host setting `setting`; null if none was made.
IPersistStreamInit* ControlMadeOn(const std::string& setting) {
    SetHostSetting(setting);
    IPersistStreamInit* control = nullptr;
    EXPECT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStreamInit,
                               reinterpret_cast<void**>(&control)),
              S_OK);
    return control;
}

TEST_F(ComTest, AStartUpThatFailsGivesTheHostTheErrorAndItsNumber) {
    const std::string agenda = Variable("INFOTRAKON_AGENDA");
    const struct {
        std::string setting;
        int number;
    } cases[] = {{Variable("INFOTRAKON_DAMAGED_AGENDA"), 3343},
                 {Variable("INFOTRAKON_AGENDA_WITHOUT_TABLES"), 3078}};
    for (const auto& [setting, number] : cases) {
        SCOPED_TRACE(setting);
        IPersistStreamInit* control = ControlMadeOn(setting);
        ASSERT_NE(control, nullptr);
        const HRESULT started = control->InitNew();
        EXPECT_EQ(started, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number));
        const std::string message = LastErrorText();
        EXPECT_NE(message.find(setting.substr(setting.rfind('\\') + 1)), std::string::npos)
            << message;
        // The host may ask whether the interface reports its errors so, as it does.
        ISupportErrorInfo* support = nullptr;
        ASSERT_EQ(
            control->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)),
            S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IPersistStreamInit), S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IOleControl), S_FALSE);
        support->Release();
        // It runs once: the host may go on using the control.
        EXPECT_EQ(control->InitNew(), S_OK);
        control->Release();
    }
    SetHostSetting(agenda);
}

// A data link that names a library of its own as the ODBC driver: the start-up refuses it with
// its number before odbc32 and the driver manager below it are asked to load anything (the
// test script checks that the library's constructor never ran).
TEST_F(ComTest, ADataLinkThatNamesALibraryIsRefusedBeforeItLoads) {
    const std::string link = Variable("INFOTRAKON_PLANTED_LINK");
    if (link.empty()) GTEST_SKIP() << "no planted library beside the Linux programs";
    IPersistStreamInit* control = ControlMadeOn(link);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->InitNew(), MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 3706));
    const std::string message = LastErrorText();
    EXPECT_NE(message.find("planted.udl"), std::string::npos) << message;
    EXPECT_NE(message.find("by a path"), std::string::npos) << message;
    control->Release();
    SetHostSetting(Variable("INFOTRAKON_AGENDA"));
}

// The start-up runs when the control is made: a setting changed afterwards is not read. Its
// error fails the first activation before anything is made or told, and only that one.
TEST_F(ComTest, AStartUpThatFailedFailsTheFirstActivationBeforeAnythingIsMade) {
    SetHostSetting(Variable("INFOTRAKON_DAMAGED_AGENDA"));
    IOleObject* object = nullptr;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    SetHostSetting(Variable("INFOTRAKON_AGENDA"));
    const HWND form = CreateWindowExW(0, L"STATIC", L"Trakon 3", WS_OVERLAPPEDWINDOW, 0, 0, 600,
                                      500, nullptr, nullptr, nullptr, nullptr);
    infotrakon::ocx::testing::FormSite site(form);
    EXPECT_EQ(object->SetClientSite(&site), S_OK);
    RECT place{10, 10, 560, 440};
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &place),
              MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 3343));
    const std::string message = LastErrorText();
    EXPECT_NE(message.find("damaged.mdb"), std::string::npos) << message;
    EXPECT_EQ(FindWindowExW(form, nullptr, L"InfoTrakonPanel", nullptr), nullptr);
    EXPECT_TRUE(site.calls.empty());
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &place), S_OK);
    EXPECT_NE(FindWindowExW(form, nullptr, L"InfoTrakonPanel", nullptr), nullptr);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    object->Release();
    if (site.active != nullptr) site.active->Release();
    DestroyWindow(form);
}

// The driver manager loads at the first call into it: a host whose agenda is a file never maps
// ODBC32.dll, and one whose data link names a server gets it then. (Whether Wine's driver
// manager then finds drivers of its own is Wine's: the link fails either way, as no server
// is installed.)
TEST_F(ComTest, TheDriverManagerLoadsOnlyWhenADataLinkNeedsIt) {
    const struct {
        std::string setting;
        bool loaded;
    } cases[] = {
        {Variable("INFOTRAKON_AGENDA"), false},
        {Variable("INFOTRAKON_SERVER_LINK"), true},
    };
    for (const auto& [setting, loaded] : cases) {
        SCOPED_TRACE(setting);
        IPersistStreamInit* control = ControlMadeOn(setting);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(SUCCEEDED(control->InitNew()), !loaded) << LastErrorText();
        control->Release();
        EXPECT_EQ(GetModuleHandleW(L"odbc32.dll") != nullptr, loaded);
    }
    SetHostSetting(Variable("INFOTRAKON_AGENDA"));
}

// What the message box of an error said, read by the timer that closes it.
std::string shownError;

// The message box is modal: a timer in its loop reads it and closes it.
void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"InfoTrakon");
    if (box == nullptr) return;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        shownError += TextOf(child) + "\n";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(FormTest, AnErrorInAClickIsShownInAMessageBoxAndTheHostLivesOn) {
    SetHostSetting(Variable("INFOTRAKON_DAMAGED_AGENDA"));
    shownError.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &CloseMessageBox);
    const HWND refresh = children_.back();  // Command2 is the last visible element
    SendMessageW(refresh, BM_CLICK, 0, 0);
    KillTimer(nullptr, timer);
    SetHostSetting(Variable("INFOTRAKON_AGENDA"));
    EXPECT_NE(shownError.find("3343"), std::string::npos) << shownError;
    EXPECT_TRUE(IsWindow(panel_));
}

// --- the keyboard ---

// The control's active object, as the host's message loop offers it every key first.
IOleInPlaceActiveObject* ActiveObjectOf(HWND host) {
    const HMODULE atl = GetModuleHandleW(L"atl.dll");
    const FARPROC found = atl != nullptr ? GetProcAddress(atl, "AtlAxGetControl") : nullptr;
    if (found == nullptr) return nullptr;
    // FARPROC names no signature: through void* to the function's own type.
    auto* getControl =
        reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(reinterpret_cast<void*>(found));
    IUnknown* control = nullptr;
    if (FAILED(getControl(host, &control)) || control == nullptr) return nullptr;
    IOleInPlaceActiveObject* active = nullptr;
    control->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active));
    control->Release();
    return active;
}

// A key pressed where the focus is, offered to the control first; with Shift held if asked.
HRESULT OfferKey(IOleInPlaceActiveObject* active, WPARAM key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
    const HRESULT offered = active->TranslateAccelerator(&message);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return offered;
}

TEST_F(FormTest, TabWalksTheFocusStopsInTheirOrderAndLeavesAtTheEnds) {
    const std::map<std::string, HWND> windows =
        WindowsOf(ReadJson(Variable("INFOTRAKON_EXPECTED_START")));
    IOleInPlaceActiveObject* active = ActiveObjectOf(host_);
    ASSERT_NE(active, nullptr);
    const std::vector<HWND> stops = {windows.at("Command2"), windows.at("ListView1"),
                                     windows.at("Combo2"), windows.at("Option1")};
    SetFocus(stops.front());
    for (std::size_t i = 1; i < stops.size(); ++i) {
        EXPECT_EQ(OfferKey(active, VK_TAB), S_OK) << i;
        EXPECT_EQ(GetFocus(), stops[i]) << i;
    }
    // Past the last stop the key is the host's, to move on to its next control.
    EXPECT_EQ(OfferKey(active, VK_TAB), S_FALSE);
    EXPECT_EQ(GetFocus(), stops.back());
    for (std::size_t i = stops.size() - 1; i > 0; --i) {
        EXPECT_EQ(OfferKey(active, VK_TAB, true), S_OK) << i;
        EXPECT_EQ(GetFocus(), stops[i - 1]) << i;
    }
    EXPECT_EQ(OfferKey(active, VK_TAB, true), S_FALSE);
    // Enter and Esc are never eaten: the form's default and cancel buttons have them.
    EXPECT_EQ(OfferKey(active, VK_RETURN), S_FALSE);
    EXPECT_EQ(OfferKey(active, VK_ESCAPE), S_FALSE);
    active->Release();
}

TEST_F(FormTest, ArrowKeysInTheOptionGroupChooseAViewAsAClickDoes) {
    const json expected = ReadJson(Variable("INFOTRAKON_EXPECTED_VIEW2"));
    const std::map<std::string, HWND> windows = WindowsOf(expected);
    IOleInPlaceActiveObject* active = ActiveObjectOf(host_);
    ASSERT_NE(active, nullptr);
    SetFocus(windows.at("Option1"));
    EXPECT_EQ(OfferKey(active, VK_DOWN), S_OK);
    Pump();
    EXPECT_EQ(GetFocus(), windows.at("Option2"));
    ExpectTheModel(expected);
    // The chosen button is the option group's stop now.
    SetFocus(windows.at("Combo2"));
    EXPECT_EQ(OfferKey(active, VK_TAB), S_OK);
    EXPECT_EQ(GetFocus(), windows.at("Option2"));
    active->Release();
}

TEST_F(FormTest, FocusGivenToThePanelLandsOnItsFirstStopOrWithShiftOnItsLast) {
    const std::map<std::string, HWND> windows =
        WindowsOf(ReadJson(Variable("INFOTRAKON_EXPECTED_START")));
    SetFocus(panel_);
    EXPECT_EQ(GetFocus(), windows.at("Command2"));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SetFocus(form_);
    SetFocus(panel_);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), windows.at("Option1"));
}

// A form of our own, as the host's runtime makes it: a control of the host's before the panel,
// and a site that offers the container's whole protocol and writes down what it is told.
class OwnFormTest : public ComTest {
  protected:
    void SetUp() override {
        ComTest::SetUp();
        form_ = CreateWindowExW(0, L"STATIC", L"Trakon 3",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 600, 500,
                                nullptr, nullptr, nullptr, nullptr);
        hostControl_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10,
                                       100, 20, form_, nullptr, nullptr, nullptr);
        site_ = std::make_unique<infotrakon::ocx::testing::FormSite>(form_);
        ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                   reinterpret_cast<void**>(&object_)),
                  S_OK);
        DWORD misc = 0;
        ASSERT_EQ(object_->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
        ASSERT_NE(misc & OLEMISC_SETCLIENTSITEFIRST, 0u);
        ASSERT_EQ(object_->SetClientSite(site_.get()), S_OK);
        IPersistStreamInit* persist = nullptr;
        ASSERT_EQ(
            object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)),
            S_OK);
        EXPECT_EQ(persist->InitNew(), S_OK);
        persist->Release();
        RECT place{10, 40, 560, 440};
        ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, form_, &place),
                  S_OK);
        PumpMessages();
        panel_ = FindWindowExW(form_, nullptr, L"InfoTrakonPanel", nullptr);
        ASSERT_NE(panel_, nullptr);
    }
    void TearDown() override {
        if (object_ != nullptr) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_->Release();
        }
        if (site_ && site_->active != nullptr) site_->active->Release();
        DestroyWindow(form_);
        PumpMessages();
        ComTest::TearDown();
    }

    HWND form_ = nullptr;
    HWND hostControl_ = nullptr;
    HWND panel_ = nullptr;
    std::unique_ptr<infotrakon::ocx::testing::FormSite> site_;
    IOleObject* object_ = nullptr;
};

TEST_F(OwnFormTest, AClickInTheListActivatesTheControlAndFocusLeavingIsTold) {
    SetFocus(hostControl_);
    site_->calls.clear();
    const HWND list = FindWindowExW(panel_, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    // The button comes up again at once: no drag begins.
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 60));
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 60));
    PumpMessages();
    EXPECT_EQ(GetFocus(), list);
    const std::vector<std::string> activated = {"OnUIActivate", "SetActiveObject(control)",
                                                "OnFocus(1)"};
    EXPECT_EQ(site_->calls, activated);
    EXPECT_NE(site_->active, nullptr);
    // The frame's active object takes the host's keys first: Tab moves on in the panel.
    if (site_->active != nullptr) {
        MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
        EXPECT_EQ(site_->active->TranslateAccelerator(&tab), S_OK);
        EXPECT_EQ(ClassOf(GetFocus()), "ComboBox");
    }
    site_->calls.clear();
    SetFocus(hostControl_);
    PumpMessages();
    const std::vector<std::string> left = {"OnFocus(0)"};
    EXPECT_EQ(site_->calls, left);
}

// While the host's input is dead (a debugger's break) or its form is being designed, the panel
// is no longer the user's: it leaves the user interface, its windows let clicks through to the
// form and take no keys. Told that the property changed back, it takes input again.
TEST_F(OwnFormTest, APanelTheAmbientPropertiesMakeDeadLetsClicksAndKeysThrough) {
    const HWND list = FindWindowExW(panel_, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    RECT area{};
    GetWindowRect(list, &area);
    const POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    const auto inPanel = [&](HWND window) { return window == panel_ || IsChild(panel_, window); };
    IOleControl* control = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)), S_OK);
    const struct {
        DISPID property;
        bool deadValue;
    } deadBy[] = {{DISPID_AMBIENT_UIDEAD, true}, {DISPID_AMBIENT_USERMODE, false}};
    for (const auto& [property, deadValue] : deadBy) {
        SCOPED_TRACE(property);
        ASSERT_EQ(object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.get(), 0, form_, nullptr),
                  S_OK);
        PumpMessages();
        EXPECT_TRUE(inPanel(GetFocus()));
        EXPECT_EQ(WindowFromPoint(middle), list);
        site_->calls.clear();
        site_->ambient[property] = deadValue;
        EXPECT_EQ(control->OnAmbientPropertyChange(property), S_OK);
        PumpMessages();
        const std::vector<std::string> left = {"SetActiveObject(none)", "OnUIDeactivate",
                                               "OnFocus(0)"};
        EXPECT_EQ(site_->calls, left);
        EXPECT_FALSE(inPanel(GetFocus()));
        EXPECT_FALSE(inPanel(WindowFromPoint(middle)));
        // Asked to become the user's, it stays where it is.
        site_->calls.clear();
        EXPECT_EQ(object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.get(), 0, form_, nullptr),
                  S_OK);
        PumpMessages();
        EXPECT_TRUE(site_->calls.empty());
        EXPECT_FALSE(inPanel(GetFocus()));

        site_->ambient.erase(property);
        EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
        EXPECT_EQ(WindowFromPoint(middle), list);
    }
    control->Release();
}

// A window's picture as it paints itself, one colour for each pixel, row by row.
std::vector<COLORREF> PictureOf(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right, area.bottom);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The labels are transparent: where two of them overlap (the title over the version below it;
// in a panel made narrow, each amount over the caption of its row), each shows both captions,
// so neither erases the other, whichever paints last.
TEST_F(OwnFormTest, OverlappingLabelsBothShowTheirCaptions) {
    IOleInPlaceObject* inPlace = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)),
              S_OK);
    const RECT narrow{10, 40, 210, 440};  // 3000 twips at 96 dots per inch
    EXPECT_EQ(inPlace->SetObjectRects(&narrow, &narrow), S_OK);
    inPlace->Release();
    PumpMessages();
    std::vector<HWND> labels;
    for (HWND child = GetWindow(panel_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static") labels.push_back(child);
    int overlaps = 0, inkInOverlaps = 0;
    for (std::size_t a = 0; a < labels.size(); ++a)
        for (std::size_t b = a + 1; b < labels.size(); ++b) {
            RECT placeA{}, placeB{}, overlap{};
            GetWindowRect(labels[a], &placeA);
            GetWindowRect(labels[b], &placeB);
            if (!IntersectRect(&overlap, &placeA, &placeB)) continue;
            ++overlaps;
            const std::vector<COLORREF> pictureA = PictureOf(labels[a]);
            const std::vector<COLORREF> pictureB = PictureOf(labels[b]);
            const auto at = [](const std::vector<COLORREF>& picture, const RECT& place, int x,
                               int y) {
                const int width = place.right - place.left;
                return picture[static_cast<std::size_t>((y - place.top) * width + x - place.left)];
            };
            for (int y = overlap.top; y < overlap.bottom; ++y)
                for (int x = overlap.left; x < overlap.right; ++x) {
                    const COLORREF seenInA = at(pictureA, placeA, x, y);
                    ASSERT_EQ(seenInA, at(pictureB, placeB, x, y)) << x << "," << y;
                    if (seenInA != RGB(255, 255, 255)) ++inkInOverlaps;
                }
        }
    EXPECT_GT(overlaps, 0);
    EXPECT_GT(inkInOverlaps, 0);
}

// The black pixels of `text` drawn alone in `font`.
int InkOf(HFONT font, const wchar_t* text) {
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 60);
    const HGDIOBJ previousBitmap = SelectObject(memory, bitmap);
    const HGDIOBJ previousFont = SelectObject(memory, font);
    RECT area{0, 0, 400, 60};
    FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(memory, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    DrawTextW(memory, text, -1, &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    int ink = 0;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x) ink += GetPixel(memory, x, y) == RGB(0, 0, 0);
    SelectObject(memory, previousFont);
    SelectObject(memory, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

// Command2 at its design size, as a graphical button: its face in the 3D-light colour, and on
// it, side by side, its picture and its whole caption: as many black pixels as the caption has
// when drawn alone.
TEST_F(OwnFormTest, TheRefreshButtonShowsItsPictureAndWholeCaptionOnThe3DLightColour) {
    HWND button = nullptr;
    for (HWND child = GetWindow(panel_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Button" &&
            (GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW)
            button = child;
    ASSERT_NE(button, nullptr);
    RECT area{};
    GetClientRect(button, &area);
    EXPECT_EQ(area.right, 81);  // 1215 twips at 96 dots per inch
    const std::vector<COLORREF> picture = PictureOf(button);
    const auto at = [&](LONG x, LONG y) {
        return picture[static_cast<std::size_t>(y * area.right + x)];
    };
    // The face within the 2-pixel frame.
    const COLORREF light = GetSysColor(COLOR_3DLIGHT);
    for (const auto& [x, y] : {std::pair<LONG, LONG>{2, 2},
                               {area.right - 3, 2},
                               {2, area.bottom - 3},
                               {area.right - 3, area.bottom - 3}})
        EXPECT_EQ(at(x, y), light) << x << "," << y;
    int captionInk = 0, pictureInk = 0;
    for (LONG y = 2; y < area.bottom - 2; ++y)
        for (LONG x = 2; x < area.right - 2; ++x) {
            const COLORREF seen = at(x, y);
            captionInk += seen == RGB(0, 0, 0);
            pictureInk += seen != RGB(0, 0, 0) && seen != light;
        }
    const auto font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
    EXPECT_EQ(captionInk, InkOf(font, L"Aktualizovat"));
    EXPECT_GT(pictureInk, 100);
}

// The commands the form's buttons sent it, by their identifiers.
std::vector<WORD> formCommands;
WNDPROC formProcedure = nullptr;

LRESULT CALLBACK RecordingForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        formCommands.push_back(LOWORD(wParam));
    return CallWindowProcW(formProcedure, window, message, wParam, lParam);
}

// Enter and Esc are the form's: wherever the focus is in the panel, the control's
// TranslateAccelerator leaves them to the host and its control information claims neither,
// so the host's loop clicks the form's default or cancel button, as for its own controls.
TEST_F(OwnFormTest, EnterAndEscapeGoToTheFormsDefaultAndCancelButtons) {
    const HWND okButton =
        CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                        400, 450, 80, 24, form_, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
    const HWND cancelButton =
        CreateWindowExW(0, L"BUTTON", L"Storno", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 490, 450, 80,
                        24, form_, reinterpret_cast<HMENU>(IDCANCEL), nullptr, nullptr);
    formProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(form_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingForm)));
    IOleControl* control = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&control)), S_OK);
    CONTROLINFO info{};
    info.cb = sizeof info;
    EXPECT_EQ(control->GetControlInfo(&info), S_OK);
    control->Release();
    EXPECT_EQ(info.dwFlags & (CTRLINFO_EATS_RETURN | CTRLINFO_EATS_ESCAPE), 0u);
    // The host's loop: the active object first, then the form's own keys.
    const auto press = [&](UINT key) {
        MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        if (site_->active != nullptr && site_->active->TranslateAccelerator(&message) == S_OK)
            return;
        if (key == VK_RETURN) SendMessageW(okButton, BM_CLICK, 0, 0);
        if (key == VK_ESCAPE) SendMessageW(cancelButton, BM_CLICK, 0, 0);
    };
    const HWND list = FindWindowExW(panel_, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    SetFocus(list);  // activates the control: the site's frame takes it as its active object
    PumpMessages();
    ASSERT_NE(site_->active, nullptr);
    for (int stop = 0; stop < 4; ++stop) {
        SCOPED_TRACE(ClassOf(GetFocus()));
        formCommands.clear();
        press(VK_RETURN);
        press(VK_ESCAPE);
        PumpMessages();
        EXPECT_EQ(formCommands, (std::vector<WORD>{IDOK, IDCANCEL}));
        press(VK_TAB);  // on to the next stop, round to the first
        if (GetParent(GetFocus()) != panel_) SetFocus(list);
    }
    SetWindowLongPtrW(form_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(formProcedure));
}

// The texts of a window's children, in their order.
std::vector<std::string> ChildTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(ClassOf(child) + ": " + TextOf(child));
    return texts;
}

// A form saved and loaded again gives the same panel, through a stream and through a property
// bag alike: the panel keeps no state of its own, so what it saves is nothing, and loading
// that starts it as InitNew does.
TEST_F(OwnFormTest, AFormSavedAndLoadedAgainShowsTheSamePanel) {
    const std::vector<std::string> shown = ChildTexts(panel_);
    ASSERT_FALSE(shown.empty());
    IPersistStreamInit* stream = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&stream)),
              S_OK);
    IStream* saved = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &saved), S_OK);
    EXPECT_EQ(stream->IsDirty(), S_FALSE);
    EXPECT_EQ(stream->Save(saved, TRUE), S_OK);
    stream->Release();
    IPersistPropertyBag* bag = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&bag)),
              S_OK);
    infotrakon::ocx::testing::MemoryPropertyBag properties;
    EXPECT_EQ(bag->Save(&properties, TRUE, TRUE), S_OK);
    bag->Release();
    for (const bool fromBag : {false, true}) {
        SCOPED_TRACE(fromBag ? "property bag" : "stream");
        const HWND form = CreateWindowExW(0, L"STATIC", L"Trakon 3", WS_OVERLAPPEDWINDOW, 0, 0, 600,
                                          500, nullptr, nullptr, nullptr, nullptr);
        infotrakon::ocx::testing::FormSite site(form);
        IOleObject* loaded = nullptr;
        ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                   reinterpret_cast<void**>(&loaded)),
                  S_OK);
        EXPECT_EQ(loaded->SetClientSite(&site), S_OK);
        if (fromBag) {
            ASSERT_EQ(
                loaded->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&bag)),
                S_OK);
            EXPECT_EQ(bag->Load(&properties, nullptr), S_OK);
            bag->Release();
        } else {
            ASSERT_EQ(
                loaded->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&stream)),
                S_OK);
            const LARGE_INTEGER start{};
            saved->Seek(start, STREAM_SEEK_SET, nullptr);
            EXPECT_EQ(stream->Load(saved), S_OK);
            stream->Release();
        }
        RECT place{10, 40, 560, 440};
        EXPECT_EQ(loaded->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &place), S_OK);
        PumpMessages();
        const HWND panel = FindWindowExW(form, nullptr, L"InfoTrakonPanel", nullptr);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(ChildTexts(panel), shown);
        loaded->Close(OLECLOSE_NOSAVE);
        loaded->SetClientSite(nullptr);
        loaded->Release();
        if (site.active != nullptr) site.active->Release();
        DestroyWindow(form);
    }
    saved->Release();
}

// What a screen reader hears of one accessible object: its name, and whether it is checked.
struct Heard {
    std::string name;
    bool checked = false;
};

// A child of the panel's accessible object: a child window's object, whose own client object
// a screen reader reads, as it does for any window.
Heard HearChild(VARIANT& child) {
    Heard heard;
    if (V_VT(&child) != VT_DISPATCH || V_DISPATCH(&child) == nullptr) return heard;
    IAccessible* window = nullptr;
    HWND handle = nullptr;
    if (SUCCEEDED(V_DISPATCH(&child)->QueryInterface(__uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&window)))) {
        WindowFromAccessibleObject(window, &handle);
        window->Release();
    }
    IAccessible* client = nullptr;
    if (handle == nullptr ||
        FAILED(AccessibleObjectFromWindow(handle, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&client))))
        return heard;
    VARIANT self;
    VariantInit(&self);
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    BSTR name = nullptr;
    if (client->get_accName(self, &name) == S_OK && name != nullptr)
        heard.name = infotrakon::WideToUtf8(std::wstring(name, SysStringLen(name)));
    SysFreeString(name);
    VARIANT state;
    VariantInit(&state);
    if (client->get_accState(self, &state) == S_OK && V_VT(&state) == VT_I4)
        heard.checked = (V_I4(&state) & STATE_SYSTEM_CHECKED) != 0;
    client->Release();
    return heard;
}

// Read through oleacc as a screen reader reads it, the panel names the company, the four
// figures, the button's caption and the option buttons with the chosen one checked.
TEST_F(OwnFormTest, AScreenReaderHearsThePanelThroughOleacc) {
    const json expected = ReadJson(Variable("INFOTRAKON_EXPECTED_START"));
    IAccessible* panel = nullptr;
    // IID_IAccessible of the import library is oleacc's data, not an IID: __uuidof is.
    ASSERT_EQ(AccessibleObjectFromWindow(panel_, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&panel)),
              S_OK);
    long count = 0;
    ASSERT_EQ(panel->get_accChildCount(&count), S_OK);
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    ASSERT_TRUE(SUCCEEDED(AccessibleChildren(panel, 0, count, children.data(), &got)));
    std::map<std::string, bool> heard;  // name, checked
    for (long i = 0; i < got; ++i) {
        const Heard child = HearChild(children[static_cast<std::size_t>(i)]);
        heard[child.name] = heard[child.name] || child.checked;
        VariantClear(&children[static_cast<std::size_t>(i)]);
    }
    panel->Release();
    std::string all;
    for (const auto& [name, checked] : heard) all += "[" + name + (checked ? "]* " : "] ");
    SCOPED_TRACE("heard: " + all);
    const json& elements = expected["elements"];
    for (const char* label : {"Label16", "Label5", "Label8", "Label11", "Label14", "Command2"})
        EXPECT_TRUE(heard.count(elements[label]["caption"].get<std::string>())) << label;
    // Wine's client object of a button tells no checked state, where Windows' does: the
    // states are checked where the platform tells any.
    const bool statesTold =
        std::any_of(heard.begin(), heard.end(), [](const auto& entry) { return entry.second; });
    for (const char* option : {"Option1", "Option2", "Option3", "Option4"}) {
        const std::string caption = elements[option]["caption"].get<std::string>();
        ASSERT_TRUE(heard.count(caption)) << option;
        if (statesTold) {
            EXPECT_EQ(heard[caption], elements[option]["value"].get<bool>()) << option;
        }
    }
}

// The panel's window class has the control's own procedure, and goes when the module may
// unload: no class is left whose procedure would lie in an unloaded module.
TEST_F(OwnFormTest, TheWindowClassGoesWhenTheModuleMayUnload) {
    const HMODULE module = GetModuleHandleW(L"ITrakon.ocx");
    ASSERT_NE(module, nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(GetClassInfoExW(module, L"InfoTrakonPanel", &windowClass));
    const auto procedure = reinterpret_cast<const char*>(windowClass.lpfnWndProc);
    const auto* start = reinterpret_cast<const char*>(module);
    const auto* header = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        start + reinterpret_cast<const IMAGE_DOS_HEADER*>(start)->e_lfanew);
    EXPECT_TRUE(procedure >= start && procedure < start + header->OptionalHeader.SizeOfImage);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const auto canUnloadNow = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_NE(canUnloadNow, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE);  // the control lives
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_->Release();
    object_ = nullptr;
    if (site_->active != nullptr) site_->active->Release();
    site_->active = nullptr;
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_FALSE(GetClassInfoExW(module, L"InfoTrakonPanel", &windowClass));
}

// --- the list at the speed of the data ---

// An agenda whose month holds thousands of rows in the first view.
class LongListTest : public FormTest {
  protected:
    std::string Agenda() const override { return Variable("INFOTRAKON_LONG_AGENDA"); }
};

TEST_F(LongListTest, AFillOfThousandsShowsExactlyTheModelsRows) {
    const json expected = ReadJson(Variable("INFOTRAKON_EXPECTED_LONG"));
    const std::map<std::string, HWND> windows = WindowsOf(expected);
    ChooseThisMonthByKeyboard(windows.at("Combo2"));
    const HWND list = windows.at("ListView1");
    const json& rows = expected["elements"]["ListView1"]["rows"];
    ASSERT_GE(rows.size(), 5000u);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(rows.size()));
    ExpectRows(list, rows, {0, rows.size() / 2, rows.size() - 1});
}

// An agenda whose third view meets a record without a date after two rows.
class FailingListTest : public FormTest {
  protected:
    std::string Agenda() const override { return Variable("INFOTRAKON_FAILING_AGENDA"); }
};

TEST_F(FailingListTest, AnErrorInTheMiddleOfAFillLeavesTheRowsAddedBeforeIt) {
    const json expected = ReadJson(Variable("INFOTRAKON_EXPECTED_FAILING"));
    const std::map<std::string, HWND> windows = WindowsOf(expected);
    shownError.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &CloseMessageBox);
    SendMessageW(windows.at("Option3"), BM_CLICK, 0, 0);
    KillTimer(nullptr, timer);
    EXPECT_NE(shownError.find("94"), std::string::npos) << shownError;
    const json& rows = expected["elements"]["ListView1"]["rows"];
    ASSERT_EQ(rows.size(), 2u);
    const HWND list = windows.at("ListView1");
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    ExpectRows(list, rows, {0, 1});
}

// The tip of a cell, as the list view asks its parent for it when the mouse rests on it.
std::string TipOf(HWND list, int row, int column) {
    wchar_t text[512] = {};
    NMLVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = list;
    tip.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    tip.hdr.code = LVN_GETINFOTIPW;
    tip.pszText = text;
    tip.cchTextMax = 512;
    tip.iItem = row;
    tip.iSubItem = column;
    SendMessageW(GetParent(list), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
    return Narrow(text);
}

TEST_F(FormTest, ACellCutByItsColumnGivesItsWholeTextAsTip) {
    const json expected = ReadJson(Variable("INFOTRAKON_EXPECTED_START"));
    const HWND list = WindowsOf(expected).at("ListView1");
    const json& rows = expected["elements"]["ListView1"]["rows"];
    ASSERT_FALSE(rows.empty());
    // The first row's longest cell, its column narrowed until the text is cut.
    int column = 0;
    for (int other = 1; other < 5; ++other)
        if (CellOf(list, 0, other).size() > CellOf(list, 0, column).size()) column = other;
    const std::string whole = CellOf(list, 0, column);
    ASSERT_FALSE(whole.empty());
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(12, 0));
    Pump();
    EXPECT_EQ(TipOf(list, 0, column), whole);
    EXPECT_EQ(WithoutDateSpaces(whole), column == 0
                                            ? rows[0]["text"].get<std::string>()
                                            : rows[0]["subItems"][column - 1].get<std::string>());
    // Past the rows and columns: no tip.
    EXPECT_EQ(TipOf(list, 100000, 0), "");
    EXPECT_EQ(TipOf(list, 0, 9), "");
}

}  // namespace
