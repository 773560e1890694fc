// The options table against itself and against the dialog's design: a key,
// a line or an option name given twice, a default the dialog could not show,
// or a control that is not in the design would each make a setting load,
// save or show wrongly.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/dialogs/config_mappings.h"
#include "app/options.h"
#include "core/base/failure.h"

namespace sarvel {
namespace {

TEST(OptionsTable, EachKeyLineAndOptionNameOnce) {
  std::set<std::string_view> keys, names;
  std::set<int32_t> save_lines;
  int32_t previous_line = 10;  // the trap's line
  for (const SettingOption& o : kSettingOptions) {
    SCOPED_TRACE(std::string(o.key));
    EXPECT_TRUE(keys.insert(o.key).second) << "key twice";
    // LoadConfig walks the table: its lines rise, and leave room for the derived steps.
    EXPECT_GT(o.load_line, previous_line);
    EXPECT_NE(o.load_line, kMinLeafLine);
    EXPECT_NE(o.load_line, kRandomBackgroundLine);
    previous_line = o.load_line;
    if (o.save_line != 0) {
      EXPECT_TRUE(save_lines.insert(o.save_line).second) << "save line twice";
    }
    if (o.run.form != RunOptionForm::kNone) {
      EXPECT_TRUE(names.insert(o.run.name).second) << "option name twice";
      // A choice is helped by the names of what it chooses from.
      EXPECT_EQ(o.run.help.empty(), o.run.form == RunOptionForm::kChoice);
    }
  }
  EXPECT_LT(previous_line, kRandomBackgroundLine);
}

TEST(OptionsTable, DefaultsAndDefaultButtonValuesFitWhatTheDialogProduces) {
  for (const SettingOption& o : kSettingOptions) {
    SCOPED_TRACE(std::string(o.key));
    SaverSettings s;
    ASSERT_NO_THROW(SetFromText(o, s, o.default_text, ".")) << "the default does not read";
    ASSERT_NO_THROW(SetFromText(o, s, o.default_text, ","))
        << "the default depends on the separator";
    if (o.field.type() == StoredType::kText) continue;
    const double value = NumberOf(o, s);
    EXPECT_GE(value, o.low);
    EXPECT_LE(value, o.high);
    if (o.reset) {
      EXPECT_GE(*o.reset, o.low);
      EXPECT_LE(*o.reset, o.high);
    }
    if (o.run.form == RunOptionForm::kNumber || o.run.form == RunOptionForm::kChoice) {
      // A value the dialog stores is one the command line takes.
      EXPECT_LE(o.run.low, o.low);
      EXPECT_GE(o.run.high, o.high);
    }
    if (o.xml.element == HackElement::kSlider || o.xml.element == HackElement::kSpinButton) {
      // The daemon's settings program passes nothing the command line refuses.
      EXPECT_LE(o.run.low, o.xml.low);
      EXPECT_GE(o.run.high, o.xml.high);
      EXPECT_GE(o.xml.default_value, o.xml.low);
      EXPECT_LE(o.xml.default_value, o.xml.high);
    }
  }
}

TEST(OptionsTable, EveryOptionShowsInAControlOfItsKind) {
  for (const SettingOption& o : kSettingOptions) {
    SCOPED_TRACE(std::string(o.key));
    const ConfigControl c = ControlOf(o);
    ASSERT_NE(c, kOnWindow) << "no control named " << o.control;
    const ControlKind kind = DesignOf(c).kind;
    switch (o.mapping) {
      case DialogMapping::kLeafCountSlider:
      case DialogMapping::kSpeedSlider:
        EXPECT_EQ(kind, ControlKind::kHScrollBar);
        break;
      case DialogMapping::kCheckBox:
        EXPECT_EQ(kind, ControlKind::kCheckBox);
        break;
      case DialogMapping::kRestartMinutes:
        EXPECT_EQ(kind, ControlKind::kLabel);
        break;
      case DialogMapping::kBackgroundGroup:
        EXPECT_EQ(kind, ControlKind::kFrame);
        break;
      case DialogMapping::kPicturePath:
        EXPECT_EQ(kind, ControlKind::kTextBox);
        break;
    }
  }
}

}  // namespace
}  // namespace sarvel
