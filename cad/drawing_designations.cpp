#include "cad/drawing_designations.h"

namespace kelvo::cad {

namespace {

// The name of the selection set Kelvo works with; deleted again after each search.
constexpr char kSetName[] = "KELVO_SEAMS";
constexpr char kTableMark[] = "SEAMTABLE";

bool isTable(const std::vector<std::int16_t>& types, const std::vector<Variant>& values) {
  if (types.size() < 3 || values.size() < 3 || types[2] != 1000) return false;
  const auto* s = std::get_if<std::string>(&values[2]);
  return s && *s == kTableMark;
}

// A set of that name left by an earlier run that ended half-way is taken over.
AcadSelectionSet freshSet(const AcadSelectionSets& sets) {
  try {
    return sets.Add(kSetName);
  } catch (const EOleException&) {
    sets.ItemNamed(kSetName).Delete();
    return sets.Add(kSetName);
  }
}

}  // namespace

XDataArrays seamTableXData() {
  XDataArrays x;
  x.types = {1001, 1071, 1000};
  x.values.items = {std::string(kXDataApplication), static_cast<std::int32_t>(kXDataVersion), std::string(kTableMark)};
  return x;
}

DrawingDesignations findDrawingDesignations(const AcadDocument& doc) {
  DrawingDesignations found;
  AcadSelectionSets sets;
  try {
    sets = doc.SelectionSets();
  } catch (const EOleSysError&) {
    throw;
  } catch (const EOleError&) {
    found.searched = false;  // a program that serves no selection sets
    return found;
  }
  const AcadSelectionSet set = freshSet(sets);
  struct Drop {
    const AcadSelectionSet& s;
    ~Drop() {
      try {
        s.Delete();
      } catch (const EOleError&) {
        // The search's own failure, if any, is the one to report.
      }
    }
  } drop{set};
  VariantArray data;
  data.items = {std::string("INSERT"), std::string(kXDataApplication)};
  set.SelectAll({0, 1001}, data);
  const int count = set.Count();
  for (int i = 0; i < count; ++i) {
    const AcadEntity reference = set.Item(i);
    const auto [types, values] = reference.GetXData(kXDataApplication);
    if (isTable(types, values)) {
      found.tables.push_back(reference);
    } else if (auto stored = readDesignationXData(types, values)) {
      // The reference's handle as its data names it: two calls a designation, not three, on a
      // search that every numbered draw makes.
      std::string handle = stored->handles.front();
      found.designations.push_back({std::move(*stored), std::move(handle)});
    }
  }
  return found;
}

}  // namespace kelvo::cad
