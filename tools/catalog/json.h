// A small JSON writer for the tools: Windows-1251 text in, UTF-8 JSON out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo::tools {

// A quoted JSON string of cp1251 text.
std::string jsonString(std::string_view cp1251);
std::string jsonStrings(const std::vector<std::string>& cp1251);

// Builds one JSON object field by field: {"a":1,"b":"x"}.
class JsonObject {
 public:
  JsonObject& raw(std::string_view key, std::string_view json);
  JsonObject& text(std::string_view key, std::string_view cp1251);
  JsonObject& number(std::string_view key, long long value);
  JsonObject& boolean(std::string_view key, bool value);
  std::string str() const { return body_ + "}"; }

 private:
  std::string body_ = "{";
};

std::string jsonArray(const std::vector<std::string>& jsonItems);

}  // namespace kelvo::tools
