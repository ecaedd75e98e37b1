// psdinfo FILE                      prints size, mode, keywords and the layer tree
// psdinfo --json FILE               the same as JSON, with a checksum of each layer's pixels
// psdinfo --composite FILE OUT.png  writes the engine's merge of all visible layers
// psdinfo --stored FILE OUT.png     writes the merged image stored in the file
// A file that cannot be read gives its reason on stderr and exit status 1.

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "formats/document_io.h"
#include "json_listing.h"
#include "layer_listing.h"

namespace {

int usage() {
  std::cerr << "usage: psdinfo FILE\n"
               "       psdinfo --json FILE\n"
               "       psdinfo --composite FILE OUT.png\n"
               "       psdinfo --stored FILE OUT.png\n";
  return 2;
}

// A listing that did not reach its reader (a full disk, a closed pipe) is a failure too.
int listingWritten(const char* file) {
  errno = 0;
  std::cout.flush();
  if (std::cout) return 0;
  std::cerr << "psdinfo: the listing of \"" << file << "\" could not be written to the standard output: "
            << (errno ? std::strerror(errno) : "the write failed") << "\n";
  return 1;
}

// The listings and the engine's merge need only the layers: a layered file's merged image is
// left unread, so a damaged one does not stop them.
formats::PsdFile readLayers(const char* path) { return formats::readPsd(path, formats::MergedImage::SkipWhenLayered); }

int run(int argc, char** argv) {
  if (argc == 2 && argv[1][0] != '-') {
    psdinfo::printDocument(std::cout, readLayers(argv[1]));
    return listingWritten(argv[1]);
  }
  if (argc == 3 && std::string(argv[1]) == "--json") {
    psdinfo::printDocumentJson(std::cout, readLayers(argv[2]));
    return listingWritten(argv[2]);
  }
  if (argc != 4) return usage();
  const std::string option = argv[1];
  if (option == "--composite") {
    formats::writePng(readLayers(argv[2]).content, argv[3]);
    return 0;
  }
  if (option == "--stored") {
    const formats::PsdFile file = formats::readPsd(argv[2]);
    engine::DocumentContent flat;
    flat.width = file.content.width;
    flat.height = file.content.height;
    flat.resolution = file.content.resolution;
    engine::LayerNode layer = engine::LayerNode::artLayer("Merged");
    layer.pixels = file.storedComposite;
    flat.layers.push_back(std::move(layer));
    formats::writePng(flat, argv[3]);
    return 0;
  }
  return usage();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    // Readers and writers name their file in their own messages; this one must say it here.
    const char* input = argc >= 3 ? argv[2] : argc == 2 ? argv[1] : "";
    std::cerr << "psdinfo: \"" << input << "\": there is not enough memory to read and list it\n";
  } catch (const std::exception& e) {
    std::cerr << "psdinfo: " << e.what() << "\n";
  }
  return 1;
}
