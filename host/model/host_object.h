// The base of every object the drawing host serves, and the helpers its members share: point
// arguments, argument positions, and finding a block of the document by position.
#pragma once

#include "host/model/object_model.h"

#include <atomic>
#include <memory>
#include <string>

namespace kelvo::host::served {

Point toPoint(const cad::Variant& v);
inline cad::Variant fromPoint(const Point& p) { return std::vector<double>{p[0], p[1], p[2]}; }
const cad::Variant& argAt(const cad::Args& a, std::size_t i);

std::atomic<std::size_t>& liveObjects();

class HostObject : public cad::AutoObject {
 public:
  HostObject(std::shared_ptr<HostContext> ctx, std::string label) : ctx_(std::move(ctx)), label_(std::move(label)) {
    ++liveObjects();
  }
  ~HostObject() override { --liveObjects(); }
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
  const std::string& label() const { return label_; }
  cad::Variant call(std::string_view m, const cad::Args& args) override { return served(m, args, onCall(m, args)); }
  cad::Variant get(std::string_view m) override { return served(m, {}, onGet(m)); }
  void put(std::string_view m, const cad::Variant& v) override {
    onPut(m, v);
    ctx_->doc.modified = true;
    served(m, {v}, {});
  }

 protected:
  [[noreturn]] void unknown(std::string_view m) const {
    throw cad::EOleError("Unknown name: " + label_ + " has no member " + std::string(m));
  }
  virtual cad::Variant onCall(std::string_view m, const cad::Args&) { unknown(m); }
  virtual cad::Variant onGet(std::string_view m) { unknown(m); }
  virtual void onPut(std::string_view m, const cad::Variant&) { unknown(m); }
  Document& doc() const { return ctx_->doc; }

  std::shared_ptr<HostContext> ctx_;
  std::string label_;

 private:
  cad::Variant served(std::string_view m, const cad::Args& args, cad::Variant result) {
    if (ctx_->observer) ctx_->observer(label_, std::string(m), args, result);
    return result;
  }
};

// Objects find their part of the document by position on every call: a client may keep an
// object across a New or Open of the host, and must then get an error, not a stale reference.
Block& blockAt(Document& doc, std::size_t i);

// An entity of a block, by its position (its handle names it in transcripts).
cad::ObjectRef makeEntity(const std::shared_ptr<HostContext>& ctx, std::size_t block, std::size_t index);
// The document's selection sets (SelectionSets).
cad::ObjectRef makeSelectionSets(const std::shared_ptr<HostContext>& ctx);

// A named block (or a space) of the document, by its position.
cad::ObjectRef makeBlock(const std::shared_ptr<HostContext>& ctx, std::size_t index, bool space);
// The layer table, the block table, and one layer by its position.
cad::ObjectRef makeLayers(const std::shared_ptr<HostContext>& ctx);
cad::ObjectRef makeBlocks(const std::shared_ptr<HostContext>& ctx);
cad::ObjectRef makeLayer(const std::shared_ptr<HostContext>& ctx, std::size_t index);
// The layer an object of the host stands for; nothing for anything else.
Layer* layerOf(const cad::ObjectRef& o);

// What AutoCAD answers for GetVariable: integer variables as 16-bit integers (VT_I2), 32-bit
// ones (group codes 90 to 99) as VT_I4, reals and texts as such.
cad::Variant systemVariable(const Document& doc, const std::string& name);

// AutoCAD refuses every change of an object on a locked layer; adding to it is allowed.
void refuseIfLocked(const Document& doc, const Entity& e);

}  // namespace kelvo::host::served
