#include "app/forms/qt_text.h"

#include "platform/codepage.h"

namespace kelvo {

QString toQ(std::string_view cp1251) {
  const std::u16string u = cp1251::toUtf16(cp1251);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string fromQ(const QString& text) {
  return cp1251::fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                               static_cast<std::size_t>(text.size())));
}

QValidator::State CodePageValidator::validate(QString& input, int&) const {
  const std::u16string_view u(reinterpret_cast<const char16_t*>(input.utf16()),
                              static_cast<std::size_t>(input.size()));
  return cp1251::firstUnrepresentable(u) ? Invalid : Acceptable;
}

}  // namespace kelvo
