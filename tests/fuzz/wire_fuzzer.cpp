// libFuzzer target over the host's message decoder: the bytes as a connection delivers them,
// in pieces of the sizes the first byte picks, taken frame by frame and every value decoded. A
// refusal (std::invalid_argument, a handle the connection does not hold) is fine; anything else
// is a finding.
#include "platform/automation_wire.h"

#include <QCborArray>
#include <QCborMap>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvo;
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  QByteArray buffer;
  const auto noObjects = [](qint64) -> cad::ObjectRef { throw cad::EOleError("no such object"); };
  try {
    for (std::size_t at = 1; at < size; at += piece) {
      buffer.append(reinterpret_cast<const char*>(data) + at, static_cast<qsizetype>(std::min(piece, size - at)));
      while (const auto message = wire::takeFrame(buffer)) {
        const QCborMap m = message->toMap();
        wire::integerIn(m.value(QStringLiteral("id")));  // as the host reads a call's id and object
        wire::integerIn(m.value(QStringLiteral("obj")));
        for (const QCborValue& a : m.value(QStringLiteral("args")).toArray()) {
          try {
            wire::decode(a, noObjects);
          } catch (const cad::EOleError&) {
          }
        }
        wire::decode(m.value(QStringLiteral("result")), noObjects);
      }
    }
  } catch (const std::invalid_argument&) {
  } catch (const cad::EOleError&) {
  }
  return 0;
}
