// Writes the program folder's sample backgrounds and button templates.
// Usage: quillary-sample-data PROGRAM_FOLDER...

#include <exception>
#include <iostream>

#include "photoshop/automation_error.h"
#include "tools/sample_data/sample_data.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: quillary-sample-data PROGRAM_FOLDER...\n";
    return 2;
  }
  try {
    const std::vector<std::filesystem::path> folders(argv + 1, argv + argc);
    const std::vector<std::string> written = sample_data::WriteSampleData(folders);
    std::cout << "quillary-sample-data: " << written.size() << " files in each of " << folders.size() << " folders\n";
    return 0;
  } catch (const photoshop::AutomationError& e) {
    std::cerr << "quillary-sample-data: " << e.Description() << " (" << e.Source() << ")\n";
  } catch (const std::exception& e) {
    std::cerr << "quillary-sample-data: " << e.what() << "\n";
  }
  return 1;
}
