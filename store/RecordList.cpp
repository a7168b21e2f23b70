#include "store/RecordList.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace orb {

namespace {

// Blocks split when they grow past this many records; smaller blocks make
// inserts cheaper, larger ones make the block index shorter.
constexpr std::size_t MaxBlock = 256;
// Bulk loads leave room in each block so that later inserts rarely split.
constexpr std::size_t LoadBlock = 192;

// A walk over every record of a large list meets memory that left the cache
// long ago, and waiting for each record in turn is what such a walk costs.
// A record and its values block were mostly allocated one right behind the
// other, so the walk asks for the memory at and behind the record this many
// rows ahead, and the waits of many rows overlap.
constexpr std::size_t FetchAhead = 16;
constexpr std::uintptr_t FetchLines = 3;

void Fetch(const TRecord* record) {
  auto at = reinterpret_cast<std::uintptr_t>(record);
  for (std::uintptr_t line = 0; line < FetchLines; ++line) __builtin_prefetch(reinterpret_cast<const void*>(at + 64 * line));
}

}  // namespace

TKeyPrefix KeyPrefix(std::string_view key) {
  auto word = [&](std::size_t from) {
    std::uint64_t value = 0;
    for (std::size_t i = from; i < from + 8; ++i)
      value = (value << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return value;
  };
  return {word(0), word(8), word(16)};
}

std::unique_ptr<TRecord> TRecord::Clone() const {
  auto copy = std::make_unique<TRecord>();
  copy->Values = Values;
  copy->Nested.reserve(Nested.size());
  for (const auto& [slot, list] : Nested) copy->Nested.emplace_back(slot, list.Clone());
  return copy;
}

const TRecordList* TRecord::FindNested(std::size_t slot) const {
  for (const auto& [at, list] : Nested)
    if (at == slot) return &list;
  return nullptr;
}

TRecordList& TRecord::NestedList(std::size_t slot) {
  for (auto& [at, list] : Nested)
    if (at == slot) return list;
  return Nested.emplace_back(slot, TRecordList()).second;
}

TRecordList::TRecordList() = default;
TRecordList::~TRecordList() { Clear(); }

TRecordList::TRecordList(TRecordList&& other) noexcept { *this = std::move(other); }

TRecordList& TRecordList::operator=(TRecordList&& other) noexcept {
  if (this == &other) return *this;
  Clear();
  blocks_ = std::move(other.blocks_);
  starts_ = std::move(other.starts_);
  firsts_ = std::move(other.firsts_);
  size_ = other.size_;
  keyField_ = other.keyField_;
  other.blocks_.clear();
  other.starts_.clear();
  other.firsts_.clear();
  other.size_ = 0;
  return *this;
}

TRecordList TRecordList::Clone() const {
  TRecordList copy;
  copy.keyField_ = keyField_;
  copy.size_ = size_;
  copy.starts_ = starts_;
  copy.firsts_ = firsts_;
  copy.blocks_.reserve(blocks_.size());
  for (const TBlock& block : blocks_) {
    TBlock& target = copy.blocks_.emplace_back();
    target.reserve(block.size());
    for (const TEntry& entry : block) target.push_back({entry.KeyPrefix, entry.Record->Clone().release()});
  }
  return copy;
}

TRecord& TRecordList::At(std::size_t row) const {
  assert(row < size_);
  std::size_t block = BlockOf(row);
  return *blocks_[block][row - starts_[block]].Record;
}

void TRecordList::SetKeyField(std::size_t field) {
  keyField_ = field;
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    for (TEntry& entry : blocks_[b]) entry.KeyPrefix = PrefixOf(*entry.Record);
    firsts_[b] = blocks_[b].front().KeyPrefix;
  }
}

std::string_view TRecordList::KeyOf(const TRecord& record) const {
  return keyField_ < record.Values.Count() ? record.Values[keyField_] : std::string_view();
}

