// The commands over the drawing's seam numbers: the next free number, the check that a number is
// not given to another seam, and the number-only designation of an identical seam.
#include "cad/draw_weld.h"

#include "platform/codepage.h"

namespace kelvo::cad {

using namespace kelvo::literals;

namespace {

std::string guillemets(const std::string& s) { return std::string("«"_w) + s + std::string("»"_w); }

// GOST's leader and shelf of an identical seam: the number alone, on the shelf for the front
// side and under it for the back, with the window's arrow.
DrawInput numberOnly(const DrawInput& in) {
  DrawInput out;
  out.texts[1] = std::string(trimText(in.texts[1]));
  out.side = in.side, out.arrowLeft = in.arrowLeft;
  out.LayerName = in.LayerName, out.NumberType = in.NumberType, out.Application = in.Application;
  return out;
}

}  // namespace

void DrawWeld::Connect(const std::string& application) {
  DrawInput connect;
  connect.Application = application;
  in_ = connect;
  Start_ACAD();
}

// A CAD program without selection sets cannot be searched: said once, in the user's words.
std::optional<DrawingDesignations> DrawWeld::Search(const char* procedure) {
  DrawingDesignations found = findDrawingDesignations(AcadDoc);
  if (found.searched) return found;
  Warn(procedure, std::string("CAD-программа не даёт найти обозначения швов в чертеже (нет SelectionSets)."_w));
  return std::nullopt;
}

std::optional<int> DrawWeld::NextFreeNumber(const std::string& application) {
  Connect(application);
  std::optional<int> next;
  Guarded("NextFreeNumber", [&] {
    if (const auto found = Search("NextFreeNumber")) next = nextFreeNumber(found->designations);
  });
  return next;
}

std::optional<std::vector<FoundDesignation>> DrawWeld::Designations(const std::string& application) {
  Connect(application);
  std::optional<std::vector<FoundDesignation>> out;
  Guarded("Designations", [&] {
    if (auto found = Search("Designations")) out = std::move(found->designations);
  });
  return out;
}

bool DrawWeld::NumberIsFree() {
  if (in_.texts[1].empty() || isNumberOnly(in_)) return true;
  const DrawingDesignations found = findDrawingDesignations(AcadDoc);
  const std::string replaced = replacing_ && !replacing_->handles.empty() ? replacing_->handles.front() : "";
  const FoundDesignation* taken = numberTakenBy(found.designations, in_, replaced);
  if (!taken) return true;
  Warn("AcadDrawWeld", std::string("Номер шва "_w) + guillemets(in_.texts[1]) +
                           std::string(" уже дан в чертеже другому шву: "_w) + guillemets(shelfText(taken->stored.input, true)) +
                           std::string(". Дайте этому шву следующий свободный номер ("_w) +
                           std::to_string(nextFreeNumber(found.designations)) +
                           std::string(") или начертите такой же шов кнопкой «Такой же»."_w));
  return false;
}

void DrawWeld::DrawSame(const DrawInput& input) {
  const std::string number(trimText(input.texts[1]));
  if (number.empty()) {
    Warn("DrawSame", std::string("У обозначения нет номера шва: такой же шов получает номер своего обозначения. Заполните поле номера."_w));
    return;
  }
  Begin(numberOnly(input));
  Start_ACAD();
  Guarded("DrawSame", [&] {
    const auto found = Search("DrawSame");
    if (!found) return;
    const std::vector<const FoundDesignation*> full = fullDesignationsNumbered(found->designations, number);
    if (full.empty()) {
      Warn("DrawSame", std::string("В чертеже нет обозначения шва № "_w) + number +
                           std::string(". Начертите его («Чертить»), затем — такие же швы."_w));
      return;
    }
    for (const FoundDesignation* f : full)
      if (!isNumberOnly(input) && !sameSeam(f->stored.input, input)) {
        Warn("DrawSame", std::string("Номер шва "_w) + guillemets(number) + std::string(" в чертеже дан другому шву: "_w) +
                             guillemets(shelfText(f->stored.input, true)) +
                             std::string(". Такой же шов — только такого же обозначения."_w));
        return;
      }
    const int total = seamsNumbered(found->designations, number) + 1;
    std::vector<FoundDesignation> recount;
    for (const FoundDesignation* f : full)
      if (const auto count = seamNumber(f->stored.input.texts[0]); count && *count != total) recount.push_back(*f);
    const DrawInput reference = in_;
    try {
      DrawGuarded([&] { DrawSameMarked(reference, recount, total); });
    } catch (const LayerUnusable& refused) {
      Warn("DrawSame", refused.reason);
    }
  });
}

// The new seam, then each full designation again at its own points with the count of the seams
// its number now carries, all in one undo group.
void DrawWeld::DrawSameMarked(const DrawInput& reference, const std::vector<FoundDesignation>& recount, int total) {
  askDirection_ = false;
  DrawMarked();
  askDirection_ = true;
  for (const FoundDesignation& f : recount) {
    DrawInput counted = f.stored.input;
    counted.texts[0] = std::to_string(total);
    counted.LayerName = reference.LayerName, counted.Application = reference.Application;
    Begin(counted);
    replacing_ = &f.stored;
    struct Reset {
      const StoredDesignation*& r;
      ~Reset() { r = nullptr; }
    } reset{replacing_};
    DrawMarked();
  }
}

}  // namespace kelvo::cad
