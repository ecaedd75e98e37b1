// quillary-build: builds a menu's nine-layer document from a background and a button template
// without a window, with the procedures the main window runs.

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <iostream>

#include "engine/pixel_memory.h"
#include "tools/build/build_report.h"
#include "tools/build/menu_builder.h"

int main(int argc, char* argv[]) {
  engine::keepFreedMemoryForReuse();
  QCoreApplication application(argc, argv);  // for the picture readers' plugins
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << build::kUsage;
    return 0;
  }
  try {
    const build::BuildRequest request = build::parseArguments(args);
    const bool showProgress = request.progress || ::isatty(STDERR_FILENO);
    const build::BuildReport report =
        build::buildMenu(request, std::cerr, [&](const std::string& command, int percent) {
          if (showProgress) std::cerr << "quillary-build: " << percent << " % " << command << '\n';
        });
    if (request.json) std::cout << build::reportJson(report);
    else std::cout << build::reportText(report, request.output);
    return 0;
  } catch (const build::RequestError& error) {
    std::cerr << "quillary-build: " << error.what() << '\n' << build::kUsage;
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "quillary-build: " << error.what() << '\n';
    return 1;
  }
}
