// The hack description (sarvel.xml) against the options table: the daemon's
// settings program must pass each setting by the option name, range and
// default the table gives, and nothing the table does not know; and the
// program takes every argument the description can pass.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/options.h"
#include "core/base/number_text.h"
#include "frontends/posix/command_line.h"

namespace sarvel {
namespace {

struct Element {
  std::string name;
  std::map<std::string, std::string> attributes;
};

std::vector<Element> Elements(const std::string& xml) {
  std::vector<Element> elements;
  static const std::regex tag(R"(<([a-z_]+)\b([^>]*)>)"), attribute(R"re(([-_a-z]+)="([^"]*)")re");
  for (std::sregex_iterator t(xml.begin(), xml.end(), tag), end; t != end; ++t) {
    Element e{(*t)[1], {}};
    const std::string text = (*t)[2];
    for (std::sregex_iterator a(text.begin(), text.end(), attribute); a != end; ++a)
      e.attributes[(*a)[1]] = (*a)[2];
    elements.push_back(e);
  }
  return elements;
}

std::string HackXml() {
  std::ifstream in(SARVEL_HACK_XML);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

const Element* Find(const std::vector<Element>& elements, std::string_view name,
                    std::string_view id) {
  for (const Element& e : elements)
    if (e.name == name && e.attributes.count("id") && e.attributes.at("id") == id) return &e;
  return nullptr;
}

double Number(const Element& e, const std::string& attribute) {
  return ParseNumber(e.attributes.at(attribute), ".");
}

TEST(HackDescription, PassesEverySettingAsTheOptionsTableSays) {
  const std::vector<Element> elements = Elements(HackXml());
  ASSERT_FALSE(elements.empty()) << SARVEL_HACK_XML;
  for (const SettingOption& o : kSettingOptions) {
    if (o.xml.element == HackElement::kNone) continue;
    SCOPED_TRACE(std::string(o.key));
    const std::string option = std::string("-").append(o.run.name);
    switch (o.xml.element) {
      case HackElement::kSlider:
      case HackElement::kSpinButton: {
        const Element* e = Find(elements, "number", o.xml.id);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->attributes.at("type"),
                  o.xml.element == HackElement::kSlider ? "slider" : "spinbutton");
        EXPECT_EQ(e->attributes.at("arg"), option + " %");
        EXPECT_EQ(Number(*e, "low"), o.xml.low);
        EXPECT_EQ(Number(*e, "high"), o.xml.high);
        EXPECT_EQ(Number(*e, "default"), o.xml.default_value);
        break;
      }
      case HackElement::kBoolean: {
        // Ticked unless unset, as the stored default is.
        const Element* e = Find(elements, "boolean", o.xml.id);
        ASSERT_TRUE(e);
        EXPECT_EQ(o.default_text, "1");
        EXPECT_EQ(e->attributes.at("arg-unset"), std::string("-no-").append(o.run.name));
        break;
      }
      case HackElement::kSelect: {
        ASSERT_TRUE(Find(elements, "select", o.xml.id));
        for (const BackgroundKind& choice : kBackgroundKinds) {
          const Element* e = Find(elements, "option", choice.name);
          ASSERT_TRUE(e) << choice.name;
          EXPECT_EQ(e->attributes.at("arg-set"), option + " " + std::string(choice.name));
        }
        break;
      }
      case HackElement::kFile: {
        const Element* e = Find(elements, "file", o.xml.id);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->attributes.at("arg"), option + " %");
        break;
      }
      case HackElement::kNone:
        break;
    }
  }
  // Every option the description passes is a setting's, or one of the
  // display's, and the program takes it as the daemon passes it: a number at
  // its low, high and default, a file by its path. The hack runs with -root.
  static const std::regex option_name("^-(no-)?([-a-z]+)");
  for (const Element& e : elements) {
    for (const char* attribute : {"arg", "arg-set", "arg-unset"}) {
      if (!e.attributes.count(attribute)) continue;
      std::smatch m;
      const std::string& arg = e.attributes.at(attribute);
      ASSERT_TRUE(std::regex_search(arg, m, option_name)) << arg;
      const bool display_option = m[2] == "root" || m[2] == "scale";
      EXPECT_TRUE(display_option || OptionNamed(m[2].str()))
          << arg << " is in no row of the options table";
      if (e.name == "command") {
        EXPECT_EQ(arg, "-root");
      }
      std::vector<std::string> values = {"/tmp/a.jpg"};
      if (e.name == "number") values = {e.attributes.at("low"), e.attributes.at("high")};
      if (e.name == "number") values.push_back(e.attributes.at("default"));
      for (const std::string& value : values) {
        std::istringstream words(std::regex_replace(arg, std::regex("%"), value));
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        std::string error;
        EXPECT_TRUE(ParseCommandLine(args, nullptr, error)) << arg << " " << value << ": " << error;
      }
    }
  }
}

}  // namespace
}  // namespace sarvel
