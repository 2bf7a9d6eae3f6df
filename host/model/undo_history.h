// Undo groups as a CAD program keeps them: one undo puts back the drawing as it was before the
// group, one redo brings the group's work back until the drawing changes again. A group keeps
// only what it changed (what it added, and entities and layers as they were before it changed
// them), so that a big drawing is not copied for every designation.
#pragma once

#include "host/model/document.h"

#include <cstdint>
#include <deque>
#include <map>
#include <utility>
#include <vector>

namespace kelvo::host {

class UndoHistory {
 public:
  // Marks may nest; the outermost one begins a group.
  void startMark(const Document& doc);
  void endMark();
  // Called before an entity or a layer that may be older than the open group changes.
  void touchEntity(const Document& doc, std::size_t block, std::size_t index);
  void touchLayer(const Document& doc, std::size_t index);
  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  bool undo(Document& doc);
  bool redo(Document& doc);
  // A drawing opened or made anew has no history.
  void clear();

  static constexpr std::size_t kMaxSteps = 100;

 private:
  // The parts of the drawing a group changed, as they stood at one moment.
  struct State {
    std::vector<Block> newBlocks;
    std::vector<std::deque<Entity>> tails;  // for each block older than the group
    std::vector<Layer> newLayers;
    std::vector<Document::RegisteredApp> newApps;
    std::map<std::pair<std::size_t, std::size_t>, Entity> entities;
    std::map<std::size_t, Layer> layers;
    std::uint64_t nextHandle = 0;
    std::string activeLayer;
  };
  struct Group {
    std::vector<std::size_t> entityCounts;
    std::size_t layerCount = 0, appCount = 0;
    State before, after;
  };
  State capture(const Document& doc, const Group& g) const;
  static void apply(Document& doc, const Group& g, const State& s);

  std::deque<Group> done_, undone_;
  int depth_ = 0;
};

}  // namespace kelvo::host
