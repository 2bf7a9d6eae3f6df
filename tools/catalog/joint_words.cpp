// Reading a joint row's three texts into the shape its picture shows. Every word must be known:
// a word passed over would give a joint the picture of another.
#include "platform/codepage.h"
#include "tools/catalog/joint_picture.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace kelvo::tools {

using namespace kelvo::literals;

namespace {

std::vector<std::string_view> wordsOf(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

bool allKnown(const std::vector<std::string_view>& words, std::initializer_list<std::string_view> known) {
  return std::all_of(words.begin(), words.end(), [&](std::string_view w) {
    return std::find(known.begin(), known.end(), w) != known.end();
  });
}

bool hasWord(const std::vector<std::string_view>& words, std::string_view w) {
  return std::find(words.begin(), words.end(), w) != words.end();
}

// Takes a trailing phrase off the text; whether it was there.
bool takeSuffix(std::string_view& text, std::string_view suffix) {
  if (text.size() < suffix.size() || !text.ends_with(suffix)) return false;
  text.remove_suffix(suffix.size());
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return true;
}

struct TypeWords {
  JointFamily family;
  Arrangement arrangement;
};

std::optional<TypeWords> typeOf(std::string_view type) {
  const std::size_t space = type.find(' ');
  const std::string_view first = type.substr(0, space);
  const std::string_view rest = space == std::string_view::npos ? std::string_view() : type.substr(space + 1);
  struct Name {
    std::string_view word;
    JointFamily family;
  };
  static constexpr Name families[] = {{"Стыковое"_w, JointFamily::Butt},
                                      {"Угловое"_w, JointFamily::Corner},
                                      {"Тавровое"_w, JointFamily::Tee},
                                      {"Нахлесточное"_w, JointFamily::Lap}};
  struct Parts {
    JointFamily family;
    std::string_view words;
    Arrangement arrangement;
  };
  static constexpr Parts arrangements[] = {
      {JointFamily::Butt, "соединение трубы с трубой или с арматурой"_w, Arrangement::Pipes},
      {JointFamily::Butt, "соединение секторов колен (отводов)"_w, Arrangement::ElbowSectors},
      {JointFamily::Butt, "соединение фланца с трубой"_w, Arrangement::FlangeToPipe},
      {JointFamily::Lap, "соединение промежуточного штуцера или ниппеля с трубой"_w, Arrangement::Nipple},
      {JointFamily::Lap, "соединение труб с раздачей одного конца трубы"_w, Arrangement::ExpandedEnd},
      {JointFamily::Lap, "соединение труб муфтой"_w, Arrangement::Sleeve},
      {JointFamily::Corner, "соединение фланца или кольца с трубой"_w, Arrangement::FlangeOnPipe},
      {JointFamily::Corner, "соединение отростка с трубой равных размеров"_w, Arrangement::EqualBranch},
      {JointFamily::Corner, "соединение отростка, ответвительного штуцера или приварыша с трубой"_w,
       Arrangement::Branch},
      {JointFamily::Corner, "соединение ответвительного штуцера или приварыша с трубой"_w, Arrangement::Branch},
  };
  for (const Name& n : families) {
    if (first != n.word) continue;
    if (rest.empty()) return TypeWords{n.family, Arrangement::Plates};
    for (const Parts& p : arrangements)
      if (p.family == n.family && rest == p.words) return TypeWords{n.family, p.arrangement};
    return std::nullopt;
  }
  return std::nullopt;
}

// The edge form into `s`; false for a word not known here.
bool readEdges(std::string_view edges, JointShape& s) {
  s.boring = takeSuffix(edges, "с расточкой"_w);
  s.expansion = takeSuffix(edges, "с раздачей"_w);
  s.gouged = takeSuffix(edges, "с последующей строжкой"_w);
  const auto w = wordsOf(edges);
  if (w.empty()) {
    s.prep = EdgePrep::NotGiven;
    return !s.boring && !s.expansion && !s.gouged;
  }
  if (!allKnown(w, {"С"_w, "Со"_w, "Без"_w, "скоса"_w, "скосом"_w, "скосами"_w, "двумя"_w, "симметричными"_w,
                    "несимметричными"_w, "симметричным"_w, "криволинейным"_w, "криволинейными"_w, "ломаным"_w,
                    "ломаными"_w, "одной"_w, "двух"_w, "кромки"_w, "кромок"_w, "отбортовкой"_w}))
    return false;
  s.onePart = hasWord(w, "одной"_w);
  // "С симметричным скосом одной кромки": one edge cut from both faces alike.
  const bool twice = hasWord(w, "двумя"_w) || hasWord(w, "симметричным"_w);
  s.asymmetric = hasWord(w, "несимметричными"_w);
  if (hasWord(w, "Без"_w)) s.prep = EdgePrep::Square;
  else if (hasWord(w, "отбортовкой"_w)) s.prep = s.onePart ? EdgePrep::FlangedOne : EdgePrep::FlangedBoth;
  else if (hasWord(w, "криволинейным"_w) || hasWord(w, "криволинейными"_w))
    s.prep = twice ? EdgePrep::DoubleCurved : EdgePrep::Curved;
  else if (hasWord(w, "ломаным"_w) || hasWord(w, "ломаными"_w)) s.prep = twice ? EdgePrep::DoubleBroken : EdgePrep::Broken;
  else if (hasWord(w, "скосом"_w) || hasWord(w, "скосами"_w)) s.prep = twice ? EdgePrep::DoubleBevel : EdgePrep::Bevel;
  else return false;
  if (s.prep == EdgePrep::FlangedOne) s.onePart = true;
  return true;
}

bool readCharacter(std::string_view character, JointShape& s) {
  const auto w = wordsOf(character);
  if (!allKnown(w, {"Односторонний"_w, "Двусторонний"_w, "на"_w, "съемной"_w, "остающейся"_w, "или"_w,
                    "стальной"_w, "цилиндрической"_w, "конической"_w, "подкладке"_w, "замковый"_w, "с"_w,
                    "расплавляемой"_w, "вставкой"_w, "цилиндрическом"_w, "усе"_w, "раздачей"_w, "и"_w,
                    "развальцовкой"_w, "двойной"_w}))
    return false;
  s.twoSided = hasWord(w, "Двусторонний"_w);
  s.doubleWeld = hasWord(w, "двойной"_w);
  if (hasWord(w, "подкладке"_w)) {
    if (hasWord(w, "конической"_w)) s.backing = Backing::Conical;
    else if (hasWord(w, "остающейся"_w)) s.backing = Backing::Strip;
    else s.backing = Backing::Removable;
  } else if (hasWord(w, "замковый"_w)) {
    s.backing = Backing::Lock;
  } else if (hasWord(w, "вставкой"_w)) {
    s.backing = Backing::Insert;
  } else if (hasWord(w, "усе"_w)) {
    s.backing = Backing::Spigot;
  } else if (hasWord(w, "развальцовкой"_w)) {
    s.backing = Backing::Flare;
  }
  return true;
}

}  // namespace

std::optional<JointShape> shapeOf(std::string_view type, std::string_view edges, std::string_view character) {
  const auto t = typeOf(type);
  if (!t) return std::nullopt;
  JointShape s;
  s.family = t->family;
  s.arrangement = t->arrangement;
  if (!readEdges(edges, s) || !readCharacter(character, s)) return std::nullopt;
  return s;
}

}  // namespace kelvo::tools
