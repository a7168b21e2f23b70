// The single-level catalogue's data file holding the rows given, as the
// store writes it: eleven fields, no index.
#pragma once

#include <string>

namespace orb::test {

inline std::string CataloguePacket(const std::string& rows) {
  std::string fields;
  auto add = [&fields](const char* name, int width) {
    fields += "<FIELD attrname=\"" + std::string(name) + "\" fieldtype=\"string\" WIDTH=\"" + std::to_string(width) + "\"/>";
  };
  add("Title", 300);
  add("Link", 300);
  add("Action", 300);
  fields += "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>";
  add("Icon", 300);
  add("Picture", 300);
  add("Serial", 400);
  add("Key", 400);
  add("Company", 100);
  add("Internet", 300);
  add("email", 100);
  return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + fields +
         "</FIELDS><PARAMS/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

}  // namespace orb::test
