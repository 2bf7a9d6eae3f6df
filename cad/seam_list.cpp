#include "cad/seam_list.h"

#include "cad/shelf_layout.h"
#include "platform/codepage.h"

#include <algorithm>

namespace kelvo::cad {

std::optional<int> seamNumber(const std::string& field2) {
  const std::string_view t = trimText(field2);
  if (t.empty() || t.size() > 9 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int n = std::stoi(std::string(t));
  return n > 0 ? std::optional<int>(n) : std::nullopt;
}

bool sameNumber(const std::string& a, const std::string& b) {
  const auto na = seamNumber(a), nb = seamNumber(b);
  if (na && nb) return *na == *nb;
  return trimText(a) == trimText(b);
}

bool isNumberOnly(const DrawInput& in) {
  for (std::size_t i = 2; i < in.texts.size(); ++i)
    if (!isEmptyText(in.texts[i])) return false;
  return !isEmptyText(in.texts[1]) && in.Znak1 == 0 && shelfSignsOf(in).empty();
}

bool sameSeam(const DrawInput& a, const DrawInput& b) {
  for (std::size_t i = 2; i < a.texts.size(); ++i)
    if (trimText(a.texts[i]) != trimText(b.texts[i])) return false;
  return a.Znak1 == b.Znak1 && shelfSignsOf(a) == shelfSignsOf(b);
}

int nextFreeNumber(const std::vector<FoundDesignation>& found) {
  int largest = 0;
  for (const FoundDesignation& f : found)
    if (const auto n = seamNumber(f.stored.input.texts[1])) largest = std::max(largest, *n);
  return largest + 1;
}

namespace {

bool numbered(const FoundDesignation& f, const std::string& number) {
  return !isEmptyText(f.stored.input.texts[1]) && sameNumber(f.stored.input.texts[1], number);
}

int declaredCount(const DrawInput& in) { return seamNumber(in.texts[0]).value_or(0); }

}  // namespace

std::vector<const FoundDesignation*> fullDesignationsNumbered(const std::vector<FoundDesignation>& found,
                                                               const std::string& number) {
  std::vector<const FoundDesignation*> out;
  for (const FoundDesignation& f : found)
    if (numbered(f, number) && !isNumberOnly(f.stored.input)) out.push_back(&f);
  return out;
}

const FoundDesignation* numberTakenBy(const std::vector<FoundDesignation>& found, const DrawInput& input,
                                      const std::string& replacing) {
  if (isEmptyText(input.texts[1]) || isNumberOnly(input)) return nullptr;
  for (const FoundDesignation* f : fullDesignationsNumbered(found, input.texts[1]))
    if (!cp1251::equalsIgnoreCase(f->handle, replacing) && !sameSeam(f->stored.input, input)) return f;
  return nullptr;
}

int seamsNumbered(const std::vector<FoundDesignation>& found, const std::string& number) {
  return static_cast<int>(std::count_if(found.begin(), found.end(), [&](const FoundDesignation& f) { return numbered(f, number); }));
}

std::vector<SeamRow> seamRows(const std::vector<FoundDesignation>& found) {
  std::vector<SeamRow> rows;
  // Each distinct full designation of a number gets a row (a drawing from before numbers were
  // checked may give one number to two seams); the number-only ones count with the first.
  for (const FoundDesignation& f : found) {
    const DrawInput& in = f.stored.input;
    const std::string number(trimText(in.texts[1]));
    auto same = [&](const SeamRow& r) {
      if (number.empty()) return r.number.empty() && sameSeam(r.designation, in);
      return !r.number.empty() && sameNumber(r.number, number) &&
             (isNumberOnly(in) || isNumberOnly(r.designation) || sameSeam(r.designation, in));
    };
    auto row = std::find_if(rows.begin(), rows.end(), same);
    if (row == rows.end()) {
      rows.push_back({number, in, 0});
      row = rows.end() - 1;
    } else if (isNumberOnly(row->designation) && !isNumberOnly(in)) {
      row->designation = in;  // the full one stands for the number
    }
    row->count += number.empty() ? std::max(1, declaredCount(in)) : 1;
  }
  for (SeamRow& r : rows) {
    if (r.number.empty()) continue;
    if (!isNumberOnly(r.designation)) r.count = std::max(r.count, declaredCount(r.designation));
    else r.designation = DrawInput{};
  }
  std::stable_sort(rows.begin(), rows.end(), [](const SeamRow& a, const SeamRow& b) {
    const auto na = seamNumber(a.number), nb = seamNumber(b.number);
    if (a.number.empty() != b.number.empty()) return b.number.empty();
    if (na && nb) return *na < *nb;
    if (na || nb) return na.has_value();
    return a.number < b.number;
  });
  return rows;
}

namespace {

// AutoCAD's control codes in a text as the characters they show.
std::string decodeControlCodes(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s.compare(i, 2, "%%") != 0 || i + 2 >= s.size()) {
      out += s[i];
      continue;
    }
    const char c = static_cast<char>(s[i + 2] | 0x20);
    if (c == 'd') out += "\xB0";                // degree
    else if (c == 'p') out += "\xB1";           // plus-minus
    else if (c == 'c') out += "\\U+2300";       // diameter
    else if (s[i + 2] == '%') out += "%";
    else out += s.substr(i, 3);
    i += 2;
  }
  return out;
}

}  // namespace

std::string shelfText(const DrawInput& in, bool plain) {
  DrawInput trimmed = in;
  for (std::string& t : trimmed.texts) t = std::string(trimText(t));
  const shelf::Prepared p = shelf::prepare(trimmed);
  shelf::Input parts;
  parts.standard = p.standard, parts.joint = p.joint, parts.method = p.method, parts.leg = p.leg;
  // As the shelf has it: joint and method only behind a standard, the leg after its triangle.
  std::string s = p.standard.empty() ? std::string() : shelf::compositeStandardText(parts);
  if (!p.leg.empty()) s += (s.empty() || s.back() == '-' ? "" : " ") + std::string(plain ? "" : "\\U+22BF") + p.leg;
  if (!plain) {
    // Remove the reinforcement (an arc), treat the sags (waves), seam along an open line (bracket).
    static const char* const signs[] = {"", "\\U+2312", "\\U+223F", "\\U+2290"};
    for (std::uint8_t code : shelfSignsOf(in).codes()) s += std::string(" ") + signs[code];
    if (!p.roughness.empty()) s += " \\U+221A" + p.roughness;
    if (in.Znak1 == 1 || in.Znak1 == 3) s = "\\U+25CB " + s;  // seam along a closed line
    if (in.Znak1 == 2 || in.Znak1 == 3) s = "\\U+2691 " + s;  // seam made at installation
  } else if (!p.roughness.empty()) {
    s += " " + p.roughness;
  }
  s = decodeControlCodes(s);
  return plain ? s : cp1251::toUtf8(cp1251::decodeEscaped(s));
}

namespace {

std::string csvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

std::string seamRowsCsv(const std::vector<SeamRow>& rows) {
  // The mark tells a spreadsheet the text is UTF-8 (Excel reads it as the ANSI code page without).
  std::string out = "\xEF\xBB\xBF" "Номер шва,Обозначение шва,Количество\r\n";
  for (const SeamRow& r : rows)
    out += csvField(cp1251::toUtf8(r.number)) + "," + csvField(shelfText(r.designation)) + "," + std::to_string(r.count) + "\r\n";
  return out;
}

}  // namespace kelvo::cad
