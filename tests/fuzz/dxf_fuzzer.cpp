// libFuzzer target over the DXF reader, code pages included (the header of the input names the
// page): a drawing it reads must write out and read back, and the second writing must equal the
// first. A refusal (DxfError) is fine; anything else is a finding.
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvo::host;
  Document doc;
  try {
    doc = readDxf(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const DxfError&) {
    return 0;
  }
  const std::string once = writeDxf(doc);
  Document again = readDxf(once);  // what the host wrote, it must read
  if (writeDxf(again) != once) std::abort();
  return 0;
}
