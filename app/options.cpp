#include "app/options.h"

#include "core/base/checked.h"
#include "core/base/number_text.h"

namespace sarvel {

const SettingOption* OptionNamed(std::string_view run_option_name) {
  for (const SettingOption& o : kSettingOptions)
    if (o.run.form != RunOptionForm::kNone && o.run.name == run_option_name) return &o;
  return nullptr;
}

double NumberOf(const SettingOption& o, const SaverSettings& s) {
  switch (o.field.type()) {
    case StoredType::kInt16:
      return s.*o.field.int16;
    case StoredType::kInt32:
      return s.*o.field.int32;
    case StoredType::kSingle:
      return s.*o.field.single;
    case StoredType::kText:
      break;
  }
  return 0;
}

void SetNumber(const SettingOption& o, SaverSettings& s, double value) {
  switch (o.field.type()) {
    case StoredType::kInt16:
      s.*o.field.int16 = ToInt16(value);
      break;
    case StoredType::kInt32:
      s.*o.field.int32 = ToInt32(value);
      break;
    case StoredType::kSingle:
      s.*o.field.single = ToSingle(value);
      break;
    case StoredType::kText:
      break;
  }
}

std::string StoredText(const SettingOption& o, const SaverSettings& s,
                       std::string_view decimal_separator) {
  switch (o.field.type()) {
    case StoredType::kInt16:
      return IntegerText(s.*o.field.int16);
    case StoredType::kInt32:
      return IntegerText(s.*o.field.int32);
    case StoredType::kSingle:
      return SingleText(s.*o.field.single, decimal_separator);
    case StoredType::kText:
      break;
  }
  return s.*o.field.text;
}

void SetFromText(const SettingOption& o, SaverSettings& s, std::string_view text,
                 std::string_view decimal_separator) {
  switch (o.field.type()) {
    case StoredType::kInt16:
      s.*o.field.int16 = Int16OfText(text, decimal_separator);
      break;
    case StoredType::kInt32:
      s.*o.field.int32 = Int32OfText(text, decimal_separator);
      break;
    case StoredType::kSingle:
      s.*o.field.single = SingleOfText(text, decimal_separator);
      break;
    case StoredType::kText:
      s.*o.field.text = std::string(text);
      break;
  }
}

SaverSettings DefaultButtonSettings(const SaverSettings& s) {
  SaverSettings shown = s;
  for (const SettingOption& o : kSettingOptions)
    if (o.reset) SetNumber(o, shown, *o.reset);
  shown.random_background = shown.background_kind == kBackgroundRandom;
  return shown;
}

}  // namespace sarvel
