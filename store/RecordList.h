// Records of a store and the ordered list that holds them.
//
// The list keeps records in presentation order (index order when the store
// has an index, stored order otherwise) and maps rows to records in
// logarithmic time, so that a list view over 100,000 records can ask for any
// row. Records live in blocks of a few hundred; inserting or removing moves at
// most one block and the start rows of the later blocks. Each entry caches the
// first bytes of its record's key, and the first key of every block is kept in
// one short array, so that a binary search over the index rarely has to follow
// a pointer into a record that is not in the cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/RecordValues.h"

namespace orb {

struct TRecord;

// The first 24 bytes of a key, big-endian and zero-padded: comparing two
// prefixes as numbers orders them as the bytes would, ties excepted. Titles
// of one catalogue often share their first words, so the prefix is long
// enough to tell most of them apart without reading the record.
struct TKeyPrefix {
  std::uint64_t High = 0, Middle = 0, Low = 0;
  auto operator<=>(const TKeyPrefix&) const = default;
};
TKeyPrefix KeyPrefix(std::string_view key);

class TRecordList {
 public:
  static constexpr std::size_t NoKey = static_cast<std::size_t>(-1);

  TRecordList();
  ~TRecordList();
  TRecordList(TRecordList&& other) noexcept;
  TRecordList& operator=(TRecordList&& other) noexcept;
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;

  // A deep copy, records and their nested lists included.
  TRecordList Clone() const;

  std::size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  TRecord& At(std::size_t row) const;

  // The field whose value orders the list; NoKey for stored order.
  std::size_t KeyField() const { return keyField_; }
  void SetKeyField(std::size_t field);

  void Insert(std::size_t row, std::unique_ptr<TRecord> record);
  std::unique_ptr<TRecord> Remove(std::size_t row);
  void Clear();

  // Replaces the content by `records`: in key order when the list has a key
  // field (equal keys keep their given order), else in the given order.
  void Assign(std::vector<std::unique_ptr<TRecord>> records);
  // Empties the list and hands its records over in order.
  std::vector<std::unique_ptr<TRecord>> TakeAll();

  // First row whose key sorts after `key` (where a new record with that key
  // goes, behind its equals), and first row whose key is not before it.
  std::size_t UpperBound(std::string_view key) const;
  std::size_t LowerBound(std::string_view key) const;

 private:
  // Entries own their records through a plain pointer so that a block can
  // shift them with one memmove; every record is deleted by Clear.
  struct TEntry {
    TKeyPrefix KeyPrefix;
    TRecord* Record;
  };
  using TBlock = std::vector<TEntry>;

  TKeyPrefix PrefixOf(const TRecord& record) const;
  std::string_view KeyOf(const TRecord& record) const;
  int Compare(const TEntry& entry, const TKeyPrefix& prefix, std::string_view key) const;
  int CompareBlock(std::size_t block, const TKeyPrefix& prefix, std::string_view key) const;
  template <typename Before>
  std::size_t Bound(std::string_view key, Before before) const;
  std::size_t BlockOf(std::size_t row) const;
  void OrderEntries(std::vector<TBlock>& blocks) const;
  void SplitBlock(std::size_t block);
  void ShiftStarts(std::size_t fromBlock, std::ptrdiff_t delta);

  std::vector<TBlock> blocks_;
  std::vector<std::size_t> starts_;    // first row of each block
  std::vector<TKeyPrefix> firsts_;     // key prefix of each block's first record
  std::size_t size_ = 0;
  std::size_t keyField_ = NoKey;
};

// One record: a text value per field (empty for nested fields) and the
// detail lists of those nested fields that were given any, by the nested
// field's slot (its number among the nested fields). A record costs memory
// for what it holds, not for every field its table declares.
struct TRecord {
  TRecordValues Values;
  std::vector<std::pair<std::size_t, TRecordList>> Nested;

  std::unique_ptr<TRecord> Clone() const;
  // The detail list of a nested field, or nullptr when it has none.
  const TRecordList* FindNested(std::size_t slot) const;
  // The detail list of a nested field, made empty when it has none.
  TRecordList& NestedList(std::size_t slot);
};

}  // namespace orb
