// A host's IDispatch as an AutoObject: members by GetIDsOfNames (cached per object and name),
// Invoke as method, property get or property put, calls a busy host rejects tried again.
#include "platform/com/com_objects.h"
#include "platform/com/com_transport.h"
#include "platform/com/com_unknown.h"
#include "platform/com/com_variant.h"
#include "platform/com/com_worker.h"

#include "platform/codepage.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <unordered_map>

#include <objbase.h>
#include <oleauto.h>

// COM objects end through Release, never through a pointer to the interface.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace kelvo::com {

namespace {

std::atomic<long long> gRetryMs{30000};
std::atomic<long long> gUnansweredMs{35000};
bool rejected(HRESULT hr) { return hr == RPC_E_CALL_REJECTED || hr == RPC_E_SERVERCALL_RETRYLATER; }

// Members that wait for the user in the CAD program, for as long as the user takes.
bool waitsForTheUser(std::string_view member) {
  for (const char* m : {"GetPoint", "GetEntity", "GetString", "GetKeyword", "GetInteger", "GetReal", "GetDistance",
                        "GetAngle", "GetCorner", "GetOrientation", "GetSubEntity"})
    if (cad::sameMember(member, m)) return true;
  return false;
}

// A host that is busy (a command running, a dialog open) rejects calls. Where COM asks the
// message filter it retries there; where it does not, the call is retried here, within the
// same time from the first attempt.
template <typename Call>
HRESULT retryingRejected(Call call) {
  const auto deadline = std::chrono::steady_clock::now() + rejectedCallRetryTime();
  for (;;) {
    const HRESULT hr = call();
    if (!rejected(hr) || std::chrono::steady_clock::now() >= deadline) return hr;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

// A call waits for its answer this long, and never less than a busy program is tried again
// and a little more: a rejected call fails by itself, a hung program's call is given up here.
// A prompt waits for the user as long as the user takes.
std::chrono::milliseconds limitFor(std::string_view member) {
  if (waitsForTheUser(member)) return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(std::max(gUnansweredMs.load(), gRetryMs.load() + 5000));
}

// An object of the CAD program, called on the worker that made it (none: on the calling
// thread, as the bridge's objects of this process are).
class ComObject final : public cad::AutoObject, public std::enable_shared_from_this<ComObject> {
 public:
  ComObject(IDispatch* d, std::shared_ptr<ComWorker> worker) : d_(d), worker_(std::move(worker)) { d_->AddRef(); }
  // The last release of a proxy is a call into the program too: done on the worker's thread,
  // where a hung program keeps it waiting instead of the user.
  ~ComObject() override {
    if (!worker_ || ComWorker::current() == worker_) d_->Release();
    else worker_->post([d = d_] { d->Release(); });
  }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  IDispatch* dispatch() const { return d_; }

  cad::Variant call(std::string_view m, const cad::Args& args) override { return onWorker(m, DISPATCH_METHOD, args); }
  cad::Variant get(std::string_view m) override { return onWorker(m, DISPATCH_PROPERTYGET, {}); }
  void put(std::string_view m, const cad::Variant& v) override { onWorker(m, DISPATCH_PROPERTYPUT, {v}); }

 private:
  DISPID idOf(std::string_view member);
  cad::Variant invoke(std::string_view member, WORD flags, const cad::Args& args);
  cad::Variant onWorker(std::string_view member, WORD flags, const cad::Args& args);

  IDispatch* d_;
  std::shared_ptr<ComWorker> worker_;
  std::unordered_map<std::string, DISPID> ids_;
};

// The call's values are shared with the worker: a caller that stopped waiting may be gone by
// the time a late answer comes.
cad::Variant ComObject::onWorker(std::string_view member, WORD flags, const cad::Args& args) {
  if (!worker_) return invoke(member, flags, args);
  struct Call {
    std::string member;
    WORD flags;
    cad::Args args;
    cad::Variant result;
  };
  auto c = std::make_shared<Call>(Call{std::string(member), flags, args, {}});
  worker_->run([self = shared_from_this(), c] { c->result = self->invoke(c->member, c->flags, c->args); }, limitFor(member));
  return c->result;
}

DISPID ComObject::idOf(std::string_view member) {
  std::string key = cp1251::foldCase(member);
  if (const auto it = ids_.find(key); it != ids_.end()) return it->second;
  std::u16string wide = cp1251::toUtf16(member);
  LPOLESTR name = reinterpret_cast<LPOLESTR>(wide.data());
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr = retryingRejected([&] { return d_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id); });
  if (FAILED(hr)) throwStatus(hr, member);
  ids_.emplace(std::move(key), id);
  return id;
}

[[noreturn]] void raiseException(EXCEPINFO& e) {
  if (e.pfnDeferredFillIn) e.pfnDeferredFillIn(&e);
  std::string text;
  if (e.bstrDescription)
    text = cp1251::fromUtf16Escaped(std::u16string_view(reinterpret_cast<const char16_t*>(e.bstrDescription),
                                                        SysStringLen(e.bstrDescription)));
  const HRESULT code = e.scode ? e.scode : static_cast<HRESULT>(e.wCode);
  SysFreeString(e.bstrDescription);
  SysFreeString(e.bstrSource);
  SysFreeString(e.bstrHelpFile);
  throw cad::EOleException(text.empty() ? statusText(code) : text);
}

cad::Variant ComObject::invoke(std::string_view member, WORD flags, const cad::Args& args) {
  const DISPID id = idOf(member);
  const auto shape = flags == DISPATCH_METHOD ? outParams(member) : std::nullopt;
  const std::size_t outs = shape && args.size() >= shape->before ? shape->outs : 0;
  const std::size_t before = outs ? shape->before : args.size();
  const std::size_t n = args.size() + outs;
  // rgvarg holds the arguments last first: the inputs before the outputs, the outputs, the rest.
  std::unique_ptr<OwnedVariant[]> in(new OwnedVariant[n ? n : 1]);
  std::unique_ptr<OwnedVariant[]> out(new OwnedVariant[outs ? outs : 1]);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::size_t position = i < before ? i : i + outs;
    toVariant(args[i], in[n - 1 - position].get(), dispatchFor);
  }
  for (std::size_t k = 0; k < outs; ++k) {
    VARIANT& slot = in[n - 1 - (before + k)].get();
    if (k == 0 && shape->firstIsObject) {
      out[k].get().vt = VT_DISPATCH;  // cleared (released) with the rest
      out[k].get().pdispVal = nullptr;
      slot.vt = VT_BYREF | VT_DISPATCH;
      slot.ppdispVal = &out[k].get().pdispVal;
    } else {
      slot.vt = VT_BYREF | VT_VARIANT;
      slot.pvarVal = &out[k].get();
    }
  }
  std::vector<VARIANT> raw(n);
  for (std::size_t i = 0; i < n; ++i) raw[i] = in[i].get();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(n), 0};
  if (flags == DISPATCH_PROPERTYPUT) params.rgdispidNamedArgs = &named, params.cNamedArgs = 1;
  EXCEPINFO excep{};
  UINT badArg = 0;
  OwnedVariant result;
  const HRESULT hr = retryingRejected([&] {
    return d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result.get(), &excep, &badArg);
  });
  if (hr == DISP_E_EXCEPTION) raiseException(excep);
  if (FAILED(hr)) throwStatus(hr, member);
  if (!outs) return fromVariant(result.get(), objectFor);
  if (!shape->points) {
    cad::VariantArray all;
    for (std::size_t k = 0; k < outs; ++k) all.items.push_back(fromVariant(out[k].get(), objectFor));
    return all;
  }
  std::vector<double> points;
  for (std::size_t k = 0; k < outs; ++k) {
    const std::vector<double> p = cad::toDoubles(fromVariant(out[k].get(), objectFor));
    points.insert(points.end(), p.begin(), p.end());
  }
  return points;
}

