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

// Creates `key` under HKEY_CLASSES_ROOT and sets its value `name` (nullptr: the default).
LSTATUS SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &handle, nullptr);
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

HRESULT UnregisterControl() {
    GUID library{};
    const std::wstring libraryId = Utf8ToWide(control::kTypeLibraryId);
    if (SUCCEEDED(CLSIDFromString(libraryId.c_str(), &library)))
        UnRegisterTypeLib(library, control::kTypeLibraryMajorVersion,
                          control::kTypeLibraryMinorVersion, control::kTypeLibraryLocale,
                          SYS_WIN32);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgIdKey.c_str());
    return S_OK;
}

}  // namespace infotrakon::ocx
