#include "app/library.h"

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/ini_store.h"

#include <algorithm>
#include <filesystem>

namespace kelvo::library {

using namespace kelvo::literals;

namespace {

constexpr std::string_view kSigns = "Знаки2"_w;

struct NumberKey {
  std::string_view key;
  int low, high;
};
// The numbers of an entry and the values they may take.
constexpr NumberKey kBendSign{"Знак1"_w, 0, 3};
constexpr NumberKey kShelfSign{"Знак2"_w, 0, 3};
constexpr NumberKey kSide{"Сторона"_w, 0, 1};
constexpr NumberKey kArrow{"СтрелкаВлево"_w, 0, 1};
constexpr NumberKey kPicture{"Рисунок"_w, 0, 255};
constexpr std::string_view kGost = "ГОСТ"_w, kGostName = "НаименованиеГОСТа"_w, kTip = "Тип"_w, kSpos = "Способ"_w;

std::string guillemets(std::string_view s) { return std::string("«"_w) + std::string(s) + std::string("»"_w); }

// The file as it stands; a file that is there but cannot be read must not be taken for an empty
// library, or the next change would store one entry over all the others.
IniBatch open(const std::string& file) {
  const IniFile ini(file);
  std::error_code ec;
  if (std::filesystem::exists(filePath(file), ec) && !readWholeFile(file))
    throw LibraryError(std::string("Файл избранного "_w) + file + std::string(" не читается: изменения не сохранены."_w));
  return IniBatch(ini);
}

void commit(IniBatch& batch, const std::string& file) {
  try {
    batch.commit();
  } catch (const IniWriteError&) {
    throw LibraryError(std::string("Файл избранного "_w) + file + std::string(" не записывается: изменения не сохранены."_w));
  }
}

// A number key's value, or the reason the entry is damaged.
int readNumber(const IniStore& ini, const std::string& section, const NumberKey& k, int fallback, std::string& problem) {
  const std::string text = ini.readString(section, k.key, "\n");
  if (text == "\n") return fallback;
  int v = 0;
  if (!parseIniInteger(text, v) || v < k.low || v > k.high) {
    if (problem.empty()) problem = std::string("ключ "_w) + guillemets(k.key) + std::string(" со значением "_w) + guillemets(text);
    return fallback;
  }
  return v;
}

bool signsRead(const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view part = trimText(std::string_view(text).substr(start, comma - start));
    if (part != "1" && part != "2" && part != "3") return false;
    start = comma + 1;
  }
  return true;
}

// One entry, or the reason it does not read.
std::optional<Entry> readEntry(const IniStore& ini, const std::string& section, std::string& problem) {
  Entry e{section, {}};
  DrawInput& d = e.designation;
  bool anyField = false;
  for (int n = 1; n <= kFieldCount; ++n) {
    const std::string text = ini.readString(section, fieldDef(n).key, "\n");
    if (text == "\n") continue;
    anyField = true;
    fieldText(d.texts, n) = std::string(trimText(text));
  }
  if (!anyField) problem = std::string("в нём нет ни одного поля обозначения"_w);
  d.Znak1 = static_cast<std::uint8_t>(readNumber(ini, section, kBendSign, 0, problem));
  d.Znak2 = static_cast<std::uint8_t>(readNumber(ini, section, kShelfSign, 0, problem));
  const std::string signs = ini.readString(section, kSigns, "");
  if (!trimText(signs).empty() && !signsRead(signs) && problem.empty())
    problem = std::string("ключ "_w) + guillemets(kSigns) + std::string(" со значением "_w) + guillemets(signs);
  d.Znaki2 = ShelfSigns::parse(signs);
  if (!d.Znaki2.empty()) d.Znak2 = d.Znaki2.first();
  d.side = readNumber(ini, section, kSide, 0, problem) == 1 ? Side::Back : Side::Front;
  d.arrowLeft = readNumber(ini, section, kArrow, 1, problem) == 1;
  d.WeldData.Gost = ini.readString(section, kGost, "");
  d.WeldData.GostName = ini.readString(section, kGostName, "");
  d.WeldData.Tip = ini.readString(section, kTip, "");
  d.WeldData.Spos = ini.readString(section, kSpos, "");
  d.WeldData.RisNum = static_cast<std::uint8_t>(readNumber(ini, section, kPicture, kNoPicture, problem));
  if (!problem.empty()) return std::nullopt;
  return e;
}

bool sameName(const std::string& a, const std::string& b) { return cp1251::equalsIgnoreCase(a, b); }

}  // namespace

