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
#include <unordered_map>

#include <pugixml.hpp>

#include "store/DataPacket.h"
#include "text/TextCompare.h"

namespace orb {

namespace {

// Nested tables deeper than this, or tables with more fields, are not
// packets of any template.
constexpr int MaxNesting = 8;
constexpr std::size_t MaxFields = 1024;
// A record changed more often than this in one change log is not a real packet.
constexpr std::size_t MaxChangeChain = 64;

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

struct TNameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};
template <typename T>
using TNameMap = std::unordered_map<std::string, T, TNameHash, std::equal_to<>>;

// How one packet row maps onto a store record. Reading a row costs time and
// memory for what the row holds, never for every field the table declares.
struct TLayout {
  struct TDetail {
    std::size_t Slot;
    TLayout* Layout;
  };
  std::vector<std::pair<std::string, std::size_t>> Values;  // attribute name and field index, in field order
  TNameMap<std::size_t> ValueIndex;                         // attribute name to position in Values
  TNameMap<TDetail> Details;                                // element name of a nested field
  std::size_t FieldCount = 0;
  std::size_t NestedCount = 0;
  // The values of the row being read; they point into the parsed document.
  std::vector<TRecordValues::TFilled> Filled;
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
    if (fields.size() > MaxFields) Mismatch();
  }
  return fields;
}

const TPacketField* FindPacketField(const std::vector<TPacketField>& fields, std::string_view name) {
  for (const TPacketField& field : fields)
    if (field.Known && SameText(field.Def.Name, name)) return &field;
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
  for (std::size_t i = 0; i < defs.size(); ++i) {
    const TPacketField* field = FindPacketField(packet, defs[i].Name);
    if (!field) Fail("Field '" + defs[i].Name + "' not found");
    bool nested = defs[i].Kind == TFieldKind::Nested;
    if (nested != (field->Def.Kind == TFieldKind::Nested)) Mismatch();
    if (!nested) {
      layout.ValueIndex.emplace(field->Def.Name, layout.Values.size());
      layout.Values.emplace_back(field->Def.Name, i);
      continue;
    }
    TLayout* child = store.emplace_back(std::make_unique<TLayout>()).get();
    BuildLayout(defs[i].Children, field->Children, *child, store);
    layout.Details.emplace(field->Def.Name, TLayout::TDetail{layout.NestedCount++, child});
  }
}

std::unique_ptr<TRecord> ReadRecord(pugi::xml_node row, TLayout& layout);

bool IsCurrentState(long state) { return !(state & NotCurrentStates); }

// Reads the values of `row` into the layout's Filled values and returns the
// row's RowState (0 when it has none). The state is found in the same pass
// over the attributes as the values: it is never a field's name.
long ReadValues(pugi::xml_node row, TLayout& layout) {
  long state = 0;
  bool stateSeen = false;
  std::size_t hint = 0;
  for (pugi::xml_attribute attribute = row.first_attribute(); attribute; attribute = attribute.next_attribute()) {
    const char* name = attribute.name();
    // Attributes mostly come in field order: try the next expected one first.
    std::size_t found;
    if (hint < layout.Values.size() && std::strcmp(layout.Values[hint].first.c_str(), name) == 0) {
      found = hint;
    } else {
      auto it = layout.ValueIndex.find(std::string_view(name));
      if (it == layout.ValueIndex.end()) {
        // Only the first RowState counts, and one that is not a number means none.
        if (!stateSeen && std::strcmp(name, "RowState") == 0) {
          stateSeen = true;
          if (!ParseNumber(attribute.value(), state)) state = 0;
        }
        continue;
      }
      found = it->second;
    }
    hint = found + 1;
    layout.Filled.emplace_back(layout.Values[found].second, attribute.value());
  }
  return state;
}

// Reads the detail rows of `row` into `record`. A detail list that was read
// already (from a later row of a change log, or twice in one row) is kept.
void ReadDetails(pugi::xml_node row, TLayout& layout, TRecord& record) {
  if (layout.Details.empty()) return;
  for (pugi::xml_node element : row.children()) {
    if (element.type() != pugi::node_element) continue;
    auto detail = layout.Details.find(std::string_view(element.name()));
    if (detail == layout.Details.end() || record.FindNested(detail->second.Slot)) continue;
    std::vector<std::unique_ptr<TRecord>> details;
    for (pugi::xml_node child : element.children())
      if (child.type() == pugi::node_element)
        if (auto detailRecord = ReadRecord(child, *detail->second.Layout)) details.push_back(std::move(detailRecord));
    record.NestedList(detail->second.Slot).Assign(std::move(details));
  }
}

