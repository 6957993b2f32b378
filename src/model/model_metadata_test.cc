#include "model/model_metadata.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <regex>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/testing/test_environment.h"
#include "model/creo_model_queries.h"
#include "model/testing/model_test_session.h"

namespace fs = std::filesystem;
using creosim::QueryScript;
using creosim::SimModelDefinition;

namespace {

// The file's last-write time to the millisecond; mingw's file-system library
// would drop the fraction, so Windows sets it with the system call.
void setLastWriteTime(const std::filesystem::path& file, std::chrono::sys_time<std::chrono::milliseconds> time) {
#ifdef _WIN32
  const long long ticks = time.time_since_epoch().count() * 10000 + 116444736000000000LL;
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(ticks);
  written.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  HANDLE handle = CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &written));
  CloseHandle(handle);
#else
  std::filesystem::last_write_time(file, std::chrono::file_clock::from_sys(time));
#endif
}

void writeText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

ModelMetadata resolve(const pfcModel_ptr& model, std::optional<fs::path> path = std::nullopt) {
  return ModelMetadataResolver().getModelMetadata(model, path);
}

}  // namespace

TEST(ModelMetadata, SizeCountsEachFileOnceAndRoundsEachLevel) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1", 1048576), {"a.prt", "b.prt", "a.prt"}));
  s.add(localModel("a.prt", s.writeModel(dir / "a.prt.1", 131072)));
  s.add(localModel("b.prt", s.writeModel(dir / "b.prt.1", 131072)));
  EXPECT_DOUBLE_EQ(resolve(s.model("top.asm")).fileSizeMb, 1.26);
  EXPECT_DOUBLE_EQ(resolve(s.model("a.prt")).fileSizeMb, 0.13);

  s.add(localModel("big.prt", s.writeModel(dir / "big.prt.4", 1572864)));
  SimModelDefinition cold = localModel("cold.prt", s.writeModel(dir / "cold.prt.1", 524288));
  cold.loaded = false;  // in no window, but on disk: retrieved
  s.add(cold);
  SimModelDefinition mixed = localModel("mixed.asm", s.writeModel(dir / "mixed.asm.1", 1048576),
                             {"big.prt", "a.prt", "ghost.prt", "cold.prt"});
  mixed.components[1].status = pfcFEAT_SUPPRESSED;
  s.add(mixed);
  EXPECT_DOUBLE_EQ(resolve(s.model("mixed.asm")).fileSizeMb, 3.0);
  EXPECT_EQ(s.logged("ModelMetadataResolver::resolveFileSize() - Skipping suppressed component in assembly. "
                     "Suppressed component: A. Assembly: mixed.asm"),
            1);
  EXPECT_EQ(s.logged("[ERROR] [Tavix] ModelMetadataResolver: Unable to retrieve child model from descriptor"), 1);
  EXPECT_EQ(s.logged("GetModelFromDescr() returned no model. Falling back to RetrieveModel()."), 2);
}

TEST(ModelMetadata, SizeCountsAGenericOnceForAllItsInstancesAndRetriesAnUnreadableFile) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  SimModelDefinition generic = localModel("plate.prt", s.writeModel(dir / "plate.prt.2", 262144));
  generic.familyRows = {"PLATE_A", "PLATE_B"};
  s.add(generic);
  s.add(familyInstance("plate_a.prt", "plate.prt"));
  s.add(familyInstance("plate_b.prt", "plate.prt"));
  const fs::path gone = s.writeModel(dir / "gone.prt.1");
  s.add(localModel("gone.prt", gone));
  fs::remove(gone);  // still in session, but its file was deleted by hand
  fs::create_directories(dir / "folder.prt.1");
  s.add(localModel("folder.prt", dir / "folder.prt.1"));
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1", 1048576),
                   {"plate_a.prt", "gone.prt", "plate_b.prt", "plate.prt", "folder.prt", "plate_a.prt", "gone.prt"}));

  EXPECT_DOUBLE_EQ(resolve(s.model("top.asm")).fileSizeMb, 1.25);
  // A file that could not be read is not remembered: each use of it is tried again.
  EXPECT_EQ(s.logged("[WARNING] [Tavix] Failed to read model file size."), 3);
}