std::string fileName(std::string_view basePath) { return std::string(basePath) + "_lib.ini"; }

Loaded load(const std::string& file) {
  const IniBatch ini = open(file);
  Loaded out;
  const std::vector<std::string> sections = ini.sections();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const std::string& name = sections[i];
    std::string problem;
    // A second section of a name is never read by the profile functions: it would shadow nothing
    // and be changed by nothing, so it is named rather than shown.
    if (std::any_of(sections.begin(), sections.begin() + static_cast<std::ptrdiff_t>(i), [&](const std::string& s) { return sameName(s, name); }))
      problem = std::string("это имя в файле уже есть выше"_w);
    else if (nameProblem(name))
      problem = *nameProblem(name);
    std::optional<Entry> e = problem.empty() ? readEntry(ini, name, problem) : std::nullopt;
    if (e) out.entries.push_back(std::move(*e));
    else out.skipped.push_back(std::string("Запись избранного "_w) + guillemets(name) + std::string(" повреждена и пропущена ("_w) +
                               problem + std::string("); в файле она сохранена как была."_w));
  }
  return out;
}

std::optional<std::string> nameProblem(const std::string& name) {
  const std::string_view t = trimText(name);
  if (t.empty()) return std::string("Имя не может быть пустым."_w);
  if (t.size() != name.size()) return std::string("Имя не может начинаться или кончаться пробелом."_w);
  if (name.size() > 200) return std::string("Имя длиннее 200 знаков."_w);
  if (name.find_first_of("[]") != std::string::npos) return std::string("В имени не может быть квадратных скобок."_w);
  if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
    return std::string("В имени не может быть управляющих знаков."_w);
  return std::nullopt;
}

bool has(const std::string& file, const std::string& name) {
  const std::vector<std::string> sections = open(file).sections();
  return std::any_of(sections.begin(), sections.end(), [&](const std::string& s) { return sameName(s, name); });
}

void save(const std::string& file, const Entry& entry) {
  if (const auto problem = nameProblem(entry.name)) throw LibraryError(*problem);
  IniBatch ini = open(file);
  const DrawInput& d = entry.designation;
  ini.eraseSection(entry.name);
  for (int n = 1; n <= kFieldCount; ++n) ini.writeString(entry.name, fieldDef(n).key, fieldText(d.texts, n));
  ini.writeInteger(entry.name, kBendSign.key, d.Znak1);
  ini.writeInteger(entry.name, kShelfSign.key, d.Znak2);
  if (!d.Znaki2.empty()) ini.writeString(entry.name, kSigns, d.Znaki2.text());
  ini.writeInteger(entry.name, kSide.key, d.side == Side::Back ? 1 : 0);
  ini.writeInteger(entry.name, kArrow.key, d.arrowLeft ? 1 : 0);
  ini.writeString(entry.name, kGost, d.WeldData.Gost);
  ini.writeString(entry.name, kGostName, d.WeldData.GostName);
  ini.writeString(entry.name, kTip, d.WeldData.Tip);
  ini.writeString(entry.name, kSpos, d.WeldData.Spos);
  ini.writeInteger(entry.name, kPicture.key, d.WeldData.RisNum);
  commit(ini, file);
}

void rename(const std::string& file, const std::string& from, const std::string& to) {
  if (const auto problem = nameProblem(to)) throw LibraryError(*problem);
  IniBatch ini = open(file);
  const std::vector<std::string> sections = ini.sections();
  if (!sameName(from, to) && std::any_of(sections.begin(), sections.end(), [&](const std::string& s) { return sameName(s, to); }))
    throw LibraryError(std::string("В избранном уже есть обозначение с именем "_w) + guillemets(to) + ".");
  ini.renameSection(from, to);
  commit(ini, file);
}

void remove(const std::string& file, const std::string& name) {
  IniBatch ini = open(file);
  ini.eraseSection(name);
  commit(ini, file);
}

}  // namespace kelvo::library
