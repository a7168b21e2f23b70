// Reads the XML data packet with pugixml into the records of a store.
//
// Besides what this store writes, it accepts what real packets of the format
// hold: any white space, RowState attributes and a CHANGE_LOG parameter (only
// current records are kept), parameters and field attributes the store does
// not use, fields of other types, a byte-order mark, an encoding declaration
// and text that is not valid UTF-8 (kept as its bytes).
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <pugixml.hpp>

#include "store/DataPacket.h"

namespace orb {

namespace {

// Nested tables deeper than this are not packets of any template.
constexpr int MaxNesting = 8;

// RowState bits of rows that are not current: the original of a changed row,
// a deleted row, and bit 32 (undone changes).
constexpr long NotCurrentStates = 1 | 2 | 32;

[[noreturn]] void Fail(const std::string& message) { throw EDatabaseError(message); }
[[noreturn]] void Mismatch() { Fail("Mismatch in datapacket."); }

// A field as the packet declares it; Known is false for types the store has no kind for.
struct TPacketField {
  TFieldDef Def;
  bool Known = true;
  std::vector<TPacketField> Children;
};

// How one packet row maps onto a store record.
struct TLayout {
  struct TValue {
    std::string Attribute;  // the name in the packet
    std::size_t Field;      // the value's index in the record
  };
  struct TDetail {
    std::string Element;
    std::size_t Slot;
    TLayout* Layout;
  };
  std::vector<TValue> Values;
  std::vector<TDetail> Details;
  // The values of the row being read; they point into the parsed document.
  std::vector<std::string_view> Scratch;
  std::size_t FieldCount = 0;
  std::size_t NestedCount = 0;
};

// Layouts of nested tables are kept here so the TDetail pointers stay valid.
using TLayoutStore = std::vector<std::unique_ptr<TLayout>>;

bool ParseNumber(std::string_view text, long& number) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end != text.data();
}

// All numbers of a blank-separated list such as "1 0 4 2 0 4".
std::vector<long> ParseNumbers(std::string_view text) {
  std::vector<long> numbers;
  const char* at = text.data();
  const char* end = at + text.size();
  while (at < end) {
    while (at < end && !(*at == '-' || (*at >= '0' && *at <= '9'))) ++at;
    long number = 0;
    auto [next, error] = std::from_chars(at, end, number);
    if (next == at) break;
    if (error == std::errc()) numbers.push_back(number);
    at = next;
  }
  return numbers;
}

std::vector<TPacketField> ReadFields(pugi::xml_node fieldsNode, int depth) {
  if (depth > MaxNesting) Mismatch();
  std::vector<TPacketField> fields;
  for (pugi::xml_node node : fieldsNode.children("FIELD")) {
    TPacketField field;
    field.Def.Name = node.attribute("attrname").value();
    if (field.Def.Name.empty()) Fail("Field name can't be null, datapacket may be corrupted");
    // RowState is the row's own attribute, never a field's.
    field.Known = field.Def.Name != "RowState";
    std::string_view type = node.attribute("fieldtype").value();
    std::string_view subtype = node.attribute("SUBTYPE").value();
    if (type == "string" || type == "string.uni") {
      field.Def.Kind = TFieldKind::String;
      long width = 0;
      if (ParseNumber(node.attribute("WIDTH").value(), width) && width > 0) field.Def.Size = static_cast<std::size_t>(width);
    } else if (type == "bin.hex" && (subtype == "Text" || subtype == "WideText")) {
      field.Def.Kind = TFieldKind::Memo;
    } else if (type == "nested") {
      field.Def.Kind = TFieldKind::Nested;
      field.Children = ReadFields(node.child("FIELDS"), depth + 1);
    } else {
      field.Known = false;
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

const TPacketField* FindPacketField(const std::vector<TPacketField>& fields, std::string_view name) {
  for (const TPacketField& field : fields)
    if (field.Known && SameFieldName(field.Def.Name, name)) return &field;
  return nullptr;
}

// The store's fields when it declares none: the packet's fields of known types.
std::vector<TFieldDef> DefsOf(const std::vector<TPacketField>& fields) {
  std::vector<TFieldDef> defs;
  for (const TPacketField& field : fields) {
    if (!field.Known || FindFieldDef(defs, field.Def.Name) != std::string::npos) continue;
    TFieldDef def = field.Def;
    if (def.Kind == TFieldKind::Nested) def.Children = DefsOf(field.Children);
    defs.push_back(std::move(def));
  }
  return defs;
}

// Matches the store's fields to the packet's by name; a declared field the packet lacks fails.
void BuildLayout(const std::vector<TFieldDef>& defs, const std::vector<TPacketField>& packet, TLayout& layout,
                 TLayoutStore& store) {
  layout.FieldCount = defs.size();
  layout.Scratch.resize(defs.size());
  for (std::size_t i = 0; i < defs.size(); ++i) {
    const TPacketField* field = FindPacketField(packet, defs[i].Name);
    if (!field) Fail("Field '" + defs[i].Name + "' not found");
    bool nested = defs[i].Kind == TFieldKind::Nested;
    if (nested != (field->Def.Kind == TFieldKind::Nested)) Mismatch();
    if (!nested) {
      layout.Values.push_back({field->Def.Name, i});
      continue;
    }
    TLayout* child = store.emplace_back(std::make_unique<TLayout>()).get();
    BuildLayout(defs[i].Children, field->Children, *child, store);
    layout.Details.push_back({field->Def.Name, layout.NestedCount++, child});
  }
}

std::unique_ptr<TRecord> ReadRecord(pugi::xml_node row, TLayout& layout);

bool IsCurrent(pugi::xml_node row) {
  long state = 0;
  return !(ParseNumber(row.attribute("RowState").value(), state) && (state & NotCurrentStates));
}

// Reads the values of `row` into the layout's scratch values and its detail
// rows into `record`. With `present`, values already read from a later row
// of a change log are kept, and each value read is marked.
void ReadRow(pugi::xml_node row, TLayout& layout, TRecord& record, std::vector<bool>* present) {
  std::size_t hint = 0;
  for (pugi::xml_attribute attribute : row.attributes()) {
    std::string_view name = attribute.name();
    // Attributes mostly come in field order: try the next expected one first.
    std::size_t found = layout.Values.size();
    if (hint < layout.Values.size() && layout.Values[hint].Attribute == name) {
      found = hint;
    } else {
      for (std::size_t i = 0; i < layout.Values.size(); ++i)
        if (layout.Values[i].Attribute == name) found = i;
    }
    if (found == layout.Values.size()) continue;
    hint = found + 1;
    std::size_t field = layout.Values[found].Field;
    if (present) {
      if ((*present)[field]) continue;
      (*present)[field] = true;
    }
    layout.Scratch[field] = attribute.value();
  }
  for (const TLayout::TDetail& detail : layout.Details) {
    pugi::xml_node element = row.child(detail.Element.c_str());
    if (!element) continue;
    if (present) {
      std::size_t marker = layout.FieldCount + detail.Slot;
      if ((*present)[marker]) continue;
      (*present)[marker] = true;
    }
    std::vector<std::unique_ptr<TRecord>> details;
    for (pugi::xml_node child : element.children())
      if (child.type() == pugi::node_element && IsCurrent(child)) details.push_back(ReadRecord(child, *detail.Layout));
    record.Nested[detail.Slot].Assign(std::move(details));
  }
}

std::unique_ptr<TRecord> ReadRecord(pugi::xml_node row, TLayout& layout) {
  auto record = std::make_unique<TRecord>();
  record->Nested.resize(layout.NestedCount);
  std::fill(layout.Scratch.begin(), layout.Scratch.end(), std::string_view());
  ReadRow(row, layout, *record, nullptr);
  record->Values = TRecordValues(layout.Scratch);
  return record;
}

// Current records of a packet with a change log: each changed row stands in
// the place of the row it changes and takes the values it does not repeat
// from it.
std::vector<std::unique_ptr<TRecord>> ReadLoggedRows(pugi::xml_node rowData, TLayout& layout,
                                                     std::string_view changeLog) {
  std::vector<pugi::xml_node> rows;
  for (pugi::xml_node row : rowData.children())
    if (row.type() == pugi::node_element) rows.push_back(row);
  std::size_t count = rows.size();
  // Entries are triples: row number, number of the row it changes, change kind (1-based, 0 for none).
  std::vector<std::size_t> original(count, count);
  std::vector<long> log = ParseNumbers(changeLog);
  for (std::size_t i = 0; i + 2 < log.size(); i += 3) {
    long row = log[i], base = log[i + 1];
    if (row >= 1 && base >= 1 && row != base && static_cast<std::size_t>(row) <= count && static_cast<std::size_t>(base) <= count)
      original[static_cast<std::size_t>(row) - 1] = static_cast<std::size_t>(base) - 1;
  }
  struct TPlaced {
    std::size_t Place;
    std::unique_ptr<TRecord> Record;
  };
  std::vector<TPlaced> placed;
  for (std::size_t i = 0; i < count; ++i) {
    if (!IsCurrent(rows[i])) continue;
    auto record = std::make_unique<TRecord>();
    record->Nested.resize(layout.NestedCount);
    std::fill(layout.Scratch.begin(), layout.Scratch.end(), std::string_view());
    std::vector<bool> present(layout.FieldCount + layout.NestedCount, false);
    std::size_t place = i;
    // At most `count` steps, so a log whose entries form a loop cannot hang.
    for (std::size_t at = i, steps = 0; at < count && steps <= count; at = original[at], ++steps) {
      ReadRow(rows[at], layout, *record, &present);
      place = at;
    }
    record->Values = TRecordValues(layout.Scratch);
    placed.push_back({place, std::move(record)});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const TPlaced& a, const TPlaced& b) { return a.Place < b.Place; });
  std::vector<std::unique_ptr<TRecord>> records;
  records.reserve(placed.size());
  for (TPlaced& entry : placed) records.push_back(std::move(entry.Record));
  return records;
}

// The order the packet's PARAMS give: the 1-based number of a field among the packet's fields.
std::optional<TIndexDef> ReadIndex(pugi::xml_node params, const std::vector<TPacketField>& packet,
                                   const std::vector<TFieldDef>& defs) {
  long number = 0;
  bool primary = ParseNumber(params.attribute("PRIMARY_KEY").value(), number);
  if (!ParseNumber(params.attribute("DEFAULT_ORDER").value(), number) && !primary) return std::nullopt;
  if (number < 1 || static_cast<std::size_t>(number) > packet.size()) return std::nullopt;
  const TPacketField& field = packet[static_cast<std::size_t>(number) - 1];
  std::size_t def = FindFieldDef(defs, field.Def.Name);
  if (!field.Known || def == std::string::npos || defs[def].Kind == TFieldKind::Nested) return std::nullopt;
  return TIndexDef{"DEFAULT_ORDER", defs[def].Name, primary};
}

}  // namespace

TDataPacket ReadDataPacket(char* bytes, std::size_t size, const std::vector<TFieldDef>& declared) {
  // The bytes are kept as they are, whatever the declared encoding says; only
  // a UTF-16 packet (told by its byte-order mark) is converted.
  bool utf16 = size >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  // No attribute white-space normalisation: line breaks and tabs in values must survive.
  constexpr unsigned options = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol;
  pugi::xml_document document;
  pugi::xml_parse_result parsed =
      document.load_buffer_inplace(bytes, size, options, utf16 ? pugi::encoding_auto : pugi::encoding_utf8);
  if (!parsed) Mismatch();
  pugi::xml_node root = document.child("DATAPACKET");
  if (!root) Mismatch();
  pugi::xml_node metadata = root.child("METADATA");
  pugi::xml_node fieldsNode = metadata.child("FIELDS");
  if (!fieldsNode) Fail("Datapacket contains no meta data.");

  std::vector<TPacketField> packetFields = ReadFields(fieldsNode, 0);
  TDataPacket packet;
  packet.Fields = declared.empty() ? DefsOf(packetFields) : declared;
  TLayout layout;
  TLayoutStore nestedLayouts;
  BuildLayout(packet.Fields, packetFields, layout, nestedLayouts);

  pugi::xml_node params = metadata.child("PARAMS");
  packet.Index = ReadIndex(params, packetFields, packet.Fields);

  pugi::xml_node rowData = root.child("ROWDATA");
  pugi::xml_attribute changeLog = params.attribute("CHANGE_LOG");
  if (changeLog) {
    packet.Records = ReadLoggedRows(rowData, layout, changeLog.value());
    return packet;
  }
  for (pugi::xml_node row : rowData.children())
    if (row.type() == pugi::node_element && IsCurrent(row)) packet.Records.push_back(ReadRecord(row, layout));
  return packet;
}

TFileBuffer ReadFileBuffer(const std::string& path) {
  auto fail = [&](int error) {
    throw EDatabaseError("Cannot open file \"" + path + "\". " + std::strerror(error));
  };
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) fail(errno);
  // One read into a buffer one byte larger than the file; a file that grew meanwhile is read on.
  std::error_code sizeError;
  auto size = std::filesystem::file_size(path, sizeError);
  std::size_t capacity = (sizeError ? 0 : static_cast<std::size_t>(size)) + 1;
  TFileBuffer buffer{std::make_unique_for_overwrite<char[]>(capacity), 0};
  while (true) {
    buffer.Size += std::fread(buffer.Data.get() + buffer.Size, 1, capacity - buffer.Size, file);
    if (buffer.Size < capacity) break;
    capacity *= 2;
    auto larger = std::make_unique_for_overwrite<char[]>(capacity);
    std::memcpy(larger.get(), buffer.Data.get(), buffer.Size);
    buffer.Data = std::move(larger);
  }
  int error = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (error) fail(error);
  return buffer;
}

std::string ReadWholeFile(const std::string& path) {
  TFileBuffer buffer = ReadFileBuffer(path);
  return std::string(buffer.Data.get(), buffer.Size);
}

}  // namespace orb
