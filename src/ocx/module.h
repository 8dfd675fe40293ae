#pragma once

#include <windows.h>
// After windows.h:
#include <oaidl.h>

#include <string>

#include "ocx/com_ptr.h"

// The control library as a module: its file, the objects and locks that keep it loaded, its
// type library.
namespace infotrakon::ocx {

HINSTANCE ModuleInstance();
// The library's full path, as the platform gives it.
std::wstring ModulePath();

// Live objects and server locks: the library may be unloaded when there are none.
void ObjectMade();
void ObjectGone();
void LockServer(bool lock);
bool ModuleInUse();

// The type library ITrakon embedded in the library (resource TYPELIB 1), loaded once and kept
// until the library may be unloaded.
ComPtr<ITypeLib> TypeLibrary();
// Lets the type library go; DllCanUnloadNow calls it before it allows the unload.
void ReleaseTypeLibrary();
// The description of `guid` in the type library: an interface or the class.
ComPtr<ITypeInfo> TypeInfoOf(REFGUID guid);

}  // namespace infotrakon::ocx
