// The Simple template's data file holding the rows given, as the store writes it.
#pragma once

#include <string>

namespace orb::test {

inline std::string SimplePacket(const std::string& rows) {
  return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
         "<FIELD attrname=\"Title\" fieldtype=\"string\" WIDTH=\"80\"/>"
         "<FIELD attrname=\"Link\" fieldtype=\"string\" WIDTH=\"256\"/>"
         "<FIELD attrname=\"Description\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\"/></FIELDS>"
         "<PARAMS DEFAULT_ORDER=\"1\" PRIMARY_KEY=\"1\"/></METADATA><ROWDATA>" +
         rows + "</ROWDATA></DATAPACKET>";
}

}  // namespace orb::test
