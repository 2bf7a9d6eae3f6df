// Served calls as JSON lines: texts in UTF-8, objects by their label.
#include "host/model/object_model.h"

#include "host/model/dxf_tags.h"
#include "platform/codepage.h"

#include <cstdio>

namespace kelvo::host {

using cad::ObjectRef;
using cad::Variant;

namespace {

void appendJsonString(std::string& out, const std::string& utf8) {
  out += '"';
  for (char c : utf8) {
    if (c == '"' || c == '\\') out += '\\', out += c;
    else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
      out += buf;
    } else out += c;
  }
  out += '"';
}

}  // namespace

std::string variantJson(const Variant& v) {
  std::string out;
  std::visit(
      [&out](const auto& x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate> || std::is_same_v<T, cad::Omitted>) out += "null";
        else if constexpr (std::is_same_v<T, bool>) out += x ? "true" : "false";
        else if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::int16_t>) out += std::to_string(x);
        else if constexpr (std::is_same_v<T, double>) out += formatDouble(x);
        else if constexpr (std::is_same_v<T, cad::Currency>) out += formatDouble(static_cast<double>(x.tenThousandths) / 1e4);
        else if constexpr (std::is_same_v<T, std::string>) appendJsonString(out, cp1251::toUtf8(x));
        else if constexpr (std::is_same_v<T, ObjectRef>) {
          out += "{\"object\":";
          appendJsonString(out, hostObjectLabel(x));
          out += '}';
        } else if constexpr (std::is_same_v<T, std::vector<double>>) {
          out += '[';
          for (std::size_t i = 0; i < x.size(); ++i) out += (i ? "," : "") + formatDouble(x[i]);
          out += ']';
        } else if constexpr (std::is_same_v<T, std::vector<std::int16_t>>) {
          out += '[';
          for (std::size_t i = 0; i < x.size(); ++i) out += (i ? "," : "") + std::to_string(x[i]);
          out += ']';
        } else {
          out += '[';
          for (std::size_t i = 0; i < x.items.size(); ++i) out += (i ? "," : "") + variantJson(x.items[i]);
          out += ']';
        }
      },
      v);
  return out;
}

std::string transcriptLine(const std::string& object, const std::string& member, const cad::Args& args,
                           const cad::Variant& result) {
  std::string line = "{\"object\":";
  appendJsonString(line, object);
  line += ",\"member\":";
  appendJsonString(line, member);
  line += ",\"args\":[";
  for (std::size_t i = 0; i < args.size(); ++i) line += (i ? "," : "") + variantJson(args[i]);
  return line + "],\"result\":" + variantJson(result) + "}";
}

}  // namespace kelvo::host
