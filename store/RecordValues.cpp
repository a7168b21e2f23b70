#include "store/RecordValues.h"

#include <cstring>
#include <limits>
#include <vector>

#include "store/StoreTypes.h"

namespace orb {

namespace {

constexpr std::size_t WordSize = sizeof(std::uint32_t);

std::unique_ptr<char[]> Pack(std::span<const std::string_view> values) {
  std::size_t total = 0;
  for (std::string_view value : values) total += value.size();
  if (total > std::numeric_limits<std::uint32_t>::max()) throw EDatabaseError("Record too large");
  std::size_t header = (values.size() + 1) * WordSize;
  auto block = std::make_unique_for_overwrite<char[]>(header + total);
  auto putWord = [&](std::size_t index, std::size_t word) {
    auto value = static_cast<std::uint32_t>(word);
    std::memcpy(block.get() + index * WordSize, &value, WordSize);
  };
  putWord(0, values.size());
  std::size_t end = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!values[i].empty()) std::memcpy(block.get() + header + end, values[i].data(), values[i].size());
    end += values[i].size();
    putWord(i + 1, end);
  }
  return block;
}

}  // namespace

TRecordValues::TRecordValues(std::size_t count) {
  std::vector<std::string_view> empty(count);
  block_ = Pack(empty);
}

TRecordValues::TRecordValues(std::span<const std::string_view> values) : block_(Pack(values)) {}

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
  std::size_t count = Count();
  return (count + 1) * WordSize + (count ? Word(count) : 0);
}

std::string_view TRecordValues::operator[](std::size_t index) const {
  std::size_t count = Word(0);
  std::size_t begin = index == 0 ? 0 : Word(index);
  std::size_t end = Word(index + 1);
  return {block_.get() + (count + 1) * WordSize + begin, end - begin};
}

void TRecordValues::Set(std::size_t index, std::string_view value) {
  std::size_t count = Count();
  std::vector<std::string_view> values(count);
  for (std::size_t i = 0; i < count; ++i) values[i] = i == index ? value : (*this)[i];
  block_ = Pack(values);
}

}  // namespace orb
