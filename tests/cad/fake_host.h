// A recording stand-in for the CAD host: layers, blocks with their entities, system variables,
// point prompts answered from a queue, text widths from a rule the test sets, every call
// recorded, and any chosen call made to fail with a chosen kind.
#pragma once

#include "cad/automation.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cad::test {

struct Call {
  std::string object;  // "application", "document", "layers", "layer:NAME", "block:NAME", "text", ...
  std::string member;
  Args args;
};

struct FakeEntity {
  std::string kind;  // "Line", "Text", "Circle", "Arc", "Solid", "PolyLine", "Insert", "Leader"
  Args args;         // as given to Add...
  std::string layer;
  // Later changes made through the entity.
  std::vector<std::pair<std::string, Args>> edits;
  bool deleted = false;
  std::string handle;  // given when first asked for
  Args xdata;          // the arguments of the last SetXData, kept apart from the edits
};

struct FakeBlock {
  std::string name;
  std::vector<double> base;
  std::vector<std::shared_ptr<FakeEntity>> entities;
};

struct FakeLayer {
  std::string name;
  std::optional<int> color;
  bool frozen = false, locked = false, on = true;
};

enum class FailKind { Exception, SysError, Error, Other };

class FakeHost : public std::enable_shared_from_this<FakeHost> {
 public:
  FakeHost();

  std::map<std::string, Variant> variables;
  std::vector<std::shared_ptr<FakeLayer>> layers;
  std::shared_ptr<FakeLayer> activeLayer;
  std::vector<std::shared_ptr<FakeBlock>> blocks;  // named blocks
  std::shared_ptr<FakeBlock> modelSpace, paperSpace;
  std::deque<std::vector<double>> picks;
  std::vector<std::string> prompts;
  std::function<double(const std::string&)> textWidth = [](const std::string& s) {
    return static_cast<double>(s.size());
  };
  bool visible = false;
  std::int32_t hwnd = 0;  // Application.HWND
  std::vector<std::string> registeredApps;
  int handles = 0;
  std::vector<Call> calls;
  // The call with this index (counted from 0 over all calls) fails.
  std::optional<std::size_t> failAt;
  FailKind failKind = FailKind::Error;

  // The application object, as a transport hands it out.
  ObjectRef application();
  // Registers a transport that answers "AutoCAD.Application" with this host while alive.
  void registerAsRunning();
  ~FakeHost();

  std::shared_ptr<FakeBlock> block(const std::string& name) const;
  std::shared_ptr<FakeLayer> layer(const std::string& name) const;
  // Records the call and fails it when it is the chosen one.
  void record(const std::string& object, std::string_view member, const Args& args);

 private:
  int transport_ = 0;
};

// Helpers for assertions.
std::vector<double> xyz(const Variant& v);
const Variant& arg(const FakeEntity& e, std::size_t i);

}  // namespace kelvo::cad::test
