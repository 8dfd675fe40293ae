#include "ocx/com_errors.h"

#include <oleauto.h>

#include <new>

#include "control/identity.h"
#include "core/text_encoding.h"
#include "ocx/com_ptr.h"

namespace infotrakon::ocx {

HRESULT ResultOf(int number) {
    if (number < 0) return static_cast<HRESULT>(number);
    return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<unsigned>(number) & 0xFFFF);
}

HRESULT Report(const Error& error, REFIID iid) {
    ComPtr<ICreateErrorInfo> made;
    if (SUCCEEDED(CreateErrorInfo(made.Receive()))) {
        const std::u16string source = Utf8ToUtf16(control::kProgId);
        const std::u16string description = Utf8ToUtf16(error.what());
        made->SetGUID(iid);
        made->SetSource(const_cast<LPOLESTR>(reinterpret_cast<const wchar_t*>(source.c_str())));
        made->SetDescription(
            const_cast<LPOLESTR>(reinterpret_cast<const wchar_t*>(description.c_str())));
        if (const auto info = made.As<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.get());
    }
    return ResultOf(error.number());
}

HRESULT Guarded(REFIID iid, const std::function<void()>& action) {
    try {
        action();
        return S_OK;
    } catch (const Error& error) {
        return Report(error, iid);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        return Report(Error(error_number::kInvalidProcedureCall, error.what()), iid);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace infotrakon::ocx
