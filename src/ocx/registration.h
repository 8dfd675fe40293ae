#pragma once

#include <windows.h>

// What the control library writes into the registry when it is registered, and removes when
// it is unregistered: the class with its server, threading model, control flags and toolbox
// picture, its ProgID, and the type library.
namespace infotrakon::ocx {

HRESULT RegisterControl();
HRESULT UnregisterControl();

}  // namespace infotrakon::ocx