TEST(ModelMetadata, EmbeddedComponentAtAnyDepthFailsTheResolution) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1"), {"sub.asm"}));
  SimModelDefinition sub = localModel("sub.asm", s.writeModel(dir / "sub.asm.1"), {"bolt.prt", "skin.prt"});
  sub.components[1].embedded = true;
  s.add(sub);
  s.add(localModel("bolt.prt", s.writeModel(dir / "bolt.prt.1", 1048576)));
  s.add(localModel("skin.prt", s.writeModel(dir / "skin.prt.1")));

  try {
    resolve(s.model("top.asm"));
    FAIL() << "an embedded component must fail the resolution";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(),
                 "The selected assembly contains one or more embedded components.\n"
                 "Assemblies with embedded components are currently not supported.");
  }
  EXPECT_EQ(s.logged("[ERROR] [Tavix] Current child is an embedded component in sub.asm. Unsupported assembly - "
                     "aborting upload"),
            1);
  // Nothing of the failed walk is remembered by the next one.
  EXPECT_DOUBLE_EQ(resolve(s.model("bolt.prt")).fileSizeMb, 1.0);
}

TEST(ModelMetadata, UniqueIdFromTheFileHeader) {
  struct Case {
    std::string header;  // nothing is written for ""
    std::string id;
    std::string logged;  // the error logged with the file's path
  };
  const std::vector<Case> cases = {
      {"#UGC_TOC 1\n  X UOBJ_ID 12 34 56 78  \r\n#END_OF_UGC_HEADER\nbody", "12 34 56", ""},
      {"UOBJ_ID 1 2 3 4\nx uobj_id 5 6 7\nX UOBJ_ID 8 9\nX UOBJ_ID\t10\t11\t12\n#END_OF_UGC_HEADER\n", "10 11 12", ""},
      {"#UGC_TOC 1\n#end_of_ugc_header\nX UOBJ_ID 12 34 56\n", "", "Unique ID not found in model header: "},
      {"#UGC_TOC 1\nno marker at all\n", "", "End of model header not found during unique ID extraction: "},
      {"", "", "Failed to open model file for unique ID extraction: "},
      // A file without a header is read no further than any header reaches.
      {std::string(3 << 20, 'x') + "\nX UOBJ_ID 1 2 3\n#END_OF_UGC_HEADER\n", "",
       "End of model header not found during unique ID extraction: "},
  };
  ModelTestSession s;
  const fs::path dir = s.directory("headers");
  for (size_t i = 0; i < cases.size(); ++i) {
    const fs::path file = dir / (std::to_string(i) + ".prt");
    if (!cases[i].header.empty()) writeText(file, cases[i].header);
    EXPECT_EQ(ModelMetadataResolver::resolveUniqueId(file), cases[i].id) << i;
    if (!cases[i].logged.empty()) {
      EXPECT_EQ(s.logged("[ERROR] [Tavix] " + cases[i].logged + file.string()), 1) << i;
    }
  }
  // The generated files carry their identifier.
  EXPECT_EQ(ModelMetadataResolver::resolveUniqueId(s.writeModel(dir / "e.prt.1")), "1711 22345 61234");
}

