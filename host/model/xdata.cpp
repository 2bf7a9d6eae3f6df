#include "host/model/xdata.h"

#include "host/model/dxf_codepage.h"
#include "platform/codepage.h"


namespace kelvo::host {

using cad::EOleException;

namespace {

bool isText(int code) { return code == 1000 || code == 1003; }
bool isPoint(int code) { return code >= 1010 && code <= 1013; }
bool isReal(int code) { return code >= 1040 && code <= 1042; }

Tags tagsOf(int code, const cad::Variant& v) {
  if (isText(code) || code == 1002 || code == 1005) {
    const std::string s = cad::toText(v);
    if (code == 1002 && s != "{" && s != "}") throw EOleException("Invalid input: 1002 takes only { or }");
    if (code == 1005 && s.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos)
      throw EOleException("Invalid input: 1005 takes a handle");
    return {{code, s}};
  }
  if (isPoint(code)) {
    const std::vector<double> p = cad::toDoubles(v);
    if (p.size() != 3) throw EOleException("Invalid input: a point of extended data needs three coordinates");
    return {{code, formatDouble(p[0])}, {code + 10, formatDouble(p[1])}, {code + 20, formatDouble(p[2])}};
  }
  if (isReal(code)) return {{code, formatDouble(cad::toDouble(v))}};
  if (code == 1070) {
    const std::int32_t i = cad::toInt(v);
    if (i < INT16_MIN || i > INT16_MAX) throw EOleException("Invalid input: 1070 takes a 16-bit integer");
    return {{code, std::to_string(i)}};
  }
  if (code == 1071) return {{code, std::to_string(cad::toInt(v))}};
  throw EOleException("Invalid input: group code " + std::to_string(code) + " is not one of extended data");
}

}  // namespace

void setXData(const Document& doc, Entity& e, const std::vector<std::int16_t>& types,
              const std::vector<cad::Variant>& values) {
  if (types.size() != values.size() || types.empty() || types[0] != 1001)
    throw EOleException("Invalid input: extended data begins with 1001 and the application, a value for each code");
  XData data = xdataOf(doc, e);
  std::pair<std::string, Tags>* current = nullptr;
  for (std::size_t i = 0; i < types.size(); ++i) {
    if (types[i] != 1001) {
      // AutoCAD holds a string of extended data in at most 255 bytes of the drawing's encoding.
      if (types[i] == 1000 && doc.encodeForFile(cad::toText(values[i])).size() > kMaxXDataString)
        throw EOleException("Invalid input: a string of extended data is longer than 255 bytes");
      for (Tag& t : tagsOf(types[i], values[i])) current->second.push_back(std::move(t));
      continue;
    }
    const std::string app = cp1251::canonical(cad::toText(values[i]));
    if (!doc.hasApp(app)) throw EOleException("Invalid input: application " + cp1251::toUtf8(app) + " is not registered");
    std::erase_if(data, [&](const auto& d) { return cp1251::equalsIgnoreCase(d.first, app); });
    current = &data.emplace_back(app, Tags{});
  }
  e.xdata = std::move(data);
  e.original.reset();
}

cad::VariantArray getXData(const Document& doc, const Entity& e, std::string_view app) {
  std::vector<std::int16_t> codes;
  cad::VariantArray values;
  for (const auto& [name, tags] : xdataOf(doc, e)) {
    if (!app.empty() && !cp1251::equalsIgnoreCase(name, app)) continue;
    codes.push_back(1001), values.items.push_back(name);
    for (std::size_t i = 0; i < tags.size(); ++i) {
      const Tag& t = tags[i];
      codes.push_back(static_cast<std::int16_t>(t.code));
      if (isPoint(t.code) && i + 2 < tags.size()) {
        values.items.push_back(std::vector<double>{parseReal(t.value), parseReal(tags[i + 1].value), parseReal(tags[i + 2].value)});
        i += 2;
      } else if (isReal(t.code)) {
        values.items.push_back(parseReal(t.value));
      } else if (t.code == 1070) {
        // A 16-bit integer, as CAD programs answer it (VT_I2); a file's number beyond reads as 0.
        const double v = parseReal(t.value);
        values.items.push_back(static_cast<std::int16_t>(v >= INT16_MIN && v <= INT16_MAX ? v : 0));
      } else if (t.code == 1071) {
        const double v = parseReal(t.value);
        values.items.push_back(v >= INT32_MIN && v <= INT32_MAX ? static_cast<std::int32_t>(v) : 0);
      } else {
        values.items.push_back(t.value);
      }
    }
  }
  cad::VariantArray out;
  out.items.reserve(2);
  out.items.emplace_back(std::move(codes));
  out.items.emplace_back(std::move(values));
  return out;
}

XData xdataOf(const Document& doc, const Entity& e) {
  if (!e.original) return e.xdata;
  XData data;
  for (const Tag& t : *e.original) {
    if (t.code == 1001) data.emplace_back(cp1251::canonical(fromFile(t.value, doc.encoding)), Tags{});
    else if (t.code >= 1000 && t.code <= 1071 && !data.empty())
      data.back().second.push_back({t.code, isText(t.code) ? fromFile(t.value, doc.encoding) : t.value});
  }
  return data;
}

void appendXDataTags(const Document& doc, const XData& data, Tags& out) {
  for (const auto& [app, tags] : data) {
    out.push_back({1001, doc.encodeForFile(app)});
    for (const Tag& t : tags) out.push_back({t.code, isText(t.code) ? doc.encodeForFile(t.value) : t.value});
  }
}

}  // namespace kelvo::host
