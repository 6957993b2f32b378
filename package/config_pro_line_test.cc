#include "config_pro_line.h"

#include <gtest/gtest.h>

#include <string>

namespace tavixsetup {
namespace {

const std::string kLine = registryFileLine("C:\\Program Files\\Tavix\\Créo\\creotk.dat");

TEST(ConfigProLine, NamesTheFileQuotedIsAddedInTheFilesStyleAndRemovedLeavingEveryOtherByte) {
  EXPECT_EQ(kLine, "toolkit_registry_file \"C:\\Program Files\\Tavix\\Créo\\creotk.dat\"");
  const struct {
    std::string before;
    std::string added;
  } cases[] = {
      {"", kLine + "\r\n"},
      {"display_mode shade\r\n", "display_mode shade\r\n" + kLine + "\r\n"},
      {"display_mode shade\n", "display_mode shade\n" + kLine + "\n"},
      {"display_mode shade", "display_mode shade\r\n" + kLine},
      {"a\nb", "a\nb\n" + kLine},
      {"! comment\r\n\r\n", "! comment\r\n\r\n" + kLine + "\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(withConfigLine(c.before, kLine), c.added) << c.before;
    EXPECT_EQ(withoutConfigLine(c.added, kLine), c.before) << c.before;
  }
}

TEST(ConfigProLine, IsAddedOnceAndOnlyItIsRemoved) {
  const std::string once = withConfigLine("x\r\n", kLine);
  EXPECT_EQ(withConfigLine(once, kLine), once);
  // Lines the administrator wrote around it later stay as they are.
  const std::string edited = "y\r\n" + once + "z\r\n";
  EXPECT_EQ(withoutConfigLine(edited, kLine), "y\r\nx\r\nz\r\n");
  EXPECT_EQ(withoutConfigLine(once + "z", kLine), "x\r\nz");
  // Another file's line, the same option for another folder, or none: nothing changes.
  for (const std::string& other : {std::string("x\r\n"),
                                   std::string("toolkit_registry_file \"D:\\other\\creotk.dat\"\r\n"),
                                   "  " + kLine + "\r\n"})
    EXPECT_EQ(withoutConfigLine(other, kLine), other);
}

}  // namespace
}  // namespace tavixsetup
