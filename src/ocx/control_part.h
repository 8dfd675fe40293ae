#pragma once

#include <windows.h>

// One interface of the control: its identity and its references are those of the control
// object it is part of, which every part forwards to.
namespace infotrakon::ocx {

class ControlObject;

template <typename Interface>
class Part : public Interface {
  public:
    explicit Part(ControlObject& control) : control_(control) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

  protected:
    ControlObject& control_;
};

}  // namespace infotrakon::ocx
