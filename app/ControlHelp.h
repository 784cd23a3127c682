#pragma once
// What --help says about --set: each instrument's controls that a snapshot can set, and what
// their positions mean.

#include <string>

namespace mirel {

// The --set entry of the help text, in the help's layout (packaging/ManualPage.h).
std::string controlsHelpText();

}  // namespace mirel
