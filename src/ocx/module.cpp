#include "ocx/module.h"

#include <oleauto.h>

namespace infotrakon::ocx {
namespace {

HINSTANCE module = nullptr;
LONG objects = 0;
LONG locks = 0;
// Released by DllCanUnloadNow, never at unload itself: by then oleaut32 may be gone.
ITypeLib* typeLibrary = nullptr;

}  // namespace

HINSTANCE ModuleInstance() { return module; }

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void ObjectMade() { InterlockedIncrement(&objects); }
void ObjectGone() { InterlockedDecrement(&objects); }
void LockServer(bool lock) {
    if (lock)
        InterlockedIncrement(&locks);
    else
        InterlockedDecrement(&locks);
}
bool ModuleInUse() { return objects > 0 || locks > 0; }

ComPtr<ITypeLib> TypeLibrary() {
    if (typeLibrary == nullptr) LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &typeLibrary);
    return ComPtr<ITypeLib>::Share(typeLibrary);
}

void ReleaseTypeLibrary() {
    if (typeLibrary != nullptr) typeLibrary->Release();
    typeLibrary = nullptr;
}

ComPtr<ITypeInfo> TypeInfoOf(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    if (const ComPtr<ITypeLib> library = TypeLibrary())
        library->GetTypeInfoOfGuid(guid, info.Receive());
    return info;
}

}  // namespace infotrakon::ocx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        infotrakon::ocx::module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
