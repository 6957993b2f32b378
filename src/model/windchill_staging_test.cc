#include "model/windchill_staging.h"

#include <gtest/gtest.h>

#include "model/testing/model_test_session.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;
using creosim::SimModelDefinition;

namespace {

// A session with the workspace "main" whose cache holds bracket.prt.
struct WorkspaceSession : ModelTestSession {
  WorkspaceSession() {
    cache = directory("wscache");
    writeModel(cache / "bracket.prt", 5000);
    models().addWorkspace({"main", cache});
  }
  fs::path cache;
};

}  // namespace

TEST(ModelWindchill, OriginSchemesAreLowerCase) {
  EXPECT_TRUE(isWindchillOrigin("wtws://main/a.prt"));
  EXPECT_TRUE(isWindchillOrigin("wtpub://srv/lib/a.prt"));
  EXPECT_FALSE(isWindchillOrigin("WTWS://main/a.prt"));
}

TEST(ModelWindchill, CopiesOutOfTheWorkspaceOnceAndReusesTheCopy) {
  WorkspaceSession s;
  const fs::path staging = s.directory("staging");
  const std::string origin = "wtws://main/bracket.prt|A.1";

  auto copied = copyWindchillModelIfNeeded(s.session(), origin, "bracket<x>.prt", staging);
  ASSERT_TRUE(copied);
  EXPECT_EQ(*copied, staging / "bracket.prt");
  EXPECT_EQ(fs::file_size(*copied), 5000u);
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] WindchillUtils: resolved local filename from origin: bracket<x>.prt -> bracket.prt"), 1);

  auto reused = copyWindchillModelIfNeeded(s.session(), origin, "bracket.prt", staging);
  EXPECT_EQ(reused, copied);
  EXPECT_EQ(s.models().workspaceCopyCount(), 1);
  EXPECT_EQ(s.logged("WindchillUtils: model already present locally, reusing: " + copied->string()), 1);
}

TEST(ModelWindchill, CopyFailuresAreLoggedAndGiveNothing) {
  WorkspaceSession s;
  const fs::path staging = s.directory("staging");
  const std::string dest = staging.string();

  EXPECT_FALSE(copyWindchillModel(nullptr, "wtws://main/bracket.prt", "bracket.prt", staging));
  EXPECT_FALSE(copyWindchillModel(s.session(), "", "bracket.prt", staging));
  EXPECT_FALSE(copyWindchillModel(s.session(), "wtws://main/missing.prt", "missing.prt", staging));
  EXPECT_FALSE(copyWindchillModel(s.session(), "wtws://main/bracket.prt", "bracket.prt", staging / "absent"));
  s.sim().faults().failNext("pfcBaseSession::CopyFileFromWS", "pfcXToolkitCantAccess");
  EXPECT_FALSE(copyWindchillModel(s.session(), "wtws://main/bracket.prt", "bracket.prt", staging));
  s.sim().faults().failNext("pfcBaseSession::CopyFileFromWS", "pfcXToolkitUnsupported");
  EXPECT_FALSE(copyWindchillModel(s.session(), "wtws://main/bracket.prt", "bracket.prt", staging));
  s.models().setWorkspaceCopiesVanish(true);
  EXPECT_FALSE(copyWindchillModel(s.session(), "wtws://main/bracket.prt", "bracket.prt", staging));

  const std::vector<std::string> expected = {
           std::string("[ERROR] [Tavix] WindchillUtils: session pointer is null; cannot copy Windchill model."),
           std::string("[ERROR] [Tavix] WindchillUtils: wsOrigin or modelFileName is empty; cannot copy Windchill model."),
           "[ERROR] [Tavix] WindchillUtils: CopyFileFromWS failed because the source file is missing or invalid. "
           "origin=wtws://main/missing.prt, model=missing.prt",
           "[ERROR] [Tavix] WindchillUtils: CopyFileFromWS failed because the destination directory does not exist. dest=" +
               (staging / "absent").string() + ", model=bracket.prt",
           "[ERROR] [Tavix] WindchillUtils: CopyFileFromWS failed because Creo cannot access the source or destination. "
           "origin=wtws://main/bracket.prt, dest=" + dest,
           std::string("[ERROR] [Tavix] WindchillUtils: Creo toolkit error while copying Windchill model: bracket.prt, "
                       "exception=pfcXToolkitUnsupported"),
           "[ERROR] [Tavix] WindchillUtils: CopyFileFromWS returned but output file not found: " +
               (staging / "bracket.prt").string(),
  };
  for (const std::string& line : expected) EXPECT_EQ(s.logged(line), 1) << line;
  EXPECT_TRUE(fs::is_empty(staging));
}

