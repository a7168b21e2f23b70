#include "project/XMLDocument.h"

#include <string>

namespace orb {
namespace {

// Comments and processing instructions are kept as nodes, so that a leaf
// holding one is seen as not holding text only. Text is kept unaltered:
// only line ends are normalised, as XML requires.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;

void Check(const pugi::xml_parse_result& result) {
  if (!result)
    throw EXMLError(std::string(result.description()) + " at offset " + std::to_string(result.offset));
}

}  // namespace

void TXMLDocument::LoadFromFile(const std::filesystem::path& file) {
  Check(document_.load_file(file.c_str(), kParseOptions, pugi::encoding_auto));
}

void TXMLDocument::LoadFromBytes(std::span<const std::byte> bytes) {
  Check(document_.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_auto));
}

}  // namespace orb
