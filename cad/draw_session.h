// The draw command as the main window uses it over a run: a designation taken from the drawing
// is remembered, and a draw while the window is changing it replaces it (after which the new
// one is the one being changed).
#pragma once

#include "cad/draw_weld.h"

#include <optional>

namespace kelvo::cad {

class DrawSession {
 public:
  explicit DrawSession(DrawWeld::Services services) : drawing_(std::move(services)) {}
  void draw(const DrawInput& input) {
    if (!input.replaceTaken || !changing_) return drawing_.AcadDrawWeld(input);
    drawing_.AcadDrawWeld(input, *changing_);
    changing_ = drawing_.Stored;
  }
  void same(const DrawInput& input) { drawing_.DrawSame(input); }
  void table(const DrawInput& input) { drawing_.DrawSeamTable(input); }
  std::optional<int> nextNumber(const std::string& application) { return drawing_.NextFreeNumber(application); }
  std::optional<std::vector<DrawInput>> designations(const std::string& application) {
    auto found = drawing_.Designations(application);
    if (!found) return std::nullopt;
    std::vector<DrawInput> out;
    for (const FoundDesignation& f : *found) out.push_back(f.stored.input);
    return out;
  }
  std::optional<DrawInput> take(const std::string& application) {
    changing_ = drawing_.TakeFromDrawing(application);
    if (!changing_) return std::nullopt;
    return changing_->input;
  }

 private:
  DrawWeld drawing_;
  std::optional<StoredDesignation> changing_;
};

}  // namespace kelvo::cad
