#include <gtest/gtest.h>

#include "upload/upload_payload.h"
#include "upload/uploaded_file_address.h"

namespace {

ExportedFile staged(const std::string& path, const std::string& uploadName = "", const std::string& version = "") {
  ExportedFile file = plainExportedFile(path);
  file.uploadFileName = uploadName;
  file.sourceRevisionVersion = version;
  return file;
}

UploadContext contextFor(ModelKind kind, bool instance = false) {
  UploadContext context;
  context.kind = kind;
  context.workspace = NorvaneWorkspace{7, "Team", "team"};
  context.rootDirectory = NorvaneDirectory{107, "Root"};
  context.metadata.fileName = "top.asm";
  context.metadata.uniqueId = "U1";
  context.metadata.sourceRevisionId = "R";
  context.metadata.isFamilyTableInstance = instance;
  context.sourceRevisionVersion = "2";
  context.lastModified = "2024-03-05T14:07:09.042Z";
  return context;
}

std::vector<std::string> entries(const NorvaneUploadPayload& payload) {
  std::vector<std::string> lines;
  for (const auto& file : payload.files) lines.push_back(file.name + " " + file.revisionKey + " v" + file.version);
  return lines;
}

TEST(UploadPayload, NamesKeysAndPrimaryByModelKind) {
  const std::vector<ExportedFile> files = {staged("/t/top.asm.7"), staged("/t/bolt.prt.12"),
                                           staged("/t/acc/X_1.xpr", "PLATE_A.prt", "4")};
  const NorvaneUploadPayload assembly = buildUploadPayload(contextFor(ModelKind::Assembly), files);
  EXPECT_EQ(assembly.targetDirectories, (std::map<int64_t, int64_t>{{7, 107}}));
  EXPECT_EQ(assembly.sourceRevisionId, "R");
  EXPECT_EQ(assembly.revisionId, "R");
  EXPECT_EQ(assembly.sourceRevisionVersion, "2");
  EXPECT_EQ(assembly.lastModified, "2024-03-05T14:07:09.042Z");
  EXPECT_FALSE(assembly.lifecycleState);
  EXPECT_EQ(assembly.primaryName, "top.asm");
  EXPECT_EQ(entries(assembly), (std::vector<std::string>{"top.asm U1 v1", "bolt.prt U1 v1", "PLATE_A.prt U1 v4"}));
  EXPECT_EQ(assembly.files[1].path, "/t/bolt.prt.12");
  EXPECT_EQ(primaryFileName(assembly), "top.asm");

  const NorvaneUploadPayload part = buildUploadPayload(contextFor(ModelKind::FamilyTableInstancePart, true), files);
  EXPECT_FALSE(part.primaryName);
  EXPECT_EQ(entries(part).front(), "top.asm U1_top.asm v1");
  EXPECT_EQ(primaryFileName(part), "top.asm");

  // A generic part: the first two files, names kept; never more than were exported.
  const NorvaneUploadPayload generic = buildUploadPayload(contextFor(ModelKind::FamilyTableGenericPart), files);
  EXPECT_EQ(generic.primaryName, "top.asm.7");
  EXPECT_EQ(entries(generic), (std::vector<std::string>{"top.asm.7 U1_top.asm v1", "bolt.prt.12 U1_top.asm v1"}));
  const NorvaneUploadPayload lone =
      buildUploadPayload(contextFor(ModelKind::FamilyTableGenericPart), {staged("/t/plate.prt.2")});
  EXPECT_EQ(entries(lone), (std::vector<std::string>{"plate.prt.2 U1_top.asm v1"}));

  EXPECT_EQ(withoutTrailingVersion("bracket.prt.3"), "bracket.prt");
  EXPECT_EQ(withoutTrailingVersion("bracket.prt."), "bracket.prt.");
  EXPECT_EQ(withoutTrailingVersion("v1.2.prt"), "v1.2.prt");
}

TEST(UploadedFileAddress, PrimaryEntryCleanedAddressAndWorkspacePage) {
  EXPECT_EQ(addressForPrimaryFile({}, "a.prt"), "");
  EXPECT_EQ(addressForPrimaryFile({{"A.PRT", "u1"}, {"b.prt", "u2"}}, "a.prt"), "u1");
  EXPECT_EQ(addressForPrimaryFile({{"other.prt", "u1"}}, "a.prt"), "u1");
  EXPECT_EQ(addressForPrimaryFile({{"x.prt", "u1"}, {"y.prt", "u2"}}, "a.prt"), "");

  EXPECT_EQ(cleanedAddress("  http://h/workspace/k/file/3?keep=1&revisionId=9#frag "),
            "http://h/workspace/k/file/3?keep=1#frag");
  EXPECT_EQ(cleanedAddress("http://h/f?revision_id=9"), "http://h/f");
  EXPECT_EQ(cleanedAddress("http://h/f?revisionIdx=1&revisionId"), "http://h/f?revisionIdx=1");
  EXPECT_EQ(cleanedAddress("   "), "");
  // The fragment is kept whole, "?" and all, also when no parameter is left.
  EXPECT_EQ(cleanedAddress("http://h/f?revisionId=1#view?revision_id=2&"), "http://h/f#view?revision_id=2&");

  const NorvaneWorkspace team{7, "Team", "team"};
  EXPECT_EQ(workspaceAddress("https://h:8/app/workspace/old/file/3?x#y", team), "https://h:8/app/workspace/team");
  EXPECT_EQ(workspaceAddress("https://h/s/session_page/9", team), "https://h/s/workspace/team");
  EXPECT_EQ(workspaceAddress("https://h/files/3", team), "");
  EXPECT_EQ(workspaceAddress("https://h/workspace/x", NorvaneWorkspace{7, "Team", ""}), "");
  EXPECT_EQ(workspaceAddress("", team), "");
}

}  // namespace
