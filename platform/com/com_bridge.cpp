// The IDispatch bridge. Names get DISPIDs from one table for the process, so any member the
// object answers can be bound; the object decides at the call whether it has the member.
#include "platform/com/com_bridge.h"

#include "platform/com/com_objects.h"
#include "platform/com/com_unknown.h"
#include "platform/com/com_variant.h"

#include "platform/codepage.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <oleauto.h>

// COM objects end through Release, never through a pointer to the interface.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace kelvo::com {

namespace {

class Bridge;

// The bridges alive in this process. An object served to a client and handed back by it in the
// same apartment arrives as the very pointer given out; a pointer not listed here is another
// program's object (asking it would cost a call across processes).
struct LiveBridges {
  std::mutex lock;
  std::map<IDispatch*, Bridge*> all;
};
LiveBridges& live() {
  static LiveBridges l;
  return l;
}

class Names {
 public:
  DISPID idOf(std::string_view name) {
    std::lock_guard<std::mutex> g(lock_);
    const std::string key = cp1251::foldCase(name);
    if (const auto it = ids_.find(key); it != ids_.end()) return it->second;
    names_.emplace_back(name);
    const auto id = static_cast<DISPID>(names_.size());
    ids_.emplace(key, id);
    return id;
  }
  std::optional<std::string> nameOf(DISPID id) {
    std::lock_guard<std::mutex> g(lock_);
    if (id < 1 || static_cast<std::size_t>(id) > names_.size()) return std::nullopt;
    return names_[static_cast<std::size_t>(id) - 1];
  }

 private:
  std::mutex lock_;
  std::map<std::string, DISPID> ids_;
  std::vector<std::string> names_;
};

Names& names() {
  static Names n;
  return n;
}

void fillException(EXCEPINFO* e, const std::string& text) {
  if (!e) return;
  *e = EXCEPINFO{};
  const std::u16string w = cp1251::toUtf16(text);
  e->bstrDescription = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(w.data()), static_cast<UINT>(w.size()));
  e->bstrSource = SysAllocString(L"Kelvo");
  e->scode = E_FAIL;
}

class Bridge final : public Unknown<IDispatch> {
 public:
  explicit Bridge(cad::ObjectRef object) : Unknown(IID_IDispatch), object_(std::move(object)) {
    std::lock_guard<std::mutex> g(live().lock);
    live().all.emplace(this, this);
  }
  ~Bridge() override {
    std::lock_guard<std::mutex> g(live().lock);
    live().all.erase(this);
  }
  const cad::ObjectRef& object() const { return object_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* nameList, UINT count, LCID, DISPID* ids) override {
    if (count == 0) return S_OK;
    const std::u16string_view wide(reinterpret_cast<const char16_t*>(nameList[0]));
    ids[0] = names().idOf(cp1251::fromUtf16Escaped(wide));
    // Named arguments are not served.
    for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT*) override;

 private:
  cad::Variant serve(const std::string& member, WORD flags, DISPPARAMS& params);
  cad::Variant serveOuts(const std::string& member, const OutParams& shape, DISPPARAMS& params);

  cad::ObjectRef object_;
};

cad::Variant Bridge::serve(const std::string& member, WORD flags, DISPPARAMS& params) {
  const UINT positional = params.cArgs - params.cNamedArgs;
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (params.cArgs < 1) throw cad::EOleException("Invalid number of parameters");
    object_->put(member, fromVariant(params.rgvarg[0], objectFor));
    return std::monostate{};
  }
  const auto shape = outParams(member);
  if (shape && positional >= shape->before + shape->outs) return serveOuts(member, *shape, params);
  cad::Args args;
  for (UINT i = 0; i < positional; ++i) args.push_back(fromVariant(params.rgvarg[positional - 1 - i], objectFor));
  // Clients of scripting languages ask for "method or property" at once.
  const bool method = (flags & DISPATCH_METHOD) != 0;
  const bool property = (flags & DISPATCH_PROPERTYGET) != 0;
  if (property && (!method || args.empty())) return object_->get(member);
  return object_->call(member, args);
}

// The results go back through the caller's by-reference VARIANTs, first parameter first.
cad::Variant Bridge::serveOuts(const std::string& member, const OutParams& shape, DISPPARAMS& params) {
  const UINT positional = params.cArgs - params.cNamedArgs;
  auto slotAt = [&](std::size_t position) -> VARIANT& { return params.rgvarg[positional - 1 - position]; };
  cad::Args args;
  for (std::size_t i = 0; i < positional; ++i)
    if (i < shape.before || i >= shape.before + shape.outs) args.push_back(fromVariant(slotAt(i), objectFor));
  const cad::Variant result = object_->call(member, args);
  std::vector<cad::Variant> outs;
  if (shape.points) {
    const std::vector<double> all = cad::toDoubles(result);
    if (all.size() != 3 * shape.outs) throw cad::EOleException("Invalid result");
    for (std::size_t k = 0; k < shape.outs; ++k) outs.push_back(std::vector<double>(all.begin() + 3 * static_cast<std::ptrdiff_t>(k), all.begin() + 3 * static_cast<std::ptrdiff_t>(k + 1)));
  } else {
    outs = cad::toVariants(result);
    if (outs.size() != shape.outs) throw cad::EOleException("Invalid result");
  }
  for (std::size_t k = 0; k < shape.outs; ++k) {
    VARIANT& slot = slotAt(shape.before + k);
    if (slot.vt == (VT_BYREF | VT_DISPATCH) && slot.ppdispVal) {
      // An object output declared IDispatch**, as a client with AutoCAD's type library passes it.
      OwnedVariant object;
      toVariant(outs[k], object.get(), dispatchFor);
      if (object.get().vt != VT_DISPATCH) throw cad::EOleException("Invalid argument: the output is not an object");
      if (*slot.ppdispVal) (*slot.ppdispVal)->Release();
      *slot.ppdispVal = object.get().pdispVal;
      object.get().vt = VT_EMPTY;  // handed over
      continue;
    }
    if (slot.vt != (VT_BYREF | VT_VARIANT) || !slot.pvarVal) throw cad::EOleException("Invalid argument: an output VARIANT is needed");
    VariantClear(slot.pvarVal);
    toVariant(outs[k], *slot.pvarVal, dispatchFor);
  }
  return std::monostate{};
}

HRESULT Bridge::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                       UINT*) {
  const auto member = names().nameOf(id);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  try {
    const cad::Variant r = serve(*member, flags, params ? *params : none);
    if (result) {
      VariantInit(result);
      toVariant(r, *result, dispatchFor);
    }
    return S_OK;
  } catch (const cad::EOleException& e) {
    fillException(excep, e.what());
    return DISP_E_EXCEPTION;
  } catch (const cad::EOleSysError&) {
    return E_FAIL;
  } catch (const cad::EOleError&) {
    // A member the object lacks, or an object no longer in the drawing.
    return DISP_E_MEMBERNOTFOUND;
  } catch (const std::exception& e) {
    fillException(excep, e.what());
    return DISP_E_EXCEPTION;
  }
}

}  // namespace

IDispatch* makeDispatch(cad::ObjectRef object) { return new Bridge(std::move(object)); }

cad::ObjectRef objectFor(IDispatch* dispatch) {
  {
    std::lock_guard<std::mutex> g(live().lock);
    if (const auto it = live().all.find(dispatch); it != live().all.end()) return it->second->object();
  }
  return wrapForeign(dispatch);
}

IDispatch* dispatchFor(const cad::ObjectRef& object) {
  if (IDispatch* d = wrappedDispatch(object)) return d;
  return makeDispatch(object);
}

}  // namespace kelvo::com