TEST(ModelMetadata, FamilyTableClassification) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  SimModelDefinition generic = localModel("plate.prt", s.writeModel(dir / "plate.prt.2"));
  generic.familyRows = {"PLATE_A", "PLATE_B", "PLATE_C"};
  s.add(generic);
  s.add(familyInstance("plate_a.prt", "plate.prt"));
  s.add(localModel("plain.prt", s.writeModel(dir / "plain.prt.1")));
  s.add(originModel("bolt_m8.prt", "wtws://main/bolt_m8.prt", "bolt<m8>.prt"));
  s.add(originModel("bolt_m8.drw", "wtws://main/bolt_m8.drw", "bolt<m8>.drw"));

  auto flags = [&](const std::string& name) {
    ModelMetadata metadata;
    ModelMetadataResolver::resolveFamilyTableClassification(s.model(name), metadata);
    return std::string(metadata.isFamilyTableGeneric ? "generic" : "") + (metadata.isFamilyTableInstance ? "instance" : "");
  };
  EXPECT_EQ(flags("plate.prt"), "generic");
  EXPECT_EQ(flags("plate_a.prt"), "instance");
  EXPECT_EQ(flags("plain.prt"), "");
  EXPECT_EQ(flags("bolt_m8.prt"), "instance");
  EXPECT_EQ(flags("bolt_m8.drw"), "");
  EXPECT_EQ(s.logged("[WARNING] [Tavix] Windchill model has '<' in filename but is not a part or assembly (type=2, "
                     "file=bolt<m8>.drw); not classifying as FT instance."),
            1);
  s.sim().faults().failNext("pfcFamilyMember::ListRows", "pfcXToolkitCantOpen");
  EXPECT_EQ(flags("plate.prt"), "");
  EXPECT_EQ(s.logged("Creo toolkit error while determining if the model is a family table"), 1);
}

TEST(ModelMetadata, FieldsOfALocalAndAWindchillModel) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  SimModelDefinition part = localModel("bracket_a.prt", s.writeModel(dir / "Bracket_A.PRT.3", 2048));
  part.fileName = "Bracket_A.PRT";
  part.versionStamp = "stamp-7";
  s.add(part);
  ModelMetadata metadata = resolve(s.model("bracket_a.prt"));
  EXPECT_EQ(metadata.fileName, "bracket_a.prt");
  EXPECT_EQ(metadata.modelPath, dir / "Bracket_A.PRT.3");
  EXPECT_EQ(metadata.uniqueId, "1711 22345 61234");
  EXPECT_EQ(metadata.sourceRevisionId, "stamp-7");
  EXPECT_EQ(resolveSourceRevisionVersion(s.model("bracket_a.prt"), "x").sourceRevisionVersion, "1");
  EXPECT_EQ(metadata.lifecycleState, "");

  EXPECT_EQ(resolve(nullptr).fileName, ".undefined");
  SimModelDefinition wc = originModel("wc.prt", "wtws://main/wc.prt");
  wc.versionStamp = "stamp-wc";
  wc.revision = QueryScript::processorFault();
  wc.version = QueryScript::processorFault();
  wc.parameters["PTC_WM_LIFECYCLE_STATE"] = "INWORK";
  s.add(wc);
  metadata = resolve(s.model("wc.prt"));
  EXPECT_EQ(metadata.sourceRevisionId, "stamp-wc");
  EXPECT_EQ(resolveSourceRevisionVersion(s.model("wc.prt"), "stamp-wc").sourceRevisionVersion, "1");
  EXPECT_EQ(metadata.lifecycleState, "INWORK");
  EXPECT_FALSE(metadata.modelPath);
  EXPECT_EQ(s.logged("[WARNING] [Tavix] CreoModelQueries: GetRevision() raised a structured exception while querying "
                     "Creo. The model may not have been checked in to Windchill."),
            1);
  EXPECT_EQ(s.logged("[INFO] [Tavix] Windchill model revision unavailable; using source revision id: stamp-wc"), 1);

  SimModelDefinition checkedIn = wc;
  checkedIn.name = "checked.prt";
  checkedIn.origin = "wtws://main/checked.prt";
  checkedIn.revision = QueryScript::answer("B");
  checkedIn.version = QueryScript::toolkitError("pfcXToolkitNotFound");
  s.add(checkedIn);
  EXPECT_EQ(ModelMetadataResolver::resolveSourceRevisionId(s.model("checked.prt")), "B");
  EXPECT_EQ(resolveSourceRevisionVersion(s.model("checked.prt"), "B").sourceRevisionVersion, "");
  EXPECT_EQ(s.logged("[ERROR] [Tavix] Windchill model iteration could not be read; leaving source revision version "
                     "empty."),
            1);
  EXPECT_EQ(CreoModelQueries::GetVersion(s.model("checked.prt")).error, "pfcXToolkitNotFound in pfcModel::GetVersion");
}

