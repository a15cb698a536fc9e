#pragma once
// Who holds a device open: the processes whose descriptors /proc lets this
// user see, for the reason line of a port that is in use.
#include <string>

namespace serial {

// "in use by process 812 (minicom)", "in use by processes 812 (minicom),
// 907 (gpsd)", or "in use by another program" when /proc tells nothing.
std::string InUseReason(const std::string& devicePath);

}  // namespace serial
