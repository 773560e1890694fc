// What the program is asked to do. Each front end reads its own command line
// into a request; the start-up module's Main carries it out.
#pragma once

#include <cstdint>
#include <string_view>

namespace sarvel {

struct RunRequest {
  enum class Mode : uint8_t {
    kFullScreen,      // the scene over every monitor, until input ends it
    kWindow,          // the scene in an ordinary window, until it is closed
    kPreview,         // the still picture inside a host's window
    kSettings,        // the settings dialog
    kPasswordChange,  // the system's dialog for the saver password
    kNone,            // a switch nobody knows: nothing opens
  };
  Mode mode = Mode::kFullScreen;
  // The window the request names: the preview's host, the owner of the
  // settings or password dialog (0: none). It is kept as the number the
  // command line gave; Main makes it a window handle in a step of its own,
  // which reports a number that does not fit.
  double window_number = 0;
};

// The display settings' switches: "/S" or nothing (full screen), "/P <host>",
// "/C" (with ":<owner>" or " <owner>" after it, or nothing), "/A <owner>", in
// any case, blanks around them trimmed; the first two characters decide, the
// number starts at the fourth (the third is skipped, whatever it is).
RunRequest ParseSaverSwitch(std::string_view arguments);

}  // namespace sarvel
