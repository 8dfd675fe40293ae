#include "ocx/registration.h"

#include <oleauto.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "control/identity.h"
#include "core/text_encoding.h"
#include "ocx/com_ptr.h"
#include "ocx/module.h"

namespace infotrakon::ocx {
namespace {

// 64-bit Windows keeps a 32-bit and a 64-bit view of the classes; the control of each width
// registers in its own, and the two share the ProgID and the type library's version key.
constexpr bool kSixtyFourBit = sizeof(void*) == 8;
constexpr SYSKIND kOwnSystem = kSixtyFourBit ? SYS_WIN64 : SYS_WIN32;
constexpr REGSAM kOtherView = kSixtyFourBit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// Creates `key` under HKEY_CLASSES_ROOT, in the process's own view unless `view` names one, and
// sets its value `name` (nullptr: the default).
LSTATUS SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text,
                REGSAM view = 0) {
    HKEY handle = nullptr;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | view, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) return status;
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status;
}

const std::wstring kClassKey = L"CLSID\\" + Utf8ToWide(control::kClassId);
const std::wstring kProgIdKey = Utf8ToWide(control::kProgId);
const std::wstring kLibraryKey = L"TypeLib\\" + Utf8ToWide(control::kTypeLibraryId) + L"\\" +
                                 std::to_wstring(control::kTypeLibraryMajorVersion) + L"." +
                                 std::to_wstring(control::kTypeLibraryMinorVersion);

// Registers the type library as the installer does: under the module's own path (left to
// LoadTypeLibEx, the path would be the one it loaded the library by) with the module's
// folder as help folder, and with the library's flags in hex without the disk-image flag,
// which Wine's RegisterTypeLib adds.
HRESULT RegisterLibrary(const std::wstring& path) {
    ComPtr<ITypeLib> library;
    HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Receive());
    if (FAILED(result)) return result;
    std::wstring file = path;
    std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    result = RegisterTypeLib(library.get(), file.data(), folder.data());
    if (FAILED(result)) return result;
    TLIBATTR* attributes = nullptr;
    result = library->GetLibAttr(&attributes);
    if (FAILED(result)) return result;
    const unsigned flags = attributes->wLibFlags & ~static_cast<unsigned>(LIBFLAG_FHASDISKIMAGE);
    library->ReleaseTLibAttr(attributes);
    wchar_t hex[8];
    std::swprintf(hex, std::size(hex), L"%X", flags);
    return HRESULT_FROM_WIN32(SetText(kLibraryKey + L"\\FLAGS", nullptr, hex));
}

bool KeyExists(const std::wstring& key, REGSAM view) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// The control of the other width, registered beside this one: asked after this one's class is
// gone, since on 32-bit Windows the "other" view is the same one.
bool OtherWidthRegistered() { return KeyExists(kClassKey + L"\\InprocServer32", kOtherView); }

// Removing this width's registration may take keys that Windows (or Wine) shares between the
// views: the ProgID and the interfaces' keys. Where the other width's control is still
// registered and its view lost them, they are written again there, as its registration wrote
// them.
void RestoreSharedKeysForOtherWidth() {
    if (!KeyExists(kProgIdKey, kOtherView)) {
        SetText(kProgIdKey, nullptr, Utf8ToWide(control::kClassName), kOtherView);
        SetText(kProgIdKey + L"\\CLSID", nullptr, Utf8ToWide(control::kClassId), kOtherView);
    }
    const std::wstring version = std::to_wstring(control::kTypeLibraryMajorVersion) + L"." +
                                 std::to_wstring(control::kTypeLibraryMinorVersion);
    const struct {
        const char* id;
        const char* name;
        const wchar_t* marshaller;
    } interfaces[] = {
        {control::kDefaultInterfaceId, control::kDefaultInterfaceName,
         L"{00020424-0000-0000-C000-000000000046}"},
        {control::kEventInterfaceId, control::kEventInterfaceName,
         L"{00020420-0000-0000-C000-000000000046}"},
    };
    for (const auto& described : interfaces) {
        const std::wstring key = L"Interface\\" + Utf8ToWide(described.id);
        if (KeyExists(key, kOtherView)) continue;
        SetText(key, nullptr, Utf8ToWide(described.name), kOtherView);
        SetText(key + L"\\ProxyStubClsid", nullptr, described.marshaller, kOtherView);
        SetText(key + L"\\ProxyStubClsid32", nullptr, described.marshaller, kOtherView);
        SetText(key + L"\\TypeLib", nullptr, Utf8ToWide(control::kTypeLibraryId), kOtherView);
        SetText(key + L"\\TypeLib", L"Version", version, kOtherView);
    }
}

}  // namespace

HRESULT RegisterControl() {
    const std::wstring path = ModulePath();
    const std::wstring misc = std::to_wstring(control::kMiscStatus);
    const struct {
        std::wstring key;
        const wchar_t* name;
        std::wstring text;
    } values[] = {
        {kClassKey, nullptr, Utf8ToWide(control::kClassName)},
        {kClassKey + L"\\InprocServer32", nullptr, path},
        {kClassKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {kClassKey + L"\\Control", nullptr, L""},
        {kClassKey + L"\\MiscStatus", nullptr, misc},
        {kClassKey + L"\\MiscStatus\\1", nullptr, misc},
        {kClassKey + L"\\ToolboxBitmap32", nullptr,
         path + L", " + std::to_wstring(control::kToolboxBitmapId)},
        {kClassKey + L"\\TypeLib", nullptr, Utf8ToWide(control::kTypeLibraryId)},
        {kClassKey + L"\\Version", nullptr,
         std::to_wstring(control::kTypeLibraryMajorVersion) + L"." +
             std::to_wstring(control::kTypeLibraryMinorVersion)},
        {kClassKey + L"\\ProgID", nullptr, kProgIdKey},
        {kProgIdKey, nullptr, Utf8ToWide(control::kClassName)},
        {kProgIdKey + L"\\CLSID", nullptr, Utf8ToWide(control::kClassId)},
    };
    for (const auto& value : values) {
        const LSTATUS status = SetText(value.key, value.name, value.text);
        if (status != ERROR_SUCCESS) {
            UnregisterControl();
            return HRESULT_FROM_WIN32(status);
        }
    }
    const HRESULT registered = RegisterLibrary(path);
    if (FAILED(registered)) UnregisterControl();
    return registered;
}

// Removes this width's registration and leaves the other width's whole. The type library's
// version key goes with its last system's path: UnRegisterTypeLib keeps it while the other
// width's is there.
HRESULT UnregisterControl() {
    GUID library{};
    const std::wstring libraryId = Utf8ToWide(control::kTypeLibraryId);
    if (SUCCEEDED(CLSIDFromString(libraryId.c_str(), &library)))
        UnRegisterTypeLib(library, control::kTypeLibraryMajorVersion,
                          control::kTypeLibraryMinorVersion, control::kTypeLibraryLocale,
                          kOwnSystem);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgIdKey.c_str());
    if (OtherWidthRegistered()) RestoreSharedKeysForOtherWidth();
    return S_OK;
}

}  // namespace infotrakon::ocx
