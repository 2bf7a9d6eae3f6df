// A DXF file as its sections and their objects (each object from its 0 tag to the next), for
// the passes that put a drawing into the form the reader and the writer know before it is read:
// recovery of a malformed file, and the R2000 form of an older one.
#pragma once

#include "host/model/dxf_tags.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kelvo::host {

struct DxfSection {
  std::string name;
  std::vector<Tags> objects;  // the HEADER's "object" is its variables' tags, in one
};

// What was changed in a drawing so that it could be read: each kind of repair with its count.
class Repairs {
 public:
  void add(const std::string& what, std::size_t n = 1) {
    if (n) counts_[what] += n;
  }
  bool empty() const { return counts_.empty(); }
  // One line each, in the user's language: "what: n".
  std::vector<std::string> lines() const;

 private:
  std::map<std::string, std::size_t> counts_;
};

struct DxfStructure {
  std::vector<DxfSection> sections;
  DxfSection* find(const std::string& name);
};

// The tags again, every section closed and the file ended.
Tags flatten(DxfStructure&& s);

// Splits the tags into sections. What stands outside every section is put right and counted
// in `repairs`: entities go into ENTITIES, header variables back into the HEADER they left,
// anything else is left out.
DxfStructure splitSections(Tags&& tags, Repairs& repairs);

// The value of a header variable ($ACADVER...), if the HEADER has it with a value.
const std::string* headerValue(const DxfStructure& s, std::string_view name);
// Sets it, adding the variable (and the HEADER) where the file lacks them.
void setHeaderValue(DxfStructure& s, std::string_view name, const Tag& value);

// Gives an older drawing (R12 and before, or without a version) the R2000 form: handles,
// owners, subclass markers, the BLOCK_RECORD table and its version. Newer objects in such a
// file that already have their form keep it. A file that says it is R12 or older loses what R12
// has no place for (CLASSES, OBJECTS, a BLOCK_RECORD table); one without a version keeps it.
void upgradeLegacy(DxfStructure& s, Repairs& repairs, bool declaredR12);

// Gives every object that has none, or shares another's, a handle of its own, and an entity
// whose owner is no object of the file the block it stands in.
void repairHandles(DxfStructure& s, Repairs& repairs);

// The code of an object's handle: DIMSTYLE's is 105, its 5 being DIMBLK's name in R12.
int handleCode(std::string_view type);
// Every handle the objects of the file give themselves.
std::set<std::uint64_t> objectHandles(const DxfStructure& s);
// The first handle above them and the header's seed; at least 100h, below which the writer's
// fixed handles of a new drawing's parts lie.
std::uint64_t firstFreeHandle(const DxfStructure& s, const std::set<std::uint64_t>& handles);

// A handle as a number; 0 for none.
std::uint64_t handleValue(std::string_view s);
std::string handleText(std::uint64_t h);

}  // namespace kelvo::host
