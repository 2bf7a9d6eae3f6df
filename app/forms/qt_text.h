// The widget edge of the text rule: the core holds Windows-1251 bytes, widgets hold QString.
#pragma once

#include <QString>
#include <QValidator>

#include <string>
#include <string_view>

namespace kelvo {

QString toQ(std::string_view cp1251);
// Characters outside Windows-1251 cannot reach here through an edit box (CodePageValidator);
// should one arrive anyway it raises cp1251::Unrepresentable rather than being replaced.
std::string fromQ(const QString& text);

// Accepts only text that Windows-1251 can hold, so nothing typed is ever replaced later.
class CodePageValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

}  // namespace kelvo
