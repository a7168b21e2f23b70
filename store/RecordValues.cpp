#include "store/RecordValues.h"

#include <cstring>
#include <limits>
#include <vector>

#include "store/StoreTypes.h"

namespace orb {

namespace {

constexpr std::size_t WordSize = sizeof(std::uint32_t);

std::unique_ptr<char[]> Pack(std::size_t count, std::span<const TRecordValues::TFilled> values) {
  std::size_t total = 0;
  for (const auto& [field, value] : values) total += value.size();
  std::size_t filled = values.size();
  if (total > std::numeric_limits<std::uint32_t>::max() || count > std::numeric_limits<std::uint32_t>::max())
    throw EDatabaseError("Record too large");
  std::size_t header = (2 + 2 * filled) * WordSize;
  auto block = std::make_unique_for_overwrite<char[]>(header + total);
  auto putWord = [&](std::size_t index, std::size_t word) {
    auto value = static_cast<std::uint32_t>(word);
    std::memcpy(block.get() + index * WordSize, &value, WordSize);
  };
  putWord(0, count);
  putWord(1, filled);
  std::size_t end = 0;
  for (std::size_t slot = 0; slot < filled; ++slot) {
    const auto& [field, value] = values[slot];
    std::memcpy(block.get() + header + end, value.data(), value.size());
    end += value.size();
    putWord(2 + slot, field);
    putWord(2 + filled + slot, end);
  }
  return block;
}

std::unique_ptr<char[]> Pack(std::span<const std::string_view> values) {
  std::vector<TRecordValues::TFilled> filled;
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!values[i].empty()) filled.emplace_back(i, values[i]);
  return Pack(values.size(), filled);
}

}  // namespace

TRecordValues::TRecordValues(std::size_t count) : block_(Pack(count, {})) {}

TRecordValues::TRecordValues(std::span<const std::string_view> values) : block_(Pack(values)) {}

TRecordValues::TRecordValues(std::size_t count, std::span<const TFilled> filled) : block_(Pack(count, filled)) {}

TRecordValues::TRecordValues(const TRecordValues& other) {
  if (!other.block_) return;
  block_ = std::make_unique_for_overwrite<char[]>(other.ByteSize());
  std::memcpy(block_.get(), other.block_.get(), other.ByteSize());
}

TRecordValues& TRecordValues::operator=(const TRecordValues& other) {
  if (this != &other) *this = TRecordValues(other);
  return *this;
}

std::uint32_t TRecordValues::Word(std::size_t index) const {
  std::uint32_t word;
  std::memcpy(&word, block_.get() + index * WordSize, WordSize);
  return word;
}

std::size_t TRecordValues::Count() const { return block_ ? Word(0) : 0; }

std::size_t TRecordValues::ByteSize() const {
  std::size_t filled = Word(1);
  return (2 + 2 * filled) * WordSize + (filled ? Word(1 + 2 * filled) : 0);
}

std::size_t TRecordValues::FilledCount() const { return block_ ? Word(1) : 0; }

TRecordValues::TFilled TRecordValues::Filled(std::size_t slot) const {
  std::size_t filled = Word(1);
  std::size_t begin = slot == 0 ? 0 : Word(2 + filled + slot - 1);
  std::size_t end = Word(2 + filled + slot);
  return {Word(2 + slot), {block_.get() + (2 + 2 * filled) * WordSize + begin, end - begin}};
}

std::string_view TRecordValues::operator[](std::size_t index) const {
  if (!block_) return {};
  // The field indexes of the filled values ascend: a binary search finds the one asked for.
  std::size_t lo = 0, hi = Word(1);
  while (lo < hi) {
    std::size_t mid = lo + (hi - lo) / 2;
    std::size_t field = Word(2 + mid);
    if (field == index) return Filled(mid).second;
    if (field < index) lo = mid + 1;
    else hi = mid;
  }
  return {};
}

void TRecordValues::Set(std::size_t index, std::string_view value) {
  std::size_t count = Count();
  std::vector<std::string_view> values(count);
  for (std::size_t i = 0; i < count; ++i) values[i] = i == index ? value : (*this)[i];
  block_ = Pack(values);
}

}  // namespace orb