TEST(ModelMetadata, TimesUnderAFixedTimeZone) {
  ModelTestSession s;
  const fs::path file = s.writeModel(s.directory("models") / "bracket.prt.1");
  using namespace std::chrono;
  const sys_time<milliseconds> written = sys_days{2024y / March / 5} + 14h + 7min + 9s + 42ms;
  setLastWriteTime(file, written);

  setEnvironmentVariable("TZ", "EST5");
  rereadTimeZone();
  const std::string date = ModelMetadataResolver::resolveFormattedDate(file);
  const std::string now = CreoModelQueries::formatCurrentTimeShort();
  setEnvironmentVariable("TZ", nullptr);
  rereadTimeZone();

  EXPECT_EQ(date, "March 05, 2024 - 09:07 AM");
  EXPECT_EQ(CreoModelQueries::formatFileTimeIso(file), "2024-03-05T14:07:09.042Z");
  EXPECT_TRUE(std::regex_match(now, std::regex("[A-Z][a-z]{2} [ 123][0-9], [01][0-9]:[0-5][0-9] [AP]M"))) << now;
  EXPECT_EQ(CreoModelQueries::formatFileTimeIso(file.parent_path() / "absent"), "");
  EXPECT_EQ(ModelMetadataResolver::resolveFormattedDate(std::nullopt), "");
}

// The user's model files and the workspace cache stay exactly as they were,
// whatever the add-in reads, copies or stages.
TEST(ModelMetadata, UserFilesAndWorkspaceCacheAreLeftUntouched) {
  ModelTestSession s;
  const fs::path user = s.directory("user");
  const fs::path cache = s.directory("wscache");
  const fs::path staging = s.directory("staging");
  s.models().addWorkspace({"main", cache});
  s.add(localModel("top.asm", s.writeModel(user / "top.asm.2", 1048576), {"bolt.prt", "wcpart.prt"}));
  s.add(localModel("bolt.prt", s.writeModel(user / "bolt.prt.1", 131072)));
  auto inWorkspace = [&](const std::string& name, std::uintmax_t bytes, std::vector<std::string> components = {}) {
    SimModelDefinition definition = localModel(name, s.writeModel(cache / name, bytes), std::move(components));
    definition.workspace = "main";
    s.add(definition);
  };
  inWorkspace("wctop.asm", 1048576, {"wcpart.prt", "wcpart.prt"});
  inWorkspace("wcpart.prt", 262144);
  const auto userBefore = fileFingerprints(user);
  const auto cacheBefore = fileFingerprints(cache);

  EXPECT_DOUBLE_EQ(resolve(s.model("top.asm")).fileSizeMb, 1.13);  // no staging directory beside the user's files
  EXPECT_EQ(s.logged("Skipping file size for Windchill child component (no temp dir): wcpart.prt"), 1);

  auto top = copyWindchillModelIfNeeded(s.session(), "wtws://main/wctop.asm", "wctop.asm", staging);
  ASSERT_TRUE(top);
  EXPECT_DOUBLE_EQ(resolve(s.model("wctop.asm"), *top).fileSizeMb, 1.25);
  EXPECT_DOUBLE_EQ(resolve(s.model("wctop.asm"), *top).fileSizeMb, 1.25);
  EXPECT_EQ(s.models().workspaceCopyCount(), 2);
  EXPECT_TRUE(stageWindchillModelToPath(s.session(), "wtws://main/wcpart.prt", "wcpart.prt", staging / "x" / "p.prt"));

  EXPECT_EQ(fileFingerprints(user), userBefore);
  EXPECT_EQ(fileFingerprints(cache), cacheBefore);
}
