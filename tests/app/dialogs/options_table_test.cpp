// The options table against itself and against the dialog's design: a key
// or an option name given twice, a default the dialog could not show,
// or a control that is not in the design would each make a setting load,
// save or show wrongly.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "app/dialogs/config_mappings.h"
#include "app/options.h"
#include "core/base/failure.h"

namespace sarvel {
namespace {

// The steps' lines are pinned by the settings tests, one by one.
TEST(OptionsTable, EachKeyAndOptionNameOnce) {
  std::set<std::string_view> keys, names;
  for (const SettingOption& o : kSettingOptions) {
    SCOPED_TRACE(std::string(o.key));
    EXPECT_TRUE(keys.insert(o.key).second) << "key twice";
    if (o.run.form != RunOptionForm::kNone) {
      EXPECT_TRUE(names.insert(o.run.name).second) << "option name twice";
      // A choice is helped by the names of what it chooses from.
      EXPECT_EQ(o.run.help.empty(), o.run.form == RunOptionForm::kChoice);
    }
  }
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
  const std::map<DialogMapping, ControlKind> kKindOf = {
      {DialogMapping::kLeafCountSlider, ControlKind::kHScrollBar},
      {DialogMapping::kSpeedSlider, ControlKind::kHScrollBar},
      {DialogMapping::kCheckBox, ControlKind::kCheckBox},
      {DialogMapping::kRestartMinutes, ControlKind::kLabel},
      {DialogMapping::kBackgroundGroup, ControlKind::kFrame},
      {DialogMapping::kPicturePath, ControlKind::kTextBox}};
  for (const SettingOption& o : kSettingOptions) {
    SCOPED_TRACE(std::string(o.key));
    const ConfigControl c = ControlOf(o);
    ASSERT_NE(c, kOnWindow) << "no control named " << o.control;
    EXPECT_EQ(DesignOf(c).kind, kKindOf.at(o.mapping));
  }
}

}  // namespace
}  // namespace sarvel
