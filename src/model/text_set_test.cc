#include "model/text_set.h"

#include <gtest/gtest.h>

#include <string>

#include "model/descriptor_key_set.h"

using namespace std::string_literals;

TEST(TextSet, HoldsEveryTextInsertedAcrossGrowthUntilCleared) {
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

  set.clear();
  EXPECT_EQ(set.size(), 0u);
  EXPECT_FALSE(set.contains("/work/models/part_0.prt.1"));
  EXPECT_FALSE(set.contains(""));
  EXPECT_TRUE(set.insert("/work/models/part_0.prt.1"));
  EXPECT_TRUE(set.contains("/work/models/part_0.prt.1"));

  // Emptied when it holds a few texts after a large walk, and filled again.
  set.clear();
  EXPECT_FALSE(set.contains("/work/models/part_0.prt.1"));
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(set.insert("/work/models/part_" + std::to_string(i) + ".prt.2"));
  for (int i = 0; i < 5000; ++i) ASSERT_TRUE(set.contains("/work/models/part_" + std::to_string(i) + ".prt.2"));
  EXPECT_FALSE(set.contains("/work/models/part_0.prt.1"));
  EXPECT_EQ(set.size(), 5000u);
}

TEST(TextSet, DescriptorsNamingTheSameModelAreOneKey) {
  DescriptorKeySet keys;
  EXPECT_TRUE(keys.insert(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6", "BOLT")));
  EXPECT_FALSE(keys.insert(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6", "BOLT")));
  // Names that join to the same letters, or another type, are other models.
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6BOLT")));
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_PART, "BOLT_M", "6BOLT")));
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_ASSEMBLY, "BOLT_M6", "BOLT")));
  keys.clear();
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6", "BOLT")));
}