// Makes the Filled values the record's values: each field's first value, the empty ones left out.
void TakeFilled(TLayout& layout, TRecord& record) {
  std::vector<TRecordValues::TFilled>& filled = layout.Filled;
  // Rows this store wrote hold each field once, in field order, and no empty value.
  bool ordered = std::adjacent_find(filled.begin(), filled.end(),
                                    [](const auto& a, const auto& b) { return a.first >= b.first; }) == filled.end();
  if (!ordered) {
    std::stable_sort(filled.begin(), filled.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    filled.erase(std::unique(filled.begin(), filled.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
                 filled.end());
  }
  std::erase_if(filled, [](const auto& value) { return value.second.empty(); });
  record.Values = TRecordValues(layout.FieldCount, filled);
  filled.clear();
}

// The record of a row, or nullptr when the row is not current.
std::unique_ptr<TRecord> ReadRecord(pugi::xml_node row, TLayout& layout) {
  if (!IsCurrentState(ReadValues(row, layout))) {
    layout.Filled.clear();
    return nullptr;
  }
  auto record = std::make_unique<TRecord>();
  // A detail row's layout is another layout, so the Filled values of this row wait safely.
  ReadDetails(row, layout, *record);
  TakeFilled(layout, *record);
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
    if (!IsCurrentState(ReadValues(rows[i], layout))) {
      layout.Filled.clear();
      continue;
    }
    auto record = std::make_unique<TRecord>();
    ReadDetails(rows[i], layout, *record);
    std::size_t place = i;
    // The changed row first, then the rows it changes: its own values win.
    // A bounded number of steps, so a log whose entries form a loop or a
    // long chain cannot hang the load.
    for (std::size_t at = original[i], steps = 1; at < count && steps < MaxChangeChain; at = original[at], ++steps) {
      ReadValues(rows[at], layout);
      ReadDetails(rows[at], layout, *record);
      place = at;
    }
    TakeFilled(layout, *record);
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

// Parses the bytes in place. The bytes are kept as they are, whatever the
// declared encoding says; only a UTF-16 packet (told by its byte-order mark)
// is converted.
bool ParsePacket(pugi::xml_document& document, char* bytes, std::size_t size) {
  bool utf16 = size >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  // No attribute white-space normalisation: line breaks and tabs in values
  // must survive. No CDATA nodes either: only elements and their attributes
  // are read, and a CDATA section is checked for its end all the same.
  constexpr unsigned options = pugi::parse_escapes | pugi::parse_eol;
  return bool(document.load_buffer_inplace(bytes, size, options, utf16 ? pugi::encoding_auto : pugi::encoding_utf8));
}

TDataPacket ReadParsedPacket(const pugi::xml_document& document, bool parsed, const std::vector<TFieldDef>& declared) {
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
    if (row.type() == pugi::node_element)
      if (auto record = ReadRecord(row, layout)) packet.Records.push_back(std::move(record));
  return packet;
}

}  // namespace

TDataPacket ReadDataPacket(char* bytes, std::size_t size, const std::vector<TFieldDef>& declared) {
  pugi::xml_document document;
  bool parsed = ParsePacket(document, bytes, size);
  return ReadParsedPacket(document, parsed, declared);
}

struct TParsedPacket::TDocument {
  TFileBuffer Buffer;
  pugi::xml_document Document;
  bool Parsed = false;
  std::optional<TDataPacket> ReadAhead;
};

TParsedPacket::TParsedPacket(TFileBuffer buffer) : document_(std::make_unique<TDocument>()) {
  document_->Buffer = std::move(buffer);
  document_->Parsed = ParsePacket(document_->Document, document_->Buffer.Data.get(), document_->Buffer.Size);
}

TParsedPacket::TParsedPacket(TParsedPacket&&) noexcept = default;
TParsedPacket& TParsedPacket::operator=(TParsedPacket&&) noexcept = default;
TParsedPacket::~TParsedPacket() = default;

void TParsedPacket::ReadAhead() {
  try {
    document_->ReadAhead = ReadParsedPacket(document_->Document, document_->Parsed, {});
  } catch (const EDatabaseError&) {
  }
}

TDataPacket ReadDataPacket(TParsedPacket& parsed, const std::vector<TFieldDef>& declared) {
  TParsedPacket::TDocument& document = *parsed.document_;
  // The same fields make the same layout, so the records are the ones the
  // declared read would make.
  if (document.ReadAhead && (declared.empty() || declared == document.ReadAhead->Fields)) {
    TDataPacket packet = std::move(*document.ReadAhead);
    document.ReadAhead.reset();
    return packet;
  }
  document.ReadAhead.reset();
  return ReadParsedPacket(document.Document, document.Parsed, declared);
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
