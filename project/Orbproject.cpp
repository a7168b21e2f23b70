#include "project/Orbproject.h"

#include <cstring>

namespace orb {
namespace {

bool IsTextNode(pugi::xml_node node) {
  return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

[[noreturn]] void FailNotText(pugi::xml_node leaf) {
  throw EXMLError(std::string("Element \"") + leaf.name() + "\" does not contain a single text node");
}

// Whether the leaf holds at most one node, and that one text.
void CheckLeaf(pugi::xml_node leaf) {
  pugi::xml_node first = leaf.first_child();
  if (first && (!IsTextNode(first) || first.next_sibling())) FailNotText(leaf);
}

}  // namespace

std::string LeafText(pugi::xml_node leaf) {
  CheckLeaf(leaf);
  return leaf.first_child().value();
}

pugi::xml_node TXMLNodeBinding::ChildElement(const char* name) const {
  for (pugi::xml_node child = element_.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && std::strcmp(child.name(), name) == 0) return child;
  pugi::xml_node parent = element_;  // a handle: copying it does not copy the element
  return parent.append_child(name);
}

std::string TXMLNodeBinding::ChildText(const char* name) const { return LeafText(ChildElement(name)); }

void TXMLNodeBinding::SetChildText(const char* name, std::string_view text) const {
  pugi::xml_node leaf = ChildElement(name);
  CheckLeaf(leaf);
  while (pugi::xml_node child = leaf.first_child()) leaf.remove_child(child);
  if (!text.empty()) leaf.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

TXMLOrbdeckType GetOrbdeck(TXMLDocument& document) {
  pugi::xml_node root = document.DocumentElement();
  if (!root) return TXMLOrbdeckType(document.Root().append_child("Orbdeck"));
  if (std::strcmp(root.name(), "Orbdeck") != 0)
    throw EXMLError(std::string("Document element \"") + root.name() + "\" is not \"Orbdeck\"");
  return TXMLOrbdeckType(root);
}

}  // namespace orb
