// Random calls at the control's COM boundary, as a careless or hostile host makes them:
// QueryInterface with any identity, GetIDsOfNames with odd names, Invoke and the dual
// FileExists with every shape of argument. The host process must live through all of them and
// every call must answer with a status. INFOTRAKON_COM_FUZZ_CALLS sets the count (default 3000),
// INFOTRAKON_COM_FUZZ_SEED the generator's seed.
#include <windows.h>
// After windows.h:
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "control/identity.h"
#include "core/text_encoding.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    const std::u16string units = infotrakon::Utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

GUID Guid(const char* text) {
    GUID guid{};
    CLSIDFromString(Wide(text).c_str(), &guid);
    return guid;
}

unsigned long Setting(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : fallback;
}

class Fuzzer {
  public:
    Fuzzer(IUnknown* control, unsigned long seed) : control_(control), random_(seed) {}
    ~Fuzzer() {
        for (BSTR text : texts_) SysFreeString(text);
        for (SAFEARRAY* array : arrays_) SafeArrayDestroy(array);
    }

    // One random call; its status is counted.
    void Call() {
        switch (Below(5)) {
            case 0:
                Count("QueryInterface", QueryInterface());
                break;
            case 1:
                Count("GetIDsOfNames", GetIDsOfNames());
                break;
            case 2:
            case 3:
                Count("Invoke", Invoke());
                break;
            default:
                Count("FileExists", FileExists());
                break;
        }
        Free();
    }

    void PrintCounts() const {
        for (const auto& [call, statuses] : counts_)
            for (const auto& [status, count] : statuses)
                std::printf("  %s: 0x%08lX x %d\n", call.c_str(),
                            static_cast<unsigned long>(status), count);
        std::fflush(stdout);
    }

  private:
    unsigned Below(unsigned bound) { return static_cast<unsigned>(random_() % bound); }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    void Count(const char* call, HRESULT status) { ++counts_[call][status]; }

    GUID RandomGuid() {
        static const GUID known[] = {IID_IUnknown,
                                     IID_IDispatch,
                                     IID_IOleObject,
                                     IID_IOleInPlaceObject,
                                     IID_IOleControl,
                                     IID_IViewObject2,
                                     IID_IPersistStreamInit,
                                     IID_IConnectionPointContainer,
                                     IID_IProvideClassInfo2,
                                     IID_IPersistPropertyBag,
                                     IID_IOleInPlaceActiveObject,
                                     IID_IQuickActivate};
        if (Chance(50)) return known[Below(std::size(known))];
        GUID guid;
        auto* bytes = reinterpret_cast<unsigned char*>(&guid);
        for (std::size_t i = 0; i < sizeof guid; ++i)
            bytes[i] = static_cast<unsigned char>(random_());
        return guid;
    }

    // A text of odd make: empty, long, with NULs inside, or of an odd number of bytes.
    BSTR RandomText() {
        BSTR text = nullptr;
        switch (Below(5)) {
            case 0:
                text = SysAllocString(L"");
                break;
            case 1:
                text = SysAllocString(std::wstring(20000 + Below(20000), L'x').c_str());
                break;
            case 2:
                text = SysAllocStringLen(L"C:\\Trakon\0Data\\agenda.mdb", 25);
                break;
            case 3:
                text = SysAllocStringByteLen("C:\\odd", 5 + Below(3));
                break;
            default:
                text = SysAllocString(L"C:\\Trakon\\Data\\agenda.mdb");
                break;
        }
        texts_.push_back(text);
        return text;
    }

