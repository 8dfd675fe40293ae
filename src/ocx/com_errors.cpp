#include "ocx/com_errors.h"

#include <oleauto.h>

#include "control/identity.h"
#include "core/guarded.h"
#include "core/text_encoding.h"
#include "ocx/com_ptr.h"

namespace infotrakon::ocx {

HRESULT ResultOf(int number) {
    if (number < 0) return static_cast<HRESULT>(number);
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<unsigned>(number) & 0xFFFF);
}

HRESULT Report(const Error& error, REFIID iid) noexcept {
    // Without memory for the description the host still gets the call's HRESULT.
    infotrakon::Guarded([&] {
        ComPtr<ICreateErrorInfo> made;
        if (FAILED(CreateErrorInfo(made.Receive()))) return;
        const std::u16string source = Utf8ToUtf16(control::kProgId);
        const std::u16string description = Utf8ToUtf16(error.what());
        made->SetGUID(iid);
        made->SetSource(const_cast<LPOLESTR>(reinterpret_cast<const wchar_t*>(source.c_str())));
        made->SetDescription(
            const_cast<LPOLESTR>(reinterpret_cast<const wchar_t*>(description.c_str())));
        if (const auto info = made.As<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.get());
    });
    return error.number() == error_number::kOutOfMemory ? E_OUTOFMEMORY : ResultOf(error.number());
}

HRESULT Guarded(REFIID iid, const std::function<void()>& action) noexcept {
    const std::optional<Error> error = infotrakon::Guarded(action);
    return error ? Report(*error, iid) : S_OK;
}

}  // namespace infotrakon::ocx
