#include "app/win32/NumberField.h"

#include <string>

#include "app/MainWindowRules.h"
#include "app/TriggerText.h"

using namespace Vesperon;

void CNumberField::Attach(HWND owner, HWND field, HWND upDown) {
  owner_ = owner;
  field_.Attach(field);
  upDown_.Attach(upDown);
}

void CNumberField::Show(bool show) const {
  field_.Show(show);
  upDown_.Show(show);
}

void CNumberField::Write(std::int32_t value) {
  number_ = value;
  writing_ = true;
  field_.SetText(std::to_string(value));
  writing_ = false;
}

void CNumberField::FitKind(std::int32_t kind) { Write(ClampNumber(kind, number_)); }

std::int32_t CNumberField::Read() {
  const NumberFieldResult read = NumberAfterEdit(-1, field_.GetText(), number_);
  if (read.rejected) {
    RefuseText();
    Write(number_);
    return number_;
  }
  number_ = read.value;
  return number_;
}

void CNumberField::OnEdited(std::int32_t kind) {
  if (writing_) return;
  const NumberFieldResult read = NumberAfterEdit(kind, field_.GetText(), number_);
  if (read.rejected) RefuseText();
  // Write back only when the text changes, so the caret stays where the
  // user types.
  const std::string text = field_.GetText();
  number_ = read.value;
  if (text != std::to_string(read.value)) Write(read.value);
}

void CNumberField::OnArrow(std::int32_t kind, int reportedStep) {
  Write(NumberAfterArrow(kind, Read(), reportedStep));
}

void CNumberField::RefuseText() const { MessageBoxA(owner_, kEnterIntegerText, kMessageCaption, MB_OK); }
