#include <gtest/gtest.h>

#include <random>

#include "store/RecordList.h"

namespace orb {
namespace {

std::unique_ptr<TRecord> Keyed(std::string key) {
  auto record = std::make_unique<TRecord>();
  std::string_view values[] = {key};
  record->Values = TRecordValues(values);
  return record;
}

std::vector<std::string> Keys(const TRecordList& list) {
  std::vector<std::string> keys;
  for (std::size_t row = 0; row < list.Size(); ++row) keys.emplace_back(list.At(row).Values[0]);
  return keys;
}

// Block splits, block removal and the start rows of later blocks must keep
// every row mapped to the right record; a plain vector is the reference.
TEST(RecordList, RandomInsertsAndRemovesMatchAPlainVector) {
  TRecordList list;
  std::vector<std::string> reference;
  std::mt19937 random(7);
  for (int step = 0; step < 6000; ++step) {
    bool remove = !reference.empty() && random() % 3 == 0;
    if (remove) {
      std::size_t row = random() % reference.size();
      EXPECT_EQ(list.Remove(row)->Values[0], reference[row]);
      reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(row));
    } else {
      std::size_t row = random() % (reference.size() + 1);
      std::string key = std::to_string(step);
      list.Insert(row, Keyed(key));
      reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(row), key);
    }
  }
  ASSERT_EQ(list.Size(), reference.size());
  EXPECT_EQ(Keys(list), reference);
  EXPECT_EQ(Keys(list.Clone()), reference);
}

// Keys that tie on their cached first eight bytes must still order by all
// their bytes, compared as unsigned, with embedded zero bytes counting.
TEST(RecordList, BoundsOrderByAllBytesBeyondTheCachedPrefix) {
  TRecordList list;
  list.SetKeyField(0);
  const std::string common = "Office Tools for the Desktop ";  // longer than the cached prefix
  std::vector<std::string> keys = {common + "b", common, common + "a", std::string("abc\0", 4), "abc",
                                   "\xC3\xA9t\xC3\xA9", "zzz", common + "a"};
  for (const std::string& key : keys) list.Insert(list.UpperBound(key), Keyed(key));
  std::vector<std::string> sorted = keys;
  std::stable_sort(sorted.begin(), sorted.end());
  EXPECT_EQ(Keys(list), sorted);
  EXPECT_EQ(list.LowerBound(common + "a"), 1u);
  EXPECT_EQ(list.UpperBound(common + "a"), 3u);
  EXPECT_EQ(list.LowerBound("abc"), 4u);
  EXPECT_EQ(list.UpperBound("abc"), 5u);
  EXPECT_EQ(list.UpperBound("\xFF"), list.Size());
}

// A keyed list orders what it is given: keys that tie on their cached prefix
// order by all their bytes, and equal keys keep their given order. A list
// without a key keeps the given order.
TEST(RecordList, AssignOrdersAKeyedListByAllBytesKeepingEqualKeysInOrder) {
  const std::string common = "Office Tools for the Desktop ";  // longer than the cached prefix
  std::vector<std::string> keys = {common + "b", "zzz", common + "a", std::string("abc\0", 4), common, "abc", "", common + "a"};
  auto records = [&] {
    std::vector<std::unique_ptr<TRecord>> made;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      std::string tag = std::to_string(i);
      std::string_view values[] = {keys[i], tag};
      made.push_back(std::make_unique<TRecord>());
      made.back()->Values = TRecordValues(values);
    }
    return made;
  };
  TRecordList keyed;
  keyed.SetKeyField(0);
  keyed.Assign(records());
  std::vector<std::string> sorted = keys;
  std::stable_sort(sorted.begin(), sorted.end());
  EXPECT_EQ(Keys(keyed), sorted);
  EXPECT_EQ(keyed.At(2).Values[1], "2");
  EXPECT_EQ(keyed.At(3).Values[1], "7");
  EXPECT_EQ(keyed.UpperBound(common + "a"), 4u);
  TRecordList plain;
  plain.Assign(records());
  EXPECT_EQ(Keys(plain), keys);
}

// Records out of order over many blocks come out in order, with each block's
// first key and start row right for the bounds and for inserts.
TEST(RecordList, AssignOrdersRecordsSpreadOverManyBlocks) {
  std::vector<std::string> keys;
  for (int i = 0; i < 1000; ++i) keys.push_back(std::to_string(10000 + (i * 389) % 1000));
  std::vector<std::unique_ptr<TRecord>> records;
  for (const std::string& key : keys) records.push_back(Keyed(key));
  TRecordList list;
  list.SetKeyField(0);
  list.Assign(std::move(records));
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(Keys(list), keys);
  EXPECT_EQ(list.LowerBound("10500"), 500u);
  list.Insert(list.UpperBound("10700"), Keyed("10700"));
  EXPECT_EQ(list.At(701).Values[0], "10700");
  EXPECT_EQ(list.At(702).Values[0], "10701");
}

TEST(RecordList, BoundsStayRightAcrossManyBlocks) {
  TRecordList list;
  list.SetKeyField(0);
  std::vector<std::unique_ptr<TRecord>> records;
  for (int i = 0; i < 3000; ++i) records.push_back(Keyed(std::to_string(10000 + i / 3)));  // three of each key
  list.Assign(std::move(records));
  for (int key = 10000; key < 11000; key += 37) {
    std::size_t lower = list.LowerBound(std::to_string(key));
    EXPECT_EQ(lower, static_cast<std::size_t>(key - 10000) * 3);
    EXPECT_EQ(list.UpperBound(std::to_string(key)), lower + 3);
  }
}

// Values share one block: setting one must leave the others whole, also
// when the new value is taken from the same record, and copies stay apart.
TEST(RecordValues, SetKeepsTheOtherValuesAndCopiesAreIndependent) {
  std::string_view initial[] = {"one", "", "three"};
  TRecordValues values(initial);
  values.Set(1, "two");
  values.Set(0, values[2]);
  TRecordValues copy = values;
  copy.Set(2, std::string(300, 'x'));
  EXPECT_EQ(values.Count(), 3u);
  EXPECT_EQ(values[0], "three");
  EXPECT_EQ(values[1], "two");
  EXPECT_EQ(values[2], "three");
  EXPECT_EQ(copy[2].size(), 300u);
  EXPECT_EQ(TRecordValues(2)[1], "");
}

}  // namespace
}  // namespace orb
