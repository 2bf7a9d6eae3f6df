// libFuzzer target over the DXF reader, code pages included (the header of the input names the
// page): a drawing it reads must write out and read back as the same drawing, nothing lost or
// doubled. A refusal (DxfError) is fine; anything else is a finding. (Byte-equal second writings
// are too much to ask of malformed input: entities a file puts in the wrong section move to the
// right one.) What the host would show of it, and a snap in it, must not fail either: the
// display reads the tags of every entity kind the model keeps only as tags.
#include "host/model/display.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/snap.h"

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
  for (const Block* space : {&doc.blocks[0], &doc.blocks[1]}) {
    const Picture shown = pictureOf(doc, *space, 50000);  // enough to reach every kind, quickly
    if (!shown.empty()) {
      const P2 middle{(shown.min[0] + shown.max[0]) / 2, (shown.min[1] + shown.max[1]) / 2};
      (void)snapPoint(shown, middle, 1 + (shown.max[0] - shown.min[0]) / 10, shown.min);
    }
  }
  const std::string once = writeDxf(doc);
  const Document again = readDxf(once);  // what the host wrote, it must read
  // (The handle seed may come back lower: a handle the input held on something not written back,
  // a stray tag, is free again.)
  if (again.entityCount() != doc.entityCount() || again.layers.size() != doc.layers.size() ||
      again.blocks.size() != doc.blocks.size())
    std::abort();
  return 0;
}
