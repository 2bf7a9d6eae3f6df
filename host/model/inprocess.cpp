#include "host/model/inprocess.h"

namespace kelvo::host {

InProcessHost::InProcessHost(Document& doc, PromptHandler prompt, CallObserver observer)
    : context_(std::make_shared<HostContext>(HostContext{doc, std::move(prompt), std::move(observer), {}, {}, {}, {}, {}})) {
  std::weak_ptr<HostContext> weak = context_;
  token_ = cad::registerTransport([weak](std::string_view progId) -> cad::ObjectRef {
    auto ctx = weak.lock();
    if (!ctx || progId != "AutoCAD.Application") return nullptr;
    return makeApplication(ctx);
  });
}

InProcessHost::~InProcessHost() { cad::unregisterTransport(token_); }

}  // namespace kelvo::host
