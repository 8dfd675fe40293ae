#include "ocx/connection_points.h"

#include <olectl.h>

#include <algorithm>
#include <new>

#include "ocx/control_object.h"
#include "ocx/itrakon.h"
#include "ocx/module.h"

namespace infotrakon::ocx {
namespace {

// The enumeration of the control's one connection point.
class PointEnumerator final : public IEnumConnectionPoints {
  public:
    explicit PointEnumerator(IConnectionPoint* point)
        : point_(ComPtr<IConnectionPoint>::Share(point)) {
        ObjectMade();
    }
    ~PointEnumerator() { ObjectGone(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IEnumConnectionPoints) return E_NOINTERFACE;
        *object = static_cast<IEnumConnectionPoints*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, IConnectionPoint** points,
                                   ULONG* fetched) override {
        if (points == nullptr || (wanted > 1 && fetched == nullptr)) return E_POINTER;
        ULONG given = 0;
        if (wanted > 0 && position_ == 0) {
            points[0] = point_.get();
            points[0]->AddRef();
            given = 1;
            position_ = 1;
        }
        if (fetched != nullptr) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const ULONG skipped = std::min<ULONG>(count, 1 - position_);
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** copy) override {
        if (copy == nullptr) return E_POINTER;
        auto* made = new (std::nothrow) PointEnumerator(point_.get());
        if (made == nullptr) return E_OUTOFMEMORY;
        made->position_ = position_;
        *copy = made;
        return S_OK;
    }

  private:
    LONG references_ = 1;
    ComPtr<IConnectionPoint> point_;
    ULONG position_ = 0;
};

}  // namespace

HRESULT EventPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) return E_POINTER;
    *iid = DIID___InfoTrakon;
    return S_OK;
}

HRESULT EventPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) return E_POINTER;
    *container = control_.connectionPoints();
    (*container)->AddRef();
    return S_OK;
}

HRESULT EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) return E_POINTER;
    *cookie = nextCookie_++;
    sinks_[*cookie] = ComPtr<IUnknown>::Share(sink);
    return S_OK;
}

HRESULT EventPoint::Unadvise(DWORD cookie) {
    return sinks_.erase(cookie) == 1 ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoints::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points == nullptr) return E_POINTER;
    *points = new (std::nothrow) PointEnumerator(control_.eventPoint());
    return *points != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ConnectionPoints::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (iid != DIID___InfoTrakon) return CONNECT_E_NOCONNECTION;
    *point = control_.eventPoint();
    (*point)->AddRef();
    return S_OK;
}

}  // namespace infotrakon::ocx