TKeyPrefix TRecordList::PrefixOf(const TRecord& record) const {
  return keyField_ == NoKey ? TKeyPrefix() : KeyPrefix(KeyOf(record));
}

int TRecordList::Compare(const TEntry& entry, const TKeyPrefix& prefix, std::string_view key) const {
  if (entry.KeyPrefix != prefix) return entry.KeyPrefix < prefix ? -1 : 1;
  int order = KeyOf(*entry.Record).compare(key);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int TRecordList::CompareBlock(std::size_t block, const TKeyPrefix& prefix, std::string_view key) const {
  if (firsts_[block] != prefix) return firsts_[block] < prefix ? -1 : 1;
  return Compare(blocks_[block].front(), prefix, key);
}

std::size_t TRecordList::BlockOf(std::size_t row) const {
  // The last block that starts at or before `row`.
  auto it = std::upper_bound(starts_.begin(), starts_.end(), row);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

void TRecordList::ShiftStarts(std::size_t fromBlock, std::ptrdiff_t delta) {
  for (std::size_t i = fromBlock; i < starts_.size(); ++i)
    starts_[i] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(starts_[i]) + delta);
}

void TRecordList::Insert(std::size_t row, std::unique_ptr<TRecord> record) {
  assert(row <= size_);
  TKeyPrefix prefix = PrefixOf(*record);
  if (blocks_.empty()) {
    blocks_.emplace_back().reserve(16);
    starts_.push_back(0);
    firsts_.push_back(prefix);
  }
  // A row at the very end goes into the last block.
  std::size_t block = row == size_ ? blocks_.size() - 1 : BlockOf(row);
  TBlock& target = blocks_[block];
  std::size_t at = row - starts_[block];
  // The record is let go only once its entry exists, so a failed insert does not leak it.
  target.insert(target.begin() + static_cast<std::ptrdiff_t>(at), TEntry{prefix, nullptr})->Record = record.release();
  if (at == 0) firsts_[block] = prefix;
  ++size_;
  ShiftStarts(block + 1, 1);
  if (target.size() > MaxBlock) SplitBlock(block);
}

void TRecordList::SplitBlock(std::size_t block) {
  TBlock& full = blocks_[block];
  std::size_t half = full.size() / 2;
  TBlock upper;
  upper.reserve(MaxBlock + 1);
  std::move(full.begin() + static_cast<std::ptrdiff_t>(half), full.end(), std::back_inserter(upper));
  full.erase(full.begin() + static_cast<std::ptrdiff_t>(half), full.end());
  std::size_t upperStart = starts_[block] + half;
  blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(upper));
  starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(block) + 1, upperStart);
  firsts_.insert(firsts_.begin() + static_cast<std::ptrdiff_t>(block) + 1, blocks_[block + 1].front().KeyPrefix);
}

std::unique_ptr<TRecord> TRecordList::Remove(std::size_t row) {
  assert(row < size_);
  std::size_t block = BlockOf(row);
  TBlock& source = blocks_[block];
  auto at = source.begin() + static_cast<std::ptrdiff_t>(row - starts_[block]);
  std::unique_ptr<TRecord> record(at->Record);
  source.erase(at);
  --size_;
  if (source.empty()) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(block));
    firsts_.erase(firsts_.begin() + static_cast<std::ptrdiff_t>(block));
    ShiftStarts(block, -1);
  } else {
    firsts_[block] = source.front().KeyPrefix;
    ShiftStarts(block + 1, -1);
  }
  return record;
}

void TRecordList::Clear() {
  for (TBlock& block : blocks_) {
    for (std::size_t i = 0; i < std::min(FetchAhead, block.size()); ++i) Fetch(block[i].Record);
    for (std::size_t i = 0; i < block.size(); ++i) {
      if (i + FetchAhead < block.size()) Fetch(block[i + FetchAhead].Record);
      delete block[i].Record;
    }
  }
  blocks_.clear();
  starts_.clear();
  firsts_.clear();
  size_ = 0;
}

