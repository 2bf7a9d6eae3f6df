#include "cad/take_designation.h"

#include "platform/codepage.h"

namespace kelvo::cad {

using namespace kelvo::literals;

Taken takeDesignation(const AcadDocument& doc) {
  Taken t;
  AcadEntity picked;
  try {
    picked = doc.Utility().GetEntity(std::string("Укажи обозначение шва: "_w)).first;
  } catch (const EOleException&) {
    return t;
  }
  const auto [types, values] = picked.GetXData(kXDataApplication);
  const auto stored = readDesignationXData(types, values);
  if (!stored) return t.outcome = TakeOutcome::NotADesignation, t;
  t.designation = *stored;
  try {
    for (const std::string& handle : stored->handles) doc.HandleToObject(handle);
  } catch (const EOleException&) {
    return t.outcome = TakeOutcome::PartsErased, t;
  }
  t.outcome = TakeOutcome::Taken;
  return t;
}

std::string takeMessage(TakeOutcome outcome) {
  switch (outcome) {
    case TakeOutcome::NothingPicked: return std::string("Ничего не выбрано: укажите линию, полку или текст обозначения шва."_w);
    case TakeOutcome::NotADesignation: return std::string("Выбранный объект не является обозначением шва Kelvo."_w);
    case TakeOutcome::PartsErased:
      return std::string("Часть этого обозначения шва стёрта из чертежа: изменить его нельзя, начертите заново."_w);
    case TakeOutcome::Taken: break;
  }
  return {};
}

}  // namespace kelvo::cad