TEST(ModelWindchill, RefusesOriginNamesThatWouldLeaveTheDestination) {
  WorkspaceSession s;
  const fs::path outer = s.directory("outer");
  const fs::path staging = s.directory("outer/staging");
  std::vector<std::string> origins = {"wtws://main/..", "wtws://main/..|A.1", "wtws://main/"};
  if (fs::path::preferred_separator == '\\') origins.push_back("wtws://main/..\\..\\evil.prt");

  for (const std::string& origin : origins) {
    EXPECT_FALSE(copyWindchillModel(s.session(), origin, "evil.prt", staging)) << origin;
    EXPECT_FALSE(copyWindchillModelIfNeeded(s.session(), origin, "evil.prt", staging)) << origin;
    EXPECT_FALSE(stageWindchillModelToPath(s.session(), origin, "evil.prt", staging / "evil.prt")) << origin;
    EXPECT_EQ(s.logged("WindchillUtils: refusing Windchill origin whose file name leaves the destination directory. "
                       "origin=" + origin + ", file="),
              3);
  }
  EXPECT_EQ(s.models().workspaceCopyCount(), 0);
  EXPECT_EQ(fileFingerprints(outer), std::vector<std::string>{"staging/"});
}

TEST(ModelWindchill, StagesAtAnExactPathWithoutLeavingItsCopyDirectory) {
  WorkspaceSession s;
  const fs::path target = s.directory("tmp") / "_ft_generics" / "bracket_77.prt";

  auto staged = stageWindchillModelToPath(s.session(), "wtws://main/bracket.prt", "bracket.prt", target);
  ASSERT_EQ(staged, target);
  EXPECT_EQ(fs::file_size(target), 5000u);
  EXPECT_EQ(fileFingerprints(target.parent_path()).size(), 1u);
  EXPECT_EQ(s.logged("WindchillUtils: Windchill model successfully staged to explicit path: " + target.string()), 1);

  EXPECT_EQ(stageWindchillModelToPath(s.session(), "wtws://main/bracket.prt", "bracket.prt", target), target);
  EXPECT_EQ(s.logged("WindchillUtils: model already present locally at explicit path, reusing: " + target.string()), 1);
  EXPECT_EQ(s.models().workspaceCopyCount(), 1);

  // A failed copy leaves nothing behind either.
  const fs::path missing = s.directory("tmp2") / "missing.prt";
  EXPECT_FALSE(stageWindchillModelToPath(s.session(), "wtws://main/missing.prt", "missing.prt", missing));
  EXPECT_TRUE(fs::is_empty(missing.parent_path()));
}

TEST(ModelWindchill, FindsTheOneLoadedGenericOfAnInstance) {
  WorkspaceSession s;
  auto addWorkspaceModel = [&](const std::string& name, const std::string& origin, const std::string& fileName,
                               pfcModelType type = pfcMDL_PART) {
    SimModelDefinition definition = originModel(name, origin, fileName);
    definition.type = type;
    return s.add(definition);
  };
  auto instance = addWorkspaceModel("bolt_m8.prt", "wtws://main/f/bolt_m8.prt", "bolt_m8<bolt>.prt");
  auto accelerator = addWorkspaceModel("bolt_m10.prt", "wtws://main/f/bolt_m10.xpr", "bolt_m10<bolt>.xpr");
  auto generic = addWorkspaceModel("bolt.prt", "wtws://main/f/bolt.prt.3", "bolt.prt.3");
  addWorkspaceModel("bolt_other.prt", "wtws://main/g/bolt.prt", "bolt.prt");             // other folder
  addWorkspaceModel("bolt_asm.asm", "wtws://main/f/bolt.asm", "bolt.asm", pfcMDL_ASSEMBLY);  // other type
  auto empty = addWorkspaceModel("odd.prt", "wtws://main/f/odd.prt", "odd<>.prt");

  EXPECT_EQ(findLoadedWindchillGeneric(s.models().listModels(), instance), generic);
  EXPECT_EQ(findLoadedWindchillGeneric(s.models().listModels(), accelerator), generic);
  EXPECT_EQ(findLoadedWindchillGeneric(s.models().listModels(), empty), nullptr);
  EXPECT_EQ(findLoadedWindchillGeneric(s.models().listModels(), generic), nullptr);

  addWorkspaceModel("bolt_again.prt", "wtws://main/f/BOLT.prt", "BOLT.prt");
  EXPECT_EQ(findLoadedWindchillGeneric(s.models().listModels(), instance), nullptr);
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] WindchillUtils: Windchill FT generic lookup was ambiguous. "
                     "instance_file=bolt_m8<bolt>.prt, expected_generic=bolt.prt, candidate_count=2"),
            1);
}
