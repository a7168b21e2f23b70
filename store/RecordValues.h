// The text values of one record, packed into one block of memory: a record
// of a 100,000-record catalogue costs one allocation for all its values, not
// one per value, which keeps loading fast and the loaded store small. Only
// the values that are not empty take room, so a record's size follows what
// it holds and never the number of fields its table declares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace orb {

class TRecordValues {
 public:
  TRecordValues() = default;
  // `count` empty values.
  explicit TRecordValues(std::size_t count);
  explicit TRecordValues(std::span<const std::string_view> values);
  // A value as its field index and text.
  using TFilled = std::pair<std::size_t, std::string_view>;
  // `count` values of which only `filled` (in ascending field order, each
  // field once) are not empty.
  TRecordValues(std::size_t count, std::span<const TFilled> filled);
  TRecordValues(const TRecordValues& other);
  TRecordValues& operator=(const TRecordValues& other);
  TRecordValues(TRecordValues&&) noexcept = default;
  TRecordValues& operator=(TRecordValues&&) noexcept = default;

  std::size_t Count() const;
  // The non-empty values, in field order: how many, and each with its field index.
  std::size_t FilledCount() const;
  TFilled Filled(std::size_t slot) const;
  std::string_view operator[](std::size_t index) const;
  // Replaces one value; the block is built anew.
  void Set(std::size_t index, std::string_view value);

 private:
  // Layout in 32-bit words: the count of values, the count n of non-empty
  // ones, their n field indexes (ascending), their n end offsets, then the
  // bytes of the non-empty values.
  std::uint32_t Word(std::size_t index) const;
  std::size_t ByteSize() const;

  std::unique_ptr<char[]> block_;
};

}  // namespace orb