    // A value of any type: by value or by reference, arrays, objects, and types no one uses.
    void RandomVariant(VARIANT& value, int depth = 0) {
        VariantInit(&value);
        switch (Below(depth < 2 ? 13 : 11)) {
            case 0:
                V_VT(&value) = VT_EMPTY;
                break;
            case 1:
                V_VT(&value) = VT_NULL;
                break;
            case 2:
                V_VT(&value) = VT_I4;
                V_I4(&value) = static_cast<LONG>(random_());
                break;
            case 3:
                V_VT(&value) = VT_R8;
                V_R8(&value) = 1e308;
                break;
            case 4:
                V_VT(&value) = VT_BSTR;
                V_BSTR(&value) = Chance(10) ? nullptr : RandomText();
                break;
            case 5:
                V_VT(&value) = VT_BSTR | VT_BYREF;
                if (Chance(20)) {
                    V_BSTRREF(&value) = nullptr;
                } else {
                    slots_.push_back(Chance(10) ? nullptr : RandomText());
                    V_BSTRREF(&value) = &slots_.back();
                }
                break;
            case 6:
                V_VT(&value) = VT_DISPATCH;
                V_DISPATCH(&value) = Chance(50) ? nullptr : Dispatch();
                break;
            case 7:
                V_VT(&value) = VT_UNKNOWN;
                V_UNKNOWN(&value) = Chance(50) ? nullptr : control_;
                break;
            case 8: {
                V_VT(&value) = VT_ARRAY | VT_BSTR;
                SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, Below(4));
                arrays_.push_back(array);
                V_ARRAY(&value) = Chance(10) ? nullptr : array;
                break;
            }
            case 9:
                V_VT(&value) = VT_BOOL;
                V_BOOL(&value) = VARIANT_TRUE;
                break;
            case 10:
                // A type no one defined, with nothing behind it.
                V_VT(&value) = static_cast<VARTYPE>(random_());
                V_I8(&value) = 0;
                break;
            default:
                V_VT(&value) = VT_VARIANT | VT_BYREF;
                if (Chance(20)) {
                    V_VARIANTREF(&value) = nullptr;
                } else {
                    inner_.emplace_back();
                    RandomVariant(inner_.back(), depth + 1);
                    V_VARIANTREF(&value) = &inner_.back();
                }
                break;
        }
    }

    IDispatch* Dispatch() {
        IDispatch* dispatch = nullptr;
        control_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        if (dispatch != nullptr) dispatch->Release();  // the control keeps it alive
        return dispatch;
    }

    HRESULT QueryInterface() {
        const GUID iid = RandomGuid();
        if (Chance(5)) return control_->QueryInterface(iid, nullptr);
        IUnknown* object = nullptr;
        const HRESULT status = control_->QueryInterface(iid, reinterpret_cast<void**>(&object));
        if (SUCCEEDED(status) && object != nullptr) object->Release();
        return status;
    }

    HRESULT GetIDsOfNames() {
        std::vector<std::wstring> names;
        std::vector<LPOLESTR> pointers;
        const UINT count = Below(4);
        for (UINT i = 0; i < count; ++i) {
            switch (Below(4)) {
                case 0:
                    names.emplace_back(L"FileExists");
                    break;
                case 1:
                    names.emplace_back(L"");
                    break;
                case 2:
                    names.emplace_back(std::wstring(5000 + Below(60000), L'N'));
                    break;
                default:
                    names.emplace_back(L"fILEeXISTS");
                    break;
            }
        }
        for (auto& name : names) pointers.push_back(Chance(10) ? nullptr : name.data());
        std::vector<DISPID> ids(count + 1);
        const GUID iid = Chance(80) ? IID_NULL : RandomGuid();
        return Dispatch()->GetIDsOfNames(iid, Chance(5) ? nullptr : pointers.data(), count,
                                         LOCALE_USER_DEFAULT, Chance(5) ? nullptr : ids.data());
    }

    HRESULT Invoke() {
        static const DISPID ids[] = {infotrakon::control::kFileExistsDispatchId, DISPID_VALUE,
                                     DISPID_UNKNOWN, DISPID_PROPERTYPUT, 0x60030004};
        const DISPID id = Chance(70) ? ids[Below(std::size(ids))] : static_cast<DISPID>(random_());
        const WORD flags = Chance(60) ? WORD{DISPATCH_METHOD} : static_cast<WORD>(random_());
        std::vector<VARIANT> arguments(Below(4));
        for (VARIANT& argument : arguments) RandomVariant(argument);
        std::vector<DISPID> named(Below(3), static_cast<DISPID>(Chance(50) ? 0 : random_()));
        DISPPARAMS parameters{};
        parameters.cArgs = Chance(10) ? Below(5) : static_cast<UINT>(arguments.size());
        parameters.rgvarg =
            parameters.cArgs > arguments.size() || Chance(5) ? nullptr : arguments.data();
        parameters.cNamedArgs = Chance(10) ? Below(3) : static_cast<UINT>(named.size());
        parameters.rgdispidNamedArgs =
            parameters.cNamedArgs > named.size() || Chance(5) ? nullptr : named.data();
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception{};
        UINT argumentError = 0;
        const HRESULT status = Dispatch()->Invoke(
            id, Chance(90) ? IID_NULL : RandomGuid(), LOCALE_USER_DEFAULT, flags,
            Chance(5) ? nullptr : &parameters, Chance(20) ? nullptr : &result,
            Chance(20) ? nullptr : &exception, Chance(20) ? nullptr : &argumentError);
        VariantClear(&result);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return status;
    }

    HRESULT FileExists() {
        IDispatch* dispatch = nullptr;
        control_->QueryInterface(Guid(infotrakon::control::kDefaultInterfaceId),
                                 reinterpret_cast<void**>(&dispatch));
        if (dispatch == nullptr) return E_NOINTERFACE;
        dispatch->Release();  // the control keeps it alive
        // The dual interface's own slot: FileExists follows IDispatch's seven methods.
        using FileExistsCall = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, BSTR*, VARIANT_BOOL*);
        auto* call = reinterpret_cast<FileExistsCall>((*reinterpret_cast<void***>(dispatch))[7]);
        BSTR text = Chance(10) ? nullptr : RandomText();
        VARIANT_BOOL result = VARIANT_FALSE;
        return call(dispatch, Chance(10) ? nullptr : &text, Chance(10) ? nullptr : &result);
    }

    // What one call made, freed after it: the values, texts and arrays it was given.
    void Free() {
        inner_.clear();
        slots_.clear();
        for (BSTR text : texts_) SysFreeString(text);
        texts_.clear();
        for (SAFEARRAY* array : arrays_) SafeArrayDestroy(array);
        arrays_.clear();
    }

    IUnknown* control_;
    std::mt19937 random_;
    std::vector<BSTR> texts_;
    std::vector<SAFEARRAY*> arrays_;
    std::deque<VARIANT> inner_;
    std::deque<BSTR> slots_;
    std::map<std::string, std::map<HRESULT, int>> counts_;
};

TEST(ComBoundary, RandomCallsAlwaysAnswerWithAStatus) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    IUnknown* control = nullptr;
    ASSERT_EQ(CoCreateInstance(Guid(infotrakon::control::kClassId), nullptr, CLSCTX_INPROC_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(&control)),
              S_OK);
    IPersistStreamInit* persist = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)),
              S_OK);
    persist->InitNew();
    persist->Release();
    const unsigned long calls = Setting("INFOTRAKON_COM_FUZZ_CALLS", 3000);
    const unsigned long seed = Setting("INFOTRAKON_COM_FUZZ_SEED", 20261208);
    {
        Fuzzer fuzzer(control, seed);
        for (unsigned long i = 0; i < calls; ++i) fuzzer.Call();
        std::printf("%lu calls with seed %lu, the statuses:\n", calls, seed);
        fuzzer.PrintCounts();
    }
    EXPECT_EQ(control->Release(), 0u);
    OleUninitialize();
}

}  // namespace
