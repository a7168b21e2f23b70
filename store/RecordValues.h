// The text values of one record, packed into one block of memory: a record
// of a 100,000-record catalogue costs one allocation for all its values, not
// one per value, which keeps loading fast and the loaded store small.
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
  TRecordValues(const TRecordValues& other);
  TRecordValues& operator=(const TRecordValues& other);
  TRecordValues(TRecordValues&&) noexcept = default;
  TRecordValues& operator=(TRecordValues&&) noexcept = default;

  std::size_t Count() const;
  std::string_view operator[](std::size_t index) const;
  // Replaces one value; the block is built anew.
  void Set(std::size_t index, std::string_view value);

 private:
  // Layout: the count, the end offset of each value, then the values' bytes.
  std::uint32_t Word(std::size_t index) const;
  std::size_t ByteSize() const;

  std::unique_ptr<char[]> block_;
};

}  // namespace orb
