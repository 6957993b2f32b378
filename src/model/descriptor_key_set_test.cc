#include "model/descriptor_key_set.h"

#include <gtest/gtest.h>

TEST(DescriptorKeySet, DescriptorsNamingTheSameModelAreOneKey) {
  DescriptorKeySet keys;
  EXPECT_TRUE(keys.insert(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6", "BOLT")));
  EXPECT_FALSE(keys.insert(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6", "BOLT")));
  // Names that join to the same letters, or another type, are other models.
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_PART, "BOLT_M6BOLT")));
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_PART, "BOLT_M", "6BOLT")));
  EXPECT_FALSE(keys.contains(pfcModelDescriptor(pfcMDL_ASSEMBLY, "BOLT_M6", "BOLT")));
}
