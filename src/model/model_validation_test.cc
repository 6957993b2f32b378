#include "model/model_validation.h"

#include <gtest/gtest.h>

#include "model/testing/model_test_session.h"
#include "model/unsaved_change_scan.h"

namespace fs = std::filesystem;
using creosim::SimModelDefinition;

TEST(ModelValidation, FileTypeVerdicts) {
  const std::string supported = "Tavix supports only PRT, ASM, and DRW files.";
  const std::string simplified = " has an active simplified representation.\nSimplified representations are not "
                                 "supported in Tavix.";
  const std::vector<std::tuple<std::string, bool, std::string>> cases = {
      {"BRACKET.PRT", false, ""},
      {"top.asm.12", false, ""},
      {"bracket.prt.7a", false, ".7a files are not supported in Tavix.\n" + supported},
      {"bracket.STP", false, ".stp files are not supported in Tavix.\n" + supported},
      {"bracket", false, "This file type is not supported in Tavix.\n" + supported},
      {"bracket.prt", true, "This part" + simplified},
      {"top.asm.3", true, "This assembly" + simplified},
      {"sheet.drw", true, "This drawing" + simplified},
  };
  for (const auto& [name, simplifiedShown, verdict] : cases) EXPECT_EQ(validateFileType(name, simplifiedShown), verdict) << name;
}

TEST(ModelValidation, SavedFileVerdicts) {
  ModelTestSession s;
  const fs::path file = s.writeModel(s.directory("models") / "bracket.prt.2");
  EXPECT_EQ(validateSavedFile(file), "");
  EXPECT_EQ(validateSavedFile(file.parent_path()), "");
  EXPECT_EQ(validateSavedFile(""), "The current model has not been saved yet.\nPlease save the file and try again.");
  // A drive that went away looks like a path whose parent is gone.
  EXPECT_EQ(validateSavedFile(s.directory("models") / "gone" / "bracket.prt.2"),
            "We couldn't access the model file at its saved location.\n"
            "Reconnect the drive or reopen and save the model, then try again.");
}

TEST(ModelUnsavedScan, VisitsSharedSubAssembliesOnceAndOnlyLoadedModels) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1"), {"left.asm", "right.asm"}));
  s.add(localModel("left.asm", s.writeModel(dir / "left.asm.1"), {"shared.asm"}));
  s.add(localModel("right.asm", s.writeModel(dir / "right.asm.1"), {"shared.asm", "unloaded.prt"}));
  s.add(localModel("shared.asm", s.writeModel(dir / "shared.asm.1"), {"bolt.prt", "bolt.prt"}));
  s.add(localModel("bolt.prt", s.writeModel(dir / "bolt.prt.1")));
  SimModelDefinition unloaded = localModel("unloaded.prt", s.writeModel(dir / "unloaded.prt.1"));
  unloaded.loaded = false;
  unloaded.modified = true;
  s.add(unloaded);
  s.models().setCurrentModel("top.asm");

  EXPECT_FALSE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Inspecting loaded assembly children for unsaved changes. parent=shared.asm, component_count=2"), 1);
  EXPECT_EQ(s.logged("Unsaved model detected"), 0);

  s.models().setModified("bolt.prt", true);
  EXPECT_TRUE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("[WARNING] [Tavix] Unsaved model detected in current session: bolt.prt"), 1);
}

TEST(ModelUnsavedScan, FamilyTableInstancesLocalAndWindchillAndDrawings) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  SimModelDefinition generic = localModel("plate.prt", s.writeModel(dir / "plate.prt.2"));
  generic.familyRows = {"PLATE_A"};
  s.add(generic);
  SimModelDefinition instance = familyInstance("plate_a.prt", "plate.prt");
  instance.modified = true;
  s.add(instance);
  SimModelDefinition drawing = localModel("plate.drw", s.writeModel(dir / "plate.drw.1"));
  drawing.modified = true;
  s.add(drawing);

  s.models().setCurrentModel("plate.drw");
  EXPECT_FALSE(hasUnsavedChangesInSession());
  s.models().setCurrentModel("plate_a.prt");
  EXPECT_FALSE(hasUnsavedChangesInSession());  // no accelerator: Creo cannot save the instance on its own

  s.writeModel(dir / "PLATE_A.xpr", 300);
  EXPECT_TRUE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Unsaved model detected in current session: plate_a<plate>.prt"), 1);

  fs::remove(dir / "PLATE_A.xpr");
  s.models().setModified("plate_a.prt", false);
  s.models().setModified("plate.prt", true);
  EXPECT_TRUE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Unsaved model detected in current session: plate.prt"), 1);

  // A Windchill instance counts through its loaded generic.
  SimModelDefinition wcInstance = originModel("bolt_m8.prt", "wtws://main/f/bolt_m8.prt", "bolt_m8<bolt>.prt");
  wcInstance.modified = true;
  s.add(wcInstance);
  s.add(originModel("bolt.prt", "wtws://main/f/bolt.prt"));
  s.models().setCurrentModel("bolt_m8.prt");
  EXPECT_FALSE(hasUnsavedChangesInSession());
  s.models().setModified("bolt.prt", true);
  EXPECT_TRUE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Unsaved model detected in current session: bolt.prt"), 1);
}

TEST(ModelUnsavedScan, FailuresHideTheWarningAndAreLogged) {
  ModelTestSession s;
  const fs::path dir = s.directory("models");
  SimModelDefinition part = localModel("bolt.prt", s.writeModel(dir / "bolt.prt.1"));
  part.modified = true;
  part.faults["pfcModel::GetIsModified"] = "pfcXToolkitBadContext";
  s.add(part);
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1"), {"bolt.prt"}));

  EXPECT_FALSE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("[WARNING] [Tavix] No current model available during unsaved-change check."), 1);

  s.models().setCurrentModel("top.asm");
  EXPECT_FALSE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Unable to read model modified state during session unsaved-change check. "
                     "exception=pfcXToolkitBadContext in pfcModel::GetIsModified"),
            1);

  s.sim().faults().failNext("pfcSolid::ListFeaturesByType", "pfcXToolkitNotFound");
  s.sim().faults().failNext("pfcBaseSession::ListModels", "pfcXToolkitCantOpen");
  EXPECT_FALSE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Unable to list loaded session models during unsaved-change check. "
                     "exception=pfcXToolkitCantOpen in pfcBaseSession::ListModels"),
            1);
  EXPECT_EQ(s.logged("Unable to enumerate assembly components during session unsaved-change check. "
                     "exception=pfcXToolkitNotFound in pfcSolid::ListFeaturesByType"),
            1);

  s.sim().setSessionAvailable(false);
  EXPECT_FALSE(hasUnsavedChangesInSession());
  EXPECT_EQ(s.logged("Creo session unavailable while checking for unsaved model changes."), 1);
}
