#include "host/model/undo_history.h"

namespace kelvo::host {

void UndoHistory::startMark(const Document& doc) {
  if (depth_++ > 0) return;
  Group g;
  for (const Block& b : doc.blocks) g.entityCounts.push_back(b.entities.size());
  g.layerCount = doc.layers.size(), g.appCount = doc.addedApps.size();
  g.before.nextHandle = doc.nextHandle, g.before.activeLayer = doc.activeLayer;
  done_.push_back(std::move(g));
  if (done_.size() > kMaxSteps) done_.pop_front();
  undone_.clear();
}

void UndoHistory::endMark() {
  if (depth_ > 0) --depth_;
}

void UndoHistory::touchEntity(const Document& doc, std::size_t block, std::size_t index) {
  if (depth_ == 0 || done_.empty()) return;
  Group& g = done_.back();
  if (block >= g.entityCounts.size() || index >= g.entityCounts[block]) return;  // added by the group
  g.before.entities.try_emplace({block, index}, doc.blocks[block].entities[index]);
}

void UndoHistory::touchLayer(const Document& doc, std::size_t index) {
  if (depth_ == 0 || done_.empty() || index >= done_.back().layerCount) return;
  done_.back().before.layers.try_emplace(index, doc.layers[index]);
}

UndoHistory::State UndoHistory::capture(const Document& doc, const Group& g) const {
  State s;
  const std::size_t oldBlocks = g.entityCounts.size();
  for (std::size_t b = oldBlocks; b < doc.blocks.size(); ++b) s.newBlocks.push_back(doc.blocks[b]);
  for (std::size_t b = 0; b < oldBlocks && b < doc.blocks.size(); ++b) {
    const auto& all = doc.blocks[b].entities;
    s.tails.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(std::min(g.entityCounts[b], all.size())), all.end());
  }
  for (std::size_t i = g.layerCount; i < doc.layers.size(); ++i) s.newLayers.push_back(doc.layers[i]);
  for (std::size_t i = g.appCount; i < doc.addedApps.size(); ++i) s.newApps.push_back(doc.addedApps[i]);
  for (const auto& [key, e] : g.before.entities) s.entities.emplace(key, doc.blocks[key.first].entities[key.second]);
  for (const auto& [i, l] : g.before.layers) s.layers.emplace(i, doc.layers[i]);
  s.nextHandle = doc.nextHandle, s.activeLayer = doc.activeLayer;
  return s;
}

void UndoHistory::apply(Document& doc, const Group& g, const State& s) {
  const std::size_t oldBlocks = g.entityCounts.size();
  doc.blocks.resize(oldBlocks);
  for (const Block& b : s.newBlocks) doc.blocks.push_back(b);
  for (std::size_t b = 0; b < oldBlocks; ++b) {
    auto& all = doc.blocks[b].entities;
    all.resize(g.entityCounts[b]);
    if (b < s.tails.size()) all.insert(all.end(), s.tails[b].begin(), s.tails[b].end());
  }
  doc.layers.resize(g.layerCount);
  doc.layers.insert(doc.layers.end(), s.newLayers.begin(), s.newLayers.end());
  doc.addedApps.resize(g.appCount);
  doc.addedApps.insert(doc.addedApps.end(), s.newApps.begin(), s.newApps.end());
  for (const auto& [key, e] : s.entities) doc.blocks[key.first].entities[key.second] = e;
  for (const auto& [i, l] : s.layers) doc.layers[i] = l;
  doc.nextHandle = s.nextHandle, doc.activeLayer = s.activeLayer;
  doc.modified = true;
}

bool UndoHistory::undo(Document& doc) {
  if (done_.empty()) return false;
  depth_ = 0;  // a group a client left open ends here
  Group g = std::move(done_.back());
  done_.pop_back();
  g.after = capture(doc, g);
  apply(doc, g, g.before);
  undone_.push_back(std::move(g));
  return true;
}

bool UndoHistory::redo(Document& doc) {
  if (undone_.empty()) return false;
  Group g = std::move(undone_.back());
  undone_.pop_back();
  apply(doc, g, g.after);
  done_.push_back(std::move(g));
  return true;
}

void UndoHistory::clear() {
  done_.clear();
  undone_.clear();
  depth_ = 0;
}

}  // namespace kelvo::host