// Retries what a busy host rejects, for the time set; everything else as COM does by default.
class RetryFilter final : public Unknown<IMessageFilter> {
 public:
  RetryFilter() : Unknown(IID_IMessageFilter) {}
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return SERVERCALL_ISHANDLED; }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD rejectType) override {
    if (rejectType == SERVERCALL_RETRYLATER && elapsed < static_cast<DWORD>(rejectedCallRetryTime().count())) return 100;
    return static_cast<DWORD>(-1);
  }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }
};

struct ThreadCom {
  ThreadCom() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    owned = SUCCEEDED(hr);
    auto* filter = new RetryFilter;
    // Only a single-threaded apartment has a message filter; elsewhere the retry loop serves.
    if (SUCCEEDED(CoRegisterMessageFilter(filter, &previous))) registered = true;
    filter->Release();
  }
  ~ThreadCom() {
    if (registered) {
      IMessageFilter* ours = nullptr;
      CoRegisterMessageFilter(previous, &ours);
      if (ours) ours->Release();
      if (previous) previous->Release();
    }
    if (owned) CoUninitialize();
  }
  bool owned = false, registered = false;
  IMessageFilter* previous = nullptr;
};

}  // namespace

void setRejectedCallRetryTime(std::chrono::milliseconds time) { gRetryMs = time.count(); }
void setUnansweredCallTime(std::chrono::milliseconds time) { gUnansweredMs = time.count(); }
std::chrono::milliseconds unansweredCallTime() { return std::chrono::milliseconds(gUnansweredMs.load()); }
std::chrono::milliseconds rejectedCallRetryTime() { return std::chrono::milliseconds(gRetryMs.load()); }

