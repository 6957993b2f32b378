#include "core/text_set.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(TextSet, HoldsEveryTextInsertedAcrossGrowth) {
  TextSet set;
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(set.insert("/work/models/part_" + std::to_string(i) + ".prt.1"));
  EXPECT_FALSE(set.insert("/work/models/part_4999.prt.1"));
  EXPECT_EQ(set.size(), 5000u);
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(set.contains("/work/models/part_" + std::to_string(i) + ".prt.1"));
  EXPECT_FALSE(set.contains("/work/models/part_5000.prt.1"));
  EXPECT_FALSE(set.contains("/work/models/part_1.prt"));  // a prefix of a member

  // Texts told apart by their bytes only: empty, embedded NUL, case.
  EXPECT_TRUE(set.insert(""));
  EXPECT_TRUE(set.insert("a\0b"s));
  EXPECT_FALSE(set.contains("a"));
  EXPECT_TRUE(set.insert("A\0b"s));
  EXPECT_FALSE(set.insert(""));
}
