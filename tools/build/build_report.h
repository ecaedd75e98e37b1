#pragma once
// What quillary-build prints about a finished menu: a short listing, or a JSON report with the
// layers' bounds, each button's rectangle and the time of each command.

#include <string>

#include "tools/build/menu_builder.h"

namespace build {

std::string reportText(const BuildReport& report, const std::string& output);
std::string reportJson(const BuildReport& report);

}  // namespace build
