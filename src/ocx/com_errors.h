#pragma once

#include <windows.h>

#include <functional>

#include "core/error.h"

// The panel's errors at the COM boundary: an HRESULT for the call and the error's number and
// message in IErrorInfo, as a host of controls reads a run-time error.
namespace infotrakon::ocx {

// The HRESULT of an error number: the number itself where it is one already (the data
// control's -2147467259), else the control facility's code for it (53 as 0x800A0035).
HRESULT ResultOf(int number);

// Runs `action` under the panel's error policy; what it raised becomes the call's HRESULT
// and the thread's IErrorInfo (`iid` the interface of the call). No exception crosses into
// the host.
HRESULT Guarded(REFIID iid, const std::function<void()>& action) noexcept;

// Records `error` as the thread's IErrorInfo and gives its HRESULT: E_OUTOFMEMORY for an
// exhausted memory, else that of its number.
HRESULT Report(const Error& error, REFIID iid) noexcept;

}  // namespace infotrakon::ocx
