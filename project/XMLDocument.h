#pragma once
// TXMLDocument: an XML document read from a file or from bytes, kept in
// memory. It can be changed in memory but has no way to be saved: the
// program only reads project files.

#include <cstddef>
#include <filesystem>
#include <span>
#include <stdexcept>

#include <pugixml.hpp>

namespace orb {

// A document that cannot be read, or a node that breaks the binding's rules.
class EXMLError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TXMLDocument {
 public:
  // Replaces the document by the file's. Throws EXMLError with the parser's
  // description and the byte offset when the file is not well-formed XML.
  void LoadFromFile(const std::filesystem::path& file);
  void LoadFromBytes(std::span<const std::byte> bytes);

  // The document element, or an empty node when there is none.
  pugi::xml_node DocumentElement() const { return document_.document_element(); }
  // The document node itself, for creating a missing document element.
  pugi::xml_node Root() { return document_; }

 private:
  pugi::xml_document document_;
};

}  // namespace orb
