// The Package Software template's data file holding the rows given, as the
// store writes it: packages with their programs in one nested record each.
#pragma once

#include <string>

namespace orb::test {

inline std::string PackagePacket(const std::string& rows) {
  std::string slotFields;
  for (int i = 1; i <= 5; ++i)
    slotFields += "<FIELD attrname=\"Title" + std::to_string(i) + "\" fieldtype=\"string\" WIDTH=\"120\"/>";
  for (int i = 1; i <= 5; ++i)
    slotFields += "<FIELD attrname=\"Link" + std::to_string(i) + "\" fieldtype=\"string\" WIDTH=\"300\"/>";
  return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"Name\" fieldtype=\"string\" WIDTH=\"120\"/>"
         "<FIELD attrname=\"Serial\" fieldtype=\"string\" WIDTH=\"300\"/>"
         "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/>"
         "<FIELD attrname=\"Softwares\" fieldtype=\"nested\"><FIELDS>" +
         slotFields + "</FIELDS><PARAMS/></FIELD></FIELDS><PARAMS DEFAULT_ORDER=\"1\" PRIMARY_KEY=\"1\"/></METADATA>"
         "<ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

}  // namespace orb::test
