#pragma once
// The message a reading or writing call refuses with, optionally on a disk that fills up: a file
// size limit of `fileSizeLimit` bytes stands in for the full disk. And a file's bytes, to see that
// a refused save left it as it was.

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "formats/document_io.h"

template <class F>
std::string formatErrorOf(F&& call, rlim_t fileSizeLimit = RLIM_INFINITY) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = std::min(fileSizeLimit, saved.rlim_max);
  setrlimit(RLIMIT_FSIZE, &limited);
  std::string message;
  try {
    call();
  } catch (const formats::FormatError& e) {
    message = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previousHandler);
  return message;
}

inline std::vector<std::uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
