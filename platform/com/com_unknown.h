// IUnknown for an object of ours that offers one COM interface: reference counted, deleted at
// the last Release.
#pragma once

#include <atomic>

#include <objbase.h>

// COM objects end through Release, never through a pointer to the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace kelvo::com {

template <class Interface>
class Unknown : public Interface {
 public:
  explicit Unknown(const IID& iid) : iid_(iid) {}
  virtual ~Unknown() = default;
  Unknown(const Unknown&) = delete;
  Unknown& operator=(const Unknown&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == iid_) {
      *out = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG r = --refs_;
    if (r == 0) delete this;
    return r;
  }

 private:
  const IID& iid_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace kelvo::com

#pragma GCC diagnostic pop
