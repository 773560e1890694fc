// A window of the platform's, as a number: what the start-up module passes
// between the command line, the system and the forms.
#pragma once

#include <cstdint>

namespace sarvel {

using WindowHandle = int64_t;

}  // namespace sarvel
