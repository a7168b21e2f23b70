#include "store/RecordList.h"

#include <algorithm>
#include <cassert>

namespace orb {

namespace {

// Blocks split when they grow past this many records; smaller blocks make
// inserts cheaper, larger ones make the block index shorter.
constexpr std::size_t MaxBlock = 512;
// Bulk loads leave room in each block so that later inserts rarely split.
constexpr std::size_t LoadBlock = 384;

}  // namespace

std::uint64_t KeyPrefix(std::string_view key) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i)
    prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
  return prefix;
}

std::unique_ptr<TRecord> TRecord::Clone() const {
  auto copy = std::make_unique<TRecord>();
  copy->Values = Values;
  copy->Nested.reserve(Nested.size());
  for (const TRecordList& list : Nested) copy->Nested.push_back(list.Clone());
  return copy;
}

TRecordList::TRecordList() = default;
TRecordList::~TRecordList() = default;
TRecordList::TRecordList(TRecordList&&) noexcept = default;
TRecordList& TRecordList::operator=(TRecordList&&) noexcept = default;

TRecordList TRecordList::Clone() const {
  TRecordList copy;
  copy.keyField_ = keyField_;
  copy.size_ = size_;
  copy.starts_ = starts_;
  copy.blocks_.reserve(blocks_.size());
  for (const TBlock& block : blocks_) {
    TBlock& target = copy.blocks_.emplace_back();
    target.reserve(block.size());
    for (const TEntry& entry : block) target.push_back({entry.KeyPrefix, entry.Record->Clone()});
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
  for (TBlock& block : blocks_)
    for (TEntry& entry : block) entry.KeyPrefix = PrefixOf(*entry.Record);
}

std::string_view TRecordList::KeyOf(const TRecord& record) const {
  return keyField_ < record.Values.size() ? std::string_view(record.Values[keyField_]) : std::string_view();
}

std::uint64_t TRecordList::PrefixOf(const TRecord& record) const {
  return keyField_ == NoKey ? 0 : KeyPrefix(KeyOf(record));
}

int TRecordList::Compare(const TEntry& entry, std::uint64_t prefix, std::string_view key) const {
  if (entry.KeyPrefix != prefix) return entry.KeyPrefix < prefix ? -1 : 1;
  int order = KeyOf(*entry.Record).compare(key);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
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
  std::uint64_t prefix = PrefixOf(*record);
  if (blocks_.empty()) {
    blocks_.emplace_back().reserve(16);
    starts_.push_back(0);
  }
  // A row at the very end goes into the last block.
  std::size_t block = row == size_ ? blocks_.size() - 1 : BlockOf(row);
  TBlock& target = blocks_[block];
  target.insert(target.begin() + static_cast<std::ptrdiff_t>(row - starts_[block]), TEntry{prefix, std::move(record)});
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
}

std::unique_ptr<TRecord> TRecordList::Remove(std::size_t row) {
  assert(row < size_);
  std::size_t block = BlockOf(row);
  TBlock& source = blocks_[block];
  auto at = source.begin() + static_cast<std::ptrdiff_t>(row - starts_[block]);
  std::unique_ptr<TRecord> record = std::move(at->Record);
  source.erase(at);
  --size_;
  if (source.empty()) {
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
    starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(block));
    ShiftStarts(block, -1);
  } else {
    ShiftStarts(block + 1, -1);
  }
  return record;
}

void TRecordList::Clear() {
  blocks_.clear();
  starts_.clear();
  size_ = 0;
}

void TRecordList::Assign(std::vector<std::unique_ptr<TRecord>> records) {
  Clear();
  size_ = records.size();
  for (std::size_t first = 0; first < records.size(); first += LoadBlock) {
    std::size_t last = std::min(records.size(), first + LoadBlock);
    TBlock& block = blocks_.emplace_back();
    block.reserve(last - first);
    for (std::size_t i = first; i < last; ++i) {
      std::uint64_t prefix = PrefixOf(*records[i]);
      block.push_back({prefix, std::move(records[i])});
    }
    starts_.push_back(first);
  }
}

std::vector<std::unique_ptr<TRecord>> TRecordList::TakeAll() {
  std::vector<std::unique_ptr<TRecord>> records;
  records.reserve(size_);
  for (TBlock& block : blocks_)
    for (TEntry& entry : block) records.push_back(std::move(entry.Record));
  Clear();
  return records;
}

std::size_t TRecordList::UpperBound(std::string_view key) const {
  std::uint64_t prefix = KeyPrefix(key);
  // First block whose first record sorts after the key; the answer lies in the block before it.
  auto block = std::partition_point(blocks_.begin(), blocks_.end(),
                                    [&](const TBlock& b) { return Compare(b.front(), prefix, key) <= 0; });
  if (block == blocks_.begin()) return 0;
  std::size_t index = static_cast<std::size_t>(block - blocks_.begin()) - 1;
  const TBlock& candidate = blocks_[index];
  auto at = std::partition_point(candidate.begin(), candidate.end(),
                                 [&](const TEntry& e) { return Compare(e, prefix, key) <= 0; });
  return starts_[index] + static_cast<std::size_t>(at - candidate.begin());
}

std::size_t TRecordList::LowerBound(std::string_view key) const {
  std::uint64_t prefix = KeyPrefix(key);
  auto block = std::partition_point(blocks_.begin(), blocks_.end(),
                                    [&](const TBlock& b) { return Compare(b.front(), prefix, key) < 0; });
  if (block == blocks_.begin()) return 0;
  std::size_t index = static_cast<std::size_t>(block - blocks_.begin()) - 1;
  const TBlock& candidate = blocks_[index];
  auto at = std::partition_point(candidate.begin(), candidate.end(),
                                 [&](const TEntry& e) { return Compare(e, prefix, key) < 0; });
  return starts_[index] + static_cast<std::size_t>(at - candidate.begin());
}

}  // namespace orb
