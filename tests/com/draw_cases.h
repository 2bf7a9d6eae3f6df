// Designations that reach every drawing routine, drawn in-process by the real document: the
// reference every transport must reproduce call for call and byte for byte.
#pragma once

#include "app/weld_record.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace kelvo::test {

struct DrawCase {
  const char* name;
  std::array<const char*, 8> texts;  // UTF-8
  Side side;
  bool arrowLeft;
  std::uint8_t znak1, znak2;
  const char* picks;
  const char* layer;  // UTF-8
};

const std::vector<DrawCase>& drawCases();

// The case's designation, reaching the CAD program through `application` (a ProgID list).
DrawInput caseInput(const DrawCase& c, const std::string& application);

struct Drawn {
  std::string dxf;
  std::string transcript;  // one JSON line a served call
  std::vector<std::string> messages;
};
// Drawn in-process into a new drawing at a fixed time of day.
Drawn drawInProcess(const DrawCase& c);

// The time of day every reference drawing was made at (it names the weld block).
std::tm referenceTime();

// Where the reference files live: KELVO_GOLDEN_DIR/<case>.dxf and <case>.jsonl.
std::string goldenFile(const DrawCase& c, const char* extension);

}  // namespace kelvo::test
