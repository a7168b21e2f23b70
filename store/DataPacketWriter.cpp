// Writes the XML data packet. The text is produced directly rather than
// through a DOM: the packet escapes exactly nine characters, which no XML
// writer does by itself, and writing straight into a buffer that goes to the
// file a megabyte at a time keeps saving a large catalogue fast.
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "store/DataPacket.h"

namespace orb {

namespace {

// The reference that stands for each character a value may not hold as itself.
constexpr std::array<const char*, 256> MakeEscapes() {
  std::array<const char*, 256> table{};
  table['<'] = "&lt;";
  table['>'] = "&gt;";
  table['"'] = "&quot;";
  table['&'] = "&amp;";
  table['\''] = "&apos;";
  table['\r'] = "&#013;";
  table['\n'] = "&#010;";
  table['\t'] = "&#009;";
  table['\\'] = "&#092;";
  return table;
}
constexpr std::array<const char*, 256> Escapes = MakeEscapes();

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendEscaped(out, value);
  out += '"';
}

void WriteFields(std::string& out, const std::vector<TFieldDef>& fields) {
  out += "<FIELDS>";
  for (const TFieldDef& field : fields) {
    out += "<FIELD";
    AppendAttribute(out, "attrname", field.Name);
    switch (field.Kind) {
      case TFieldKind::String:
        AppendAttribute(out, "fieldtype", "string");
        if (field.Size > 0) AppendAttribute(out, "WIDTH", std::to_string(field.Size));
        out += "/>";
        break;
      case TFieldKind::Memo:
        AppendAttribute(out, "fieldtype", "bin.hex");
        AppendAttribute(out, "SUBTYPE", "Text");
        out += "/>";
        break;
      case TFieldKind::Nested:
        AppendAttribute(out, "fieldtype", "nested");
        out += '>';
        WriteFields(out, field.Children);
        out += "<PARAMS/></FIELD>";
        break;
    }
  }
  out += "</FIELDS>";
}

// The index as 1-based field numbers, as other writers of the format give it.
void WriteParams(std::string& out, const std::vector<TFieldDef>& fields, const std::optional<TIndexDef>& index) {
  out += "<PARAMS";
  std::size_t field = index ? FindFieldDef(fields, index->Field) : std::string::npos;
  if (field != std::string::npos) {
    std::string number = std::to_string(field + 1);
    AppendAttribute(out, "DEFAULT_ORDER", number);
    if (index->Primary) AppendAttribute(out, "PRIMARY_KEY", number);
  }
  out += "/>";
}

void WriteRow(std::string& out, std::string_view element, const std::vector<TFieldDef>& fields, const TRecord& record) {
  out += '<';
  out += element;
  // Only the values a record holds are visited, never every declared field.
  for (std::size_t slot = 0; slot < record.Values.FilledCount(); ++slot) {
    auto [field, value] = record.Values.Filled(slot);
    if (field < fields.size() && fields[field].Kind != TFieldKind::Nested) AppendAttribute(out, fields[field].Name, value);
  }
  bool hasDetails = false;
  for (const auto& [slot, details] : record.Nested) hasDetails = hasDetails || !details.Empty();
  if (!hasDetails) {
    out += "/>";
    return;
  }
  out += '>';
  std::size_t slot = 0;
  for (const TFieldDef& field : fields) {
    if (field.Kind != TFieldKind::Nested) continue;
    const TRecordList* found = record.FindNested(slot++);
    if (!found || found->Empty()) continue;
    const TRecordList& details = *found;
    // Detail rows stand in an element named after the field, each named "ROW" and the field name.
    std::string detailElement = "ROW" + field.Name;
    out += '<';
    out += field.Name;
    out += '>';
    for (std::size_t row = 0; row < details.Size(); ++row) WriteRow(out, detailElement, field.Children, details.At(row));
    out += "</";
    out += field.Name;
    out += '>';
  }
  out += "</";
  out += element;
  out += '>';
}

[[noreturn]] void FailCreate(const std::string& path, const std::string& reason) {
  throw EDatabaseError("Cannot create file \"" + path + "\". " + reason);
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view value) {
  const char* run = value.data();
  const char* end = run + value.size();
  for (const char* at = run; at != end; ++at) {
    const char* escape = Escapes[static_cast<unsigned char>(*at)];
    if (!escape) continue;
    out.append(run, at);
    out += escape;
    run = at + 1;
  }
  out.append(run, end);
}

void WriteDataPacket(const std::vector<TFieldDef>& fields, const std::optional<TIndexDef>& index,
                     const TRecordList& records, const TPacketSink& sink) {
  // Pieces of about a megabyte: a large catalogue never stands in memory twice.
  constexpr std::size_t PieceSize = 1 << 20;
  std::string out;
  out.reserve(PieceSize + PieceSize / 4);
  out += "<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET Version=\"2.0\"><METADATA>";
  WriteFields(out, fields);
  WriteParams(out, fields, index);
  out += "</METADATA><ROWDATA>";
  for (std::size_t row = 0; row < records.Size(); ++row) {
    WriteRow(out, "ROW", fields, records.At(row));
    if (out.size() >= PieceSize) {
      sink(out);
      out.clear();
    }
  }
  out += "</ROWDATA></DATAPACKET>\n";
  sink(out);
}

void ReplaceFile(const std::string& path, const std::function<void(const TPacketSink&)>& write) {
  // The temporary file lies in the target's folder, so the rename never crosses file systems.
  std::string temporary;
  std::FILE* file = nullptr;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    temporary = path + ".~" + std::to_string(attempt) + ".tmp";
    errno = 0;
    file = std::fopen(temporary.c_str(), "wbx");
    if (!file && errno != EEXIST) FailCreate(path, std::strerror(errno));
  }
  if (!file) FailCreate(path, std::strerror(EEXIST));
  bool written = true;
  int writeError = 0;
  try {
    write([&](std::string_view piece) {
      if (written && std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) {
        written = false;
        writeError = errno;
      }
    });
  } catch (...) {
    std::fclose(file);
    std::remove(temporary.c_str());
    throw;
  }
  if (std::fclose(file) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    std::remove(temporary.c_str());
    FailCreate(path, std::strerror(writeError));
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    FailCreate(path, error.message());
  }
}

}  // namespace orb