void ensureCom() { thread_local ThreadCom com; }

std::optional<OutParams> outParams(std::string_view member) {
  if (cad::sameMember(member, "GetBoundingBox")) return OutParams{0, 2, true};
  if (cad::sameMember(member, "GetXData")) return OutParams{1, 2, false};
  if (cad::sameMember(member, "GetEntity")) return OutParams{0, 2, false, true};
  return std::nullopt;
}

cad::ObjectRef wrapForeign(IDispatch* d) { return std::make_shared<ComObject>(d, ComWorker::current()); }

IDispatch* wrappedDispatch(const cad::ObjectRef& o) {
  auto* c = dynamic_cast<ComObject*>(o.get());
  if (!c) return nullptr;
  c->dispatch()->AddRef();
  return c->dispatch();
}

// The running program's application object by its ProgID, on the calling (worker) thread.
cad::ObjectRef connect(const std::string& progId) {
  ensureCom();
  std::u16string wide = cp1251::toUtf16(progId);
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(wide.c_str()), &clsid);
  if (FAILED(hr)) throw cad::EOleSysError(statusText(hr));
  IUnknown* unknown = nullptr;
  // Fetching the object from the table is already a call into the host, which a busy one
  // rejects.
  hr = retryingRejected([&] { return GetActiveObject(clsid, nullptr, &unknown); });
  if (FAILED(hr) || !unknown) throw cad::EOleSysError(statusText(FAILED(hr) ? hr : E_POINTER));
  IDispatch* dispatch = nullptr;
  hr = retryingRejected([&] { return unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)); });
  unknown->Release();
  if (FAILED(hr) || !dispatch) throw cad::EOleError("The running " + progId + " offers no late binding");
  cad::ObjectRef app = objectFor(dispatch);
  dispatch->Release();
  return app;
}

}  // namespace kelvo::com

namespace kelvo {

int registerComTransport() {
  return cad::registerTransport([](std::string_view name) -> cad::ObjectRef {
    // Connected on the worker, so that the program's objects live in its apartment.
    const std::shared_ptr<com::ComWorker> worker = com::ComWorker::forConnection();
    struct Connection {
      std::string progId;
      cad::ObjectRef app;
    };
    auto c = std::make_shared<Connection>(Connection{std::string(name), {}});
    worker->run([c] { c->app = com::connect(c->progId); }, com::limitFor("GetActiveObject"));
    return c->app;
  });
}

}  // namespace kelvo