void TRecordList::Assign(std::vector<std::unique_ptr<TRecord>> records) {
  Clear();
  // Everything that allocates comes before the list takes the records over,
  // so a failed allocation leaves them all with `records` and the list empty.
  std::vector<TBlock> blocks((records.size() + LoadBlock - 1) / LoadBlock);
  for (std::size_t b = 0; b < blocks.size(); ++b) blocks[b].reserve(std::min(LoadBlock, records.size() - b * LoadBlock));
  starts_.reserve(blocks.size());
  firsts_.reserve(blocks.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + FetchAhead < records.size()) Fetch(records[i + FetchAhead].get());
    blocks[i / LoadBlock].push_back({PrefixOf(*records[i]), records[i].get()});
  }
  if (keyField_ != NoKey) OrderEntries(blocks);
  for (std::unique_ptr<TRecord>& record : records) record.release();
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    starts_.push_back(b * LoadBlock);
    firsts_.push_back(blocks[b].front().KeyPrefix);
  }
  blocks_ = std::move(blocks);
  size_ = records.size();
}

// Puts the entries of `blocks` in key order, keeping the block sizes. Ordering
// compares the cached prefixes and reads a record's key only when two tie.
void TRecordList::OrderEntries(std::vector<TBlock>& blocks) const {
  auto before = [this](const TEntry& a, const TEntry& b) {
    if (a.KeyPrefix != b.KeyPrefix) return a.KeyPrefix < b.KeyPrefix;
    return KeyOf(*a.Record) < KeyOf(*b.Record);
  };
  auto inOrder = [&] {
    const TEntry* previous = nullptr;
    for (const TBlock& block : blocks)
      for (const TEntry& entry : block) {
        if (previous && before(entry, *previous)) return false;
        previous = &entry;
      }
    return true;
  };
  // Files this store wrote are in order already; only others need sorting.
  if (inOrder()) return;
  std::vector<TEntry> entries;
  entries.reserve(blocks.size() * LoadBlock);
  for (const TBlock& block : blocks) entries.insert(entries.end(), block.begin(), block.end());
  std::stable_sort(entries.begin(), entries.end(), before);
  auto next = entries.begin();
  for (TBlock& block : blocks)
    for (TEntry& entry : block) entry = *next++;
}

std::vector<std::unique_ptr<TRecord>> TRecordList::TakeAll() {
  std::vector<std::unique_ptr<TRecord>> records;
  records.reserve(size_);
  for (TBlock& block : blocks_)
    for (TEntry& entry : block) records.emplace_back(entry.Record);
  blocks_.clear();
  starts_.clear();
  firsts_.clear();
  size_ = 0;
  return records;
}

// First row for which `before(order of that row's key against the key)` is false.
template <typename Before>
std::size_t TRecordList::Bound(std::string_view key, Before before) const {
  TKeyPrefix prefix = KeyPrefix(key);
  // First block whose first record is not before the key; the answer lies in the block before it.
  std::size_t lo = 0, hi = blocks_.size();
  while (lo < hi) {
    std::size_t mid = lo + (hi - lo) / 2;
    if (before(CompareBlock(mid, prefix, key))) lo = mid + 1;
    else hi = mid;
  }
  if (lo == 0) return 0;
  const TBlock& candidate = blocks_[lo - 1];
  auto at = std::partition_point(candidate.begin(), candidate.end(),
                                 [&](const TEntry& e) { return before(Compare(e, prefix, key)); });
  return starts_[lo - 1] + static_cast<std::size_t>(at - candidate.begin());
}

std::size_t TRecordList::UpperBound(std::string_view key) const {
  return Bound(key, [](int order) { return order <= 0; });
}

std::size_t TRecordList::LowerBound(std::string_view key) const {
  return Bound(key, [](int order) { return order < 0; });
}

}  // namespace orb
