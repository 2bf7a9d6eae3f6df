#include "platform/automation_wire.h"

#include "platform/codepage.h"
#include "platform/single_instance.h"

#include <QCborArray>
#include <QCborMap>
#include <QtEndian>

#include <stdexcept>

namespace kelvo::wire {

QString socketPath(const QString& progId) {
  return SingleInstance::directory() + QLatin1Char('/') + progId + QStringLiteral(".automation");
}

QCborValue encode(const cad::Variant& v, const ToHandle& toHandle) {
  return std::visit(
      [&](const auto& x) -> QCborValue {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) return QCborValue(nullptr);
        else if constexpr (std::is_same_v<T, cad::Omitted>) return QCborMap{{QStringLiteral("omitted"), true}};
        else if constexpr (std::is_same_v<T, bool>) return QCborValue(x);
        else if constexpr (std::is_same_v<T, std::int32_t>) return QCborValue(static_cast<qint64>(x));
        else if constexpr (std::is_same_v<T, std::int16_t>) return QCborMap{{QStringLiteral("short"), static_cast<qint64>(x)}};
        else if constexpr (std::is_same_v<T, double>) return QCborValue(x);
        else if constexpr (std::is_same_v<T, cad::Currency>) return QCborMap{{QStringLiteral("cy"), static_cast<qint64>(x.tenThousandths)}};
        else if constexpr (std::is_same_v<T, std::string>) return QCborValue(QString::fromStdString(cp1251::toUtf8(x)));
        else if constexpr (std::is_same_v<T, cad::ObjectRef>) return QCborMap{{QStringLiteral("obj"), toHandle(x)}};
        else if constexpr (std::is_same_v<T, std::vector<double>>) {
          QCborArray a;
          for (double d : x) a.append(d);
          return a;
        } else if constexpr (std::is_same_v<T, std::vector<std::int16_t>>) {
          QCborArray a;
          for (std::int16_t s : x) a.append(static_cast<qint64>(s));
          return QCborMap{{QStringLiteral("i2"), a}};
        } else {
          QCborArray a;
          for (const cad::Variant& item : x.items) a.append(encode(item, toHandle));
          return QCborMap{{QStringLiteral("va"), a}};
        }
      },
      v);
}

qint64 integerIn(const QCborValue& v) {
  if (v.isDouble()) throw std::invalid_argument("a real number where a whole number belongs");
  return v.toInteger();
}

namespace {

// Arrays of variants hold values, not further arrays of variants, in anything Kelvo sends; a
// few levels are allowed, and a deeper message is refused before it can exhaust the stack.
constexpr int kMaxNesting = 8;

cad::Variant decodeAt(const QCborValue& v, const FromHandle& fromHandle, int depth);

std::vector<std::int16_t> shortsIn(const QCborValue& v) {
  std::vector<std::int16_t> out;
  for (const QCborValue& d : v.toArray()) {
    const qint64 i = integerIn(d);
    if (!d.isInteger() || i < INT16_MIN || i > INT16_MAX) throw std::invalid_argument("a group code out of range");
    out.push_back(static_cast<std::int16_t>(i));
  }
  return out;
}

cad::VariantArray variantsIn(const QCborValue& v, const FromHandle& fromHandle, int depth) {
  if (depth >= kMaxNesting) throw std::invalid_argument("arrays nested deeper than the protocol sends");
  cad::VariantArray out;
  for (const QCborValue& item : v.toArray()) out.items.push_back(decodeAt(item, fromHandle, depth + 1));
  return out;
}

}  // namespace

cad::Variant decode(const QCborValue& v, const FromHandle& fromHandle) { return decodeAt(v, fromHandle, 0); }

namespace {

cad::Variant decodeAt(const QCborValue& v, const FromHandle& fromHandle, int depth) {
  if (v.isNull() || v.isUndefined()) return std::monostate{};
  if (v.isBool()) return v.toBool();
  if (v.isInteger()) {
    const qint64 i = v.toInteger();
    if (i < INT32_MIN || i > INT32_MAX) return static_cast<double>(i);
    return static_cast<std::int32_t>(i);
  }
  if (v.isDouble()) return v.toDouble();
  if (v.isString()) {
    // Text that Windows-1251 cannot hold arrives as the \U+XXXX escapes of CAD text.
    const QString s = v.toString();
    return cp1251::fromUtf16Escaped(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                                        static_cast<std::size_t>(s.size())));
  }
  if (v.isArray()) {
    std::vector<double> a;
    for (const QCborValue& d : v.toArray()) {
      if (!d.isDouble() && !d.isInteger()) throw std::invalid_argument("an array holds something else than numbers");
      a.push_back(d.toDouble());
    }
    return a;
  }
  if (v.isMap()) {
    const QCborMap m = v.toMap();
    if (m.contains(QStringLiteral("omitted"))) return cad::Omitted{};
    if (m.contains(QStringLiteral("cy"))) return cad::Currency{integerIn(m.value(QStringLiteral("cy")))};
    if (m.contains(QStringLiteral("short"))) {
      const qint64 s = integerIn(m.value(QStringLiteral("short")));
      if (s < INT16_MIN || s > INT16_MAX) throw std::invalid_argument("a 16-bit integer out of range");
      return static_cast<std::int16_t>(s);
    }
    if (m.contains(QStringLiteral("obj"))) return fromHandle(integerIn(m.value(QStringLiteral("obj"))));
    if (m.value(QStringLiteral("i2")).isArray()) return shortsIn(m.value(QStringLiteral("i2")));
    if (m.value(QStringLiteral("va")).isArray()) return variantsIn(m.value(QStringLiteral("va")), fromHandle, depth);
  }
  throw std::invalid_argument("a value of an unknown kind");
}

}  // namespace

QByteArray frame(const QCborValue& message) {
  const QByteArray body = message.toCbor();
  QByteArray out(4, '\0');
  qToBigEndian(static_cast<quint32>(body.size()), out.data());
  return out + body;
}

std::optional<QCborValue> takeFrame(QByteArray& buffer) {
  if (buffer.size() < 4) return std::nullopt;
  const quint32 size = qFromBigEndian<quint32>(buffer.constData());
  if (size > kMaxFrame) throw std::invalid_argument("a message longer than any the protocol sends");
  if (buffer.size() < 4 + static_cast<qsizetype>(size)) return std::nullopt;
  QCborParserError error;
  QCborValue v = QCborValue::fromCbor(buffer.mid(4, size), &error);
  buffer.remove(0, 4 + static_cast<qsizetype>(size));
  if (error.error != QCborError::NoError) throw std::invalid_argument("a message that is not CBOR");
  return v;
}

}  // namespace kelvo::wire
