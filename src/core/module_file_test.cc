#include "core/module_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using ::testing::ElementsAre;

namespace {

// Answers like GetModuleFileNameW for a name of the given length.
struct FakeModuleName {
  size_t length;
  std::vector<uint32_t> bufferSizes;
  uint32_t operator()(wchar_t* buffer, uint32_t size) {
    bufferSizes.push_back(size);
    const auto copied = static_cast<uint32_t>(std::min<size_t>(length, size));
    std::fill(buffer, buffer + copied, L'x');
    return copied;
  }
};

std::string failureOf(FakeModuleName& fake) {
  try {
    readModuleNameGrowingBuffer(std::ref(fake));
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST(ModuleFile, NamesTheFileThisCodeWasLoadedFrom) {
  const std::filesystem::path file = moduleFileName();
  EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
  EXPECT_EQ(file.stem(), "core_log_tests");
}

TEST(ModuleFile, BufferGrowsUpToTheLongestPathWindowsAllows) {
  FakeModuleName shortName{259, {}};
  EXPECT_EQ(readModuleNameGrowingBuffer(std::ref(shortName)).size(), 259u);
  EXPECT_THAT(shortName.bufferSizes, ElementsAre(260));

  FakeModuleName exactlyFirstBuffer{260, {}};
  EXPECT_EQ(readModuleNameGrowingBuffer(std::ref(exactlyFirstBuffer)).size(), 260u);
  EXPECT_THAT(exactlyFirstBuffer.bufferSizes, ElementsAre(260, 520));

  FakeModuleName longest{32767, {}};
  EXPECT_EQ(readModuleNameGrowingBuffer(std::ref(longest)).size(), 32767u);
  EXPECT_THAT(longest.bufferSizes, ElementsAre(260, 520, 1040, 2080, 4160, 8320, 16640, 32768));

  FakeModuleName tooLong{40000, {}};
  EXPECT_EQ(failureOf(tooLong), "tavix-creo module path exceeded maximum supported length");
  EXPECT_EQ(tooLong.bufferSizes.back(), 32768u);

  FakeModuleName unreadable{0, {}};
  EXPECT_EQ(failureOf(unreadable), "Failed to read tavix-creo module path");
}
