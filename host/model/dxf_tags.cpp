#include "host/model/dxf_tags.h"

#include <charconv>
#include <cmath>

namespace kelvo::host {

namespace {
std::string_view trimLine(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}
// Codes whose values are text (names, handles, strings of extended data): a trailing blank
// there is data, as in a long MTEXT's 250-character pieces.
bool textCode(int c) {
  return (c >= 1 && c <= 9) || (c >= 100 && c <= 105) || (c >= 300 && c <= 369) || (c >= 390 && c <= 399) ||
         (c >= 410 && c <= 419) || (c >= 430 && c <= 439) || (c >= 470 && c <= 481) || c == 999 ||
         (c >= 1000 && c <= 1009);
}
std::string_view lineEnd(std::string_view s) {
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}
std::string_view trimCode(std::string_view s) {
  s = trimLine(s);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}
}  // namespace

Tags readTags(std::string_view text, TagNotes* notes) {
  TagNotes unused;
  TagNotes& n = notes ? *notes : unused;
  if (text.starts_with(kBinarySentinel)) {
    n.binary = true;
    Tags tags = readBinaryTags(text);
    n.missingEof = tags.empty() || !(tags.back().code == 0 && tags.back().value == "EOF");
    std::erase_if(tags, [&n](const Tag& t) { return t.code == 999 && ++n.comments; });
    return tags;
  }
  if (text.size() >= 6 && text.substr(0, 2) == "AC" && text[2] >= '0' && text[2] <= '9')
    throw DxfError("Это файл DWG. Сохраните чертёж как текстовый DXF (R2000 или новее) и откройте тот файл.");
  Tags tags;
  tags.reserve(text.size() / 12);
  std::size_t pos = 0, line = 0;
  auto next = [&](std::string_view& out) {
    if (pos >= text.size()) return false;
    const auto nl = text.find('\n', pos);
    const std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    out = text.substr(pos, end - pos);
    pos = end + 1;
    ++line;
    return true;
  };
  std::string_view codeLine, valueLine;
  while (next(codeLine)) {
    const std::string_view c = trimCode(codeLine);
    if (c.empty() && pos >= text.size()) break;
    int code = 0;
    const auto [ptr, ec] = std::from_chars(c.data(), c.data() + c.size(), code);
    if (ec != std::errc() || ptr != c.data() + c.size())
      throw DxfError("В строке " + std::to_string(line) + " должен быть код группы, а его нет: файл не является чертежом DXF или повреждён.");
    if (!next(valueLine))
      throw DxfError("Файл кончается после кода группы в строке " + std::to_string(line) + ": он обрезан.");
    if (code == 999) {
      ++n.comments;
      continue;
    }
    tags.push_back({code, std::string(textCode(code) ? lineEnd(valueLine) : trimLine(valueLine))});
    if (code == 0 && tags.back().value == "EOF") {
      while (next(codeLine))
        if (!trimCode(codeLine).empty()) ++n.afterEof;
      return tags;
    }
  }
  n.missingEof = true;
  return tags;
}

double parseReal(std::string_view s) {
  double v = 0;
  const char* b = s.data();
  while (b < s.data() + s.size() && *b == ' ') ++b;
  std::from_chars(b, s.data() + s.size(), v);
  return v;
}

std::string formatDouble(double v) {
  if (v == 0 || !std::isfinite(v)) return "0.0";
  char buf[32];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

void TagWriter::add(int code, std::string_view value) {
  const std::string c = std::to_string(code);
  out_.append(c.size() < 3 ? 3 - c.size() : 0, ' ');
  out_ += c;
  out_ += '\n';
  out_ += value;
  out_ += '\n';
}

void TagWriter::add(int code, double value) { add(code, formatDouble(value)); }
void TagWriter::add(int code, int value) { add(code, std::to_string(value)); }

void TagWriter::addAll(const Tags& tags) {
  for (const Tag& t : tags) add(t.code, t.value);
}

}  // namespace kelvo::host
