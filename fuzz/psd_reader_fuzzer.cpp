// Fuzz target for the PSD reader: any input is read or refused with a FormatError, never a
// crash, a sanitizer report or a hang. What reads is written and read again; writing that
// gives the same bytes once more (the writer settles after one pass).

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "formats/document_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  formats::PsdFile file;
  try {
    file = formats::decodePsd(std::span(data, size), "fuzz.psd");
  } catch (const formats::FormatError&) {
    return 0;
  }
  const std::vector<std::uint8_t> first = formats::encodePsd(file.content);
  const formats::PsdFile again = formats::decodePsd(first, "written.psd");
  const std::vector<std::uint8_t> second = formats::encodePsd(again.content);
  if (formats::encodePsd(formats::decodePsd(second, "rewritten.psd").content) != second) std::abort();
  return 0;
}
