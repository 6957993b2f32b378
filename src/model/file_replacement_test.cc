#include "model/file_replacement.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "core/text_encoding.h"
#include "model/testing/export_test_session.h"

namespace fs = std::filesystem;

namespace {

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A folder on a volume other than the working directory's, where no hard link
// to the user's files can be made; empty when the machine has none.
fs::path otherVolumeFolder(const std::string& name) {
#ifdef _WIN32
  const fs::path volume = "Z:\\dev\\shm";
#else
  const fs::path volume = "/dev/shm";
#endif
  std::error_code error;
  if (!fs::is_directory(volume, error)) return {};
  const fs::path folder = volume / (name + "-" + std::to_string(fs::file_time_type::clock::now().time_since_epoch().count()));
  fs::create_directories(folder);
  return folder;
}

// The source's bytes, last-write time and permissions.
auto stateOf(const fs::path& file) {
  return std::tuple(bytesOf(file), fs::last_write_time(file), fs::status(file).permissions());
}

}  // namespace

// A staged name may be taken already: by a file of an earlier export into the
// same folder, or by the source itself when the folder is its own. Where the
// volume allows, the staged file is a second name of the user's file and no
// byte is copied; elsewhere it is a copy. Either way it reads as the source,
// the log says which way it went, and removing it leaves the source as it was.
TEST(FileReplacement, AStagedFileIsALinkOnItsOwnVolumeACopyElsewhereAndNeverChangesTheSource) {
  ModelTestSession s;
  const fs::path models = s.directory("models");
  const fs::path source = models / "bolt.prt.2";
  writeText(source, "bolt version 2");
  const auto before = stateOf(source);

  struct Way {
    const char* name;
    fs::path staging;
    std::string logged;
  };
  std::vector<Way> ways = {{"same volume", s.directory("staging"), "File staged as a hard link: "}};
  const fs::path elsewhere = otherVolumeFolder("tavix-staging-test");
  if (!elsewhere.empty()) ways.push_back({"other volume", elsewhere, "File staged as a copy (hard link refused: "});

  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    stageFileReplacing(source, way.staging / "bolt.prt.2");
    EXPECT_EQ(bytesOf(way.staging / "bolt.prt.2"), "bolt version 2");
    EXPECT_EQ(s.logged(way.logged), 1) << pathToUtf8(way.staging);
    EXPECT_EQ(s.logged(pathToUtf8(way.staging / "bolt.prt.2")), 1);

    writeText(way.staging / "nut.prt.1", "an older, longer staged file");
    stageFileReplacing(source, way.staging / "nut.prt.1");
    EXPECT_EQ(bytesOf(way.staging / "nut.prt.1"), "bolt version 2");
#ifndef _WIN32
    EXPECT_EQ(fs::hard_link_count(source), way.logged.find("hard link:") != std::string::npos ? 3u : 1u);
#endif

    fs::remove(way.staging / "bolt.prt.2");
    fs::remove(way.staging / "nut.prt.1");
    EXPECT_TRUE(stateOf(source) == before);
#ifndef _WIN32
    EXPECT_EQ(fs::hard_link_count(source), 1u);
#endif

    try {
      stageFileReplacing(models / "absent.prt.1", way.staging / "absent.prt.1");
      ADD_FAILURE() << "a missing source was staged";
    } catch (const fs::filesystem_error& error) {
      EXPECT_EQ(error.path1(), models / "absent.prt.1");
      EXPECT_EQ(error.path2(), way.staging / "absent.prt.1");
    }
    EXPECT_FALSE(fs::exists(way.staging / "absent.prt.1"));
  }
  if (!elsewhere.empty()) fs::remove_all(elsewhere);

  stageFileReplacing(source, source);
  EXPECT_TRUE(stateOf(source) == before);
}
