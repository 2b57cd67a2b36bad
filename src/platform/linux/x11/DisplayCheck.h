#pragma once

#include <string>

namespace tidemark::linux_platform {

// Whether the X server `DISPLAY` names accepts a connection; when it does not, `error` is the
// one line that says so. For the start of a program whose toolkit would otherwise report the
// failure in several lines of its own.
bool displayAnswers(std::string& error);

// "cannot connect to the X server on <DISPLAY>", or that DISPLAY is not set.
std::string cannotConnectLine();

} // namespace tidemark::linux_platform
