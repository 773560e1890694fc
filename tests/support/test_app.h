// A whole program on the headless platform, with recording forms: what Main
// opened and which system calls it made, in order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "tests/support/headless_platform.h"
#include "tests/support/scripted_random.h"

namespace sarvel::testing {

class RecordingFactory : public FormBuilder {
 public:
  std::unique_ptr<Form> Build(FormId id, App&) override {
    static const char* const kNames[] = {"frmMain", "frmPreview", "frmConfig", "frmInfo"};
    auto form =
        std::make_unique<headless::RecordingForm>(kNames[int(id)], 0x1000 + 0x10 * int(id), log);
    if (id == FormId::kScene) {
      // The scene's unload handler ends the run, as the real one does.
      form->on_unload = [this] {
        if (app) app->saver.EndRun();
        return true;
      };
    }
    if (on_create) on_create(*form, id);
    return form;
  }
  std::vector<std::string> log;
  App* app = nullptr;
  std::function<void(headless::RecordingForm&, FormId)> on_create;
};

// A reporter that reports as usual but gives the answer a test chooses.
class AnsweringReporter : public ErrorReporter {
 public:
  AnsweringReporter(Services s, int16_t answer) : ErrorReporter(s), answer_(answer) {}
  int16_t OnError(const std::string& m, const std::string& p) override {
    ErrorReporter::OnError(m, p);
    return answer_;
  }

 private:
  int16_t answer_;
};

struct TestApp {
  headless::Platform platform;
  ScriptedRandom rng;
  RecordingFactory factory;
  std::unique_ptr<App> app;

  explicit TestApp(const std::string& log_folder = "") {
    if (!log_folder.empty()) platform.exe.folder = log_folder;
    app = std::make_unique<App>(platform.services(), rng, factory);
    factory.app = app.get();
  }
  // Runs Main with the request of a display settings' switch; true when the
  // program ended inside it.
  bool RunMain(const std::string& command_line) {
    try {
      app->Main(ParseSaverSwitch(command_line));
      return false;
    } catch (const ProgramEnded&) {
      return true;
    }
  }
};

// A fresh empty folder under the system's temporary folder.
std::string MakeTempFolder(const std::string& tag);
// Removes a folder made by MakeTempFolder, read-only files included; never throws.
void RemoveFolder(const std::string& path);
std::string ReadWholeFile(const std::string& path);
int CountOccurrences(const std::string& text, const std::string& what);

}  // namespace sarvel::testing
