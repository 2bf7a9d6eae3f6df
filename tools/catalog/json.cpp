#include "tools/catalog/json.h"

#include "platform/codepage.h"

#include <cstdio>

namespace kelvo::tools {

std::string jsonString(std::string_view cp1251) {
  std::string out = "\"";
  for (char c : cp1251::toUtf8(cp1251)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string jsonArray(const std::vector<std::string>& jsonItems) {
  std::string out = "[";
  for (std::size_t i = 0; i < jsonItems.size(); ++i) {
    if (i) out += ',';
    out += jsonItems[i];
  }
  return out + "]";
}

std::string jsonStrings(const std::vector<std::string>& cp1251) {
  std::vector<std::string> items;
  for (const auto& s : cp1251) items.push_back(jsonString(s));
  return jsonArray(items);
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
  if (body_.size() > 1) body_ += ',';
  body_ += jsonString(key);
  body_ += ':';
  body_ += json;
  return *this;
}

JsonObject& JsonObject::text(std::string_view key, std::string_view cp1251) {
  return raw(key, jsonString(cp1251));
}

JsonObject& JsonObject::number(std::string_view key, long long value) {
  return raw(key, std::to_string(value));
}

JsonObject& JsonObject::boolean(std::string_view key, bool value) {
  return raw(key, value ? "true" : "false");
}

}  // namespace kelvo::tools
