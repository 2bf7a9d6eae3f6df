// Binds a document to the automation surface inside one process: the draw command connects
// to "AutoCAD.Application" and is served by the document, without a socket.
#pragma once

#include "host/model/object_model.h"

#include <memory>

namespace kelvo::host {

class InProcessHost {
 public:
  InProcessHost(Document& doc, PromptHandler prompt, CallObserver observer = {});
  ~InProcessHost();
  InProcessHost(const InProcessHost&) = delete;
  InProcessHost& operator=(const InProcessHost&) = delete;

 private:
  std::shared_ptr<HostContext> context_;
  int token_ = 0;
};

}  // namespace kelvo::host
