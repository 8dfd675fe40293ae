#pragma once

#include <windows.h>

// The control InfoTrakon as a COM object: the panel with its start-up, in a host's form.
namespace infotrakon::ocx {

// Makes a new control and gives its interface `iid`.
HRESULT CreateControl(REFIID iid, void** object);

}  // namespace infotrakon::ocx
