#include "model/file_replacement.h"

#include <gtest/gtest.h>

#include <fstream>

#include "model/testing/export_test_session.h"

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

}  // namespace

// A staged name may be taken already: by a file of an earlier export into the
// same folder, or by the source itself when the folder is its own.
TEST(FileReplacement, ACopyLandsOnANewNameReplacesAnOldFileAndLeavesAFileCopiedOntoItself) {
  ModelTestSession s;
  const fs::path models = s.directory("models");
  const fs::path staging = s.directory("staging");
  writeText(models / "bolt.prt.2", "bolt version 2");

  copyFileReplacing(models / "bolt.prt.2", staging / "bolt.prt.2");
  EXPECT_EQ(bytesOf(staging / "bolt.prt.2"), "bolt version 2");

  writeText(staging / "nut.prt.1", "an older, longer staged file");
  copyFileReplacing(models / "bolt.prt.2", staging / "nut.prt.1");
  EXPECT_EQ(bytesOf(staging / "nut.prt.1"), "bolt version 2");

  copyFileReplacing(models / "bolt.prt.2", models / "bolt.prt.2");
  EXPECT_EQ(bytesOf(models / "bolt.prt.2"), "bolt version 2");

  try {
    copyFileReplacing(models / "absent.prt.1", staging / "absent.prt.1");
    ADD_FAILURE() << "a missing source was copied";
  } catch (const fs::filesystem_error& error) {
    EXPECT_EQ(error.path1(), models / "absent.prt.1");
    EXPECT_EQ(error.path2(), staging / "absent.prt.1");
  }
  EXPECT_FALSE(fs::exists(staging / "absent.prt.1"));
}
