// The XML data packet: the file form of a store.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/RecordList.h"
#include "store/StoreTypes.h"

namespace orb {

// What a packet holds, in the shape of the store that reads it.
struct TDataPacket {
  std::vector<TFieldDef> Fields;                   // the store's fields (the packet's when none were declared)
  std::optional<TIndexDef> Index;                  // the order the packet's PARAMS give, if any
  std::vector<std::unique_ptr<TRecord>> Records;   // the current records, in stored order
};

// The bytes of a whole file, in a buffer that was never filled with anything else.
struct TFileBuffer {
  std::unique_ptr<char[]> Data;
  std::size_t Size = 0;
};

// Reads a packet. The bytes are parsed in place and left changed. With
// declared fields the packet's fields are matched to them by name; without,
// the packet's metadata defines them.
TDataPacket ReadDataPacket(char* bytes, std::size_t size, const std::vector<TFieldDef>& declared);

// The bytes of a data file parsed as XML but not yet read as a packet: the
// part of a load that does not depend on the store, so that it can run
// ahead of the store on another thread. Whether the bytes are a packet at
// all is found when it is read, so a load fails where it would from the bytes.
class TParsedPacket {
 public:
  explicit TParsedPacket(TFileBuffer buffer);
  TParsedPacket(TParsedPacket&&) noexcept;
  TParsedPacket& operator=(TParsedPacket&&) noexcept;
  ~TParsedPacket();

  // Reads the records ahead of the store, with the fields that the packet's
  // metadata defines: a store that declares just those fields, as the store
  // that wrote the file does, takes them as they are. A read that fails is
  // left to the store's own read.
  void ReadAhead();

 private:
  friend TDataPacket ReadDataPacket(TParsedPacket& parsed, const std::vector<TFieldDef>& declared);
  struct TDocument;
  std::unique_ptr<TDocument> document_;
};

// Reads a parsed packet as ReadDataPacket reads its bytes, taking the
// records read ahead when they were read with the declared fields.
TDataPacket ReadDataPacket(TParsedPacket& parsed, const std::vector<TFieldDef>& declared);

// Receives the text of a packet piece by piece.
using TPacketSink = std::function<void(std::string_view)>;

// Writes the packet of `records` (in that order) with the given fields and
// index, handing it to `sink` in pieces of about a megabyte.
void WriteDataPacket(const std::vector<TFieldDef>& fields, const std::optional<TIndexDef>& index,
                     const TRecordList& records, const TPacketSink& sink);

// Appends `value` with the nine characters that a packet never holds as
// themselves replaced by their references.
void AppendEscaped(std::string& out, std::string_view value);

// Reads a whole file; fails with "Cannot open file "%s". %s".
TFileBuffer ReadFileBuffer(const std::string& path);
std::string ReadWholeFile(const std::string& path);

// Replaces the file at `path` by what `write` gives its sink, through a
// temporary file in the same folder and a rename, so the old file stays whole
// when writing fails; fails with "Cannot create file "%s". %s".
void ReplaceFile(const std::string& path, const std::function<void(const TPacketSink&)>& write);

}  // namespace orb
