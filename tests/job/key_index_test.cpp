// The index of the list's duplicate keys that merges keep from one to the next.
#include "job/key_index.h"

#include <gtest/gtest.h>

#include <random>

namespace {

THash Key(uint64_t moves, uint64_t start, int32_t plies, bool keyed = true) {
  THash key;
  key.movesKey = moves;
  key.startKey = start;
  key.plies = plies;
  key.keyed = keyed;
  return key;
}

TEST(KeyIndex, HoldsTheKeysTakenInAndNoOthers) {
  THashes keys{Key(1, 2, 3), Key(4, 5, 6), Key(7, 8, 9, false)};
  KeyIndex index;
  EXPECT_FALSE(index.Holds(keys, keys[0]));  // nothing taken in yet
  index.CatchUp(keys);
  EXPECT_TRUE(index.Holds(keys, Key(1, 2, 3)));
  EXPECT_TRUE(index.Holds(keys, Key(4, 5, 6)));
  // Every part of a key counts; an unkeyed key is never held.
  EXPECT_FALSE(index.Holds(keys, Key(1, 2, 4)));
  EXPECT_FALSE(index.Holds(keys, Key(1, 3, 3)));
  EXPECT_FALSE(index.Holds(keys, Key(2, 2, 3)));
  EXPECT_FALSE(index.Holds(keys, Key(7, 8, 9)));
  // Keys added later are taken in by the next catching up only.
  keys.push_back(Key(10, 11, 12));
  EXPECT_FALSE(index.Holds(keys, Key(10, 11, 12)));
  index.CatchUp(keys);
  EXPECT_TRUE(index.Holds(keys, Key(10, 11, 12)));
  index.Clear();
  EXPECT_FALSE(index.Holds(keys, Key(1, 2, 3)));
  index.CatchUp(keys);
  EXPECT_TRUE(index.Holds(keys, Key(1, 2, 3)));
}

// Many keys, taken in a few at a time so that the table grows several times, and keys alike in
// their low bits: each is still found, and keys never added are not.
TEST(KeyIndex, FindsEveryKeyThroughGrowth) {
  std::mt19937_64 rng(11);
  THashes keys;
  KeyIndex index;
  for (int round = 0; round < 50; ++round) {
    for (int k = 0; k < 200; ++k) keys.push_back(Key(rng() << 20, rng(), int32_t(rng() % 300)));
    index.CatchUp(keys);
  }
  for (const THash& key : keys) ASSERT_TRUE(index.Holds(keys, key));
  for (int k = 0; k < 2000; ++k) EXPECT_FALSE(index.Holds(keys, Key(rng() << 20, rng(), 7)));
  // An array replaced by a shorter one behind the index's back is indexed afresh.
  keys.resize(10);
  keys.push_back(Key(99, 98, 97));
  index.CatchUp(keys);
  EXPECT_TRUE(index.Holds(keys, Key(99, 98, 97)));
}

}  // namespace
