// psdinfo FILE                      prints size, mode, keywords and the layer tree
// psdinfo --json FILE               the same as JSON, with a checksum of each layer's pixels
// psdinfo --composite FILE OUT.png  writes the engine's merge of all visible layers
// psdinfo --stored FILE OUT.png     writes the merged image stored in the file
// A file that cannot be read gives its reason on stderr and exit status 1.

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

int run(int argc, char** argv) {
  if (argc == 2 && argv[1][0] != '-') {
    psdinfo::printDocument(std::cout, formats::readPsd(argv[1]));
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--json") {
    psdinfo::printDocumentJson(std::cout, formats::readPsd(argv[2]));
    return 0;
  }
  if (argc != 4) return usage();
  const std::string option = argv[1];
  if (option == "--composite") {
    formats::writePng(formats::readPsd(argv[2]).content, argv[3]);
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
    std::cerr << "psdinfo: out of memory\n";
  } catch (const std::exception& e) {
    std::cerr << "psdinfo: " << e.what() << "\n";
  }
  return 1;
}
