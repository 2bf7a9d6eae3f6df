// The local automation protocol between Kelvo and the drawing host: length-prefixed CBOR
// messages over a per-user local socket named after the ProgID.
//   request  {"id": n, "op": "connect"|"call"|"get"|"put", "obj": h, "member": s, "args": [...]}
//   response {"id": n, "ok": true, "result": v} or {"id": n, "ok": false, "kind": k, "message": s}
// Values: null (empty), {"omitted": true}, bool, integer, double, {"cy": ten-thousandths},
// text (UTF-8), {"obj": handle}, array of doubles, {"i2": [16-bit integers]} (group codes),
// {"va": [values]} (an array of variants).
#pragma once

#include "cad/automation.h"

#include <QByteArray>
#include <QCborValue>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace kelvo::wire {

// Where the host listens for a ProgID: a socket in the user's private directory.
QString socketPath(const QString& progId);

// Object references travel as handles; each side maps them its own way.
using ToHandle = std::function<qint64(const cad::ObjectRef&)>;
using FromHandle = std::function<cad::ObjectRef(qint64)>;

QCborValue encode(const cad::Variant& v, const ToHandle& toHandle);
// Throws std::invalid_argument for a value that is none of the above.
cad::Variant decode(const QCborValue& v, const FromHandle& fromHandle);

// A whole number of a message (an id, a handle, ten-thousandths): 0 when absent; a real number
// there is a protocol error (std::invalid_argument), never converted (NaN has no integer).
qint64 integerIn(const QCborValue& v);

// A frame: 4-byte big-endian length, then the CBOR bytes.
QByteArray frame(const QCborValue& message);
// Takes one whole frame from the front of `buffer` when there is one. A frame longer than
// kMaxFrame is a protocol error (std::invalid_argument).
std::optional<QCborValue> takeFrame(QByteArray& buffer);
inline constexpr qint64 kMaxFrame = 16 << 20;

}  // namespace kelvo::wire
