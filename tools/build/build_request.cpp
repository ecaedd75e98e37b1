#include "tools/build/build_request.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>

namespace build {

const char* const kUsage =
    "usage: quillary-build --background FILE --template FILE --output FILE.psd\n"
    "                      [--buttons N] [--width W --height H] [--option NAME=on|off]...\n"
    "                      [--arrange keep|grid] [--png-dir DIR] [--json] [--progress]\n";

const std::vector<OptionFlag>& optionFlags() {
  static const std::vector<OptionFlag> flags = {
      {"ReplaceBackgroundWithButtonImage", 0, false}, {"EnableNextPrevButtons", 1, false},
      {"IncludeMenuTitleArea", 2, false},             {"IncludeButtonTextArea", 3, false},
      {"KeepButtonImageHilite", 4, true},             {"KeepNextPrevHilite", 5, true},
      {"AddHiliteToThumbMask", 6, false},
  };
  return flags;
}

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

int wholeNumber(const std::string& text, const char* what, int low, int high) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    throw RequestError(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
                       std::to_string(high) + ", not \"" + text + "\"");
  return value;
}

std::pair<const OptionFlag*, bool> option(const std::string& text) {
  const auto eq = text.find('=');
  const std::string name = lower(text.substr(0, eq));
  const std::string value = eq == std::string::npos ? std::string() : lower(text.substr(eq + 1));
  const auto& flags = optionFlags();
  const auto flag = std::find_if(flags.begin(), flags.end(), [&](const OptionFlag& f) { return lower(f.name) == name; });
  if (flag == flags.end()) {
    std::string known;
    for (const OptionFlag& f : flags) known += std::string(known.empty() ? "" : ", ") + f.name;
    throw RequestError("unknown option \"" + text.substr(0, eq) + "\" (known: " + known + ")");
  }
  if (value != "on" && value != "off") throw RequestError("--option " + std::string(flag->name) + " takes =on or =off");
  return {&*flag, value == "on"};
}

void requireReadableFile(const std::string& path, const char* what) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) throw RequestError(std::string(what) + " \"" + path + "\" does not exist");
  if (!std::filesystem::is_regular_file(path, ec))
    throw RequestError(std::string(what) + " \"" + path + "\" is not a file");
  if (!std::ifstream(path, std::ios::binary)) throw RequestError(std::string(what) + " \"" + path + "\" cannot be read");
}

void requireWritableFolder(const std::filesystem::path& folder, const std::string& what) {
  std::error_code ec;
  const std::filesystem::path dir = folder.empty() ? std::filesystem::path(".") : folder;
  if (!std::filesystem::is_directory(dir, ec))
    throw RequestError("the folder of " + what + ", \"" + dir.string() + "\", does not exist");
  if (::access(dir.c_str(), W_OK | X_OK) != 0)
    throw RequestError("the folder of " + what + ", \"" + dir.string() + "\", is not writable");
}

}  // namespace

BuildRequest parseArguments(const std::vector<std::string>& args) {
  BuildRequest r;
  bool widthGiven = false, heightGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw RequestError(a + " needs a value");
      return args[++i];
    };
    if (a == "--background") r.background = value();
    else if (a == "--template") r.buttonTemplate = value();
    else if (a == "--output") r.output = value();
    else if (a == "--buttons") r.buttons = wholeNumber(value(), "--buttons", 1, 10);
    else if (a == "--width") r.width = wholeNumber(value(), "--width", 64, 8192), widthGiven = true;
    else if (a == "--height") r.height = wholeNumber(value(), "--height", 64, 8192), heightGiven = true;
    else if (a == "--option") r.options.push_back(option(value()));
    else if (a == "--arrange") {
      const std::string how = value();
      if (how != "keep" && how != "grid") throw RequestError("--arrange takes keep or grid, not \"" + how + "\"");
      r.arrange = how == "keep" ? Arrange::Keep : Arrange::Grid;
    } else if (a == "--png-dir") r.pngDir = value();
    else if (a == "--json") r.json = true;
    else if (a == "--progress") r.progress = true;
    else throw RequestError("unknown argument \"" + a + "\"");
  }
  if (widthGiven != heightGiven) throw RequestError("--width and --height go together");
  if (r.background.empty() || r.buttonTemplate.empty() || r.output.empty())
    throw RequestError("--background, --template and --output are required");
  if (lower(std::filesystem::path(r.output).extension().string()) != ".psd")
    throw RequestError("the output \"" + r.output + "\" must be a .psd file");
  return r;
}

void checkFiles(const BuildRequest& request) {
  requireReadableFile(request.background, "the background");
  requireReadableFile(request.buttonTemplate, "the button template");
  requireWritableFolder(std::filesystem::path(request.output).parent_path(), "the output");
  if (std::filesystem::is_directory(request.output))
    throw RequestError("the output \"" + request.output + "\" is a folder");
  if (!request.pngDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(request.pngDir, ec);
    if (ec) throw RequestError("the PNG folder \"" + request.pngDir + "\" cannot be made: " + ec.message());
    requireWritableFolder(std::filesystem::path(request.pngDir) / "x", "the PNG files");
  }
}

}  // namespace build
