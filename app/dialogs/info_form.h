// The about box: centres itself on the screen, shows the title and
// version of the program, opens the maker's web address on a click of it and
// goes on "&OK". Its procedures number no steps: failures carry line 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/forms.h"
#include "core/ports/executable_info.h"
#include "core/ports/info_view.h"

namespace sarvel {

class App;

// major "." minor as two digits "." revision as four digits: "2.00.0457".
std::string VersionText(const Version& v);

// Left (or top) edge that centres `window` on `screen`, both in twips; the
// halving truncates toward zero, and a window larger than the screen gets a
// negative edge.
int32_t CentredEdge(int32_t screen, int32_t window);

class InfoForm : public ViewForm<InfoView>, public InfoInput {
 public:
  InfoForm(App& app, std::unique_ptr<InfoView> view);

  void OpenHomepage();
  void Close();

  void UserClicksHomepage() override { OpenHomepage(); }
  void UserClicksOK() override { Close(); }

 protected:
  void OnLoad() override;

 private:
  App& app_;
};

}  // namespace sarvel
