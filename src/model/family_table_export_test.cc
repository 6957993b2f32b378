#include <gtest/gtest.h>

#include "model/family_table_names.h"
#include "model/export_texts.h"
#include "model/testing/export_test_session.h"

namespace fs = std::filesystem;
using creosim::QueryScript;
using creosim::SimModelDefinition;

namespace {

// The generic plate.prt (saved as plate.prt.2, after plate.prt.1) with the
// instances PLATE_A and PLATE_B, in the user's folder "models".
struct FamilySession : ExportTestSession {
  FamilySession() {
    models = directory("models");
    writeModel(models / "plate.prt.1", 3000);
    SimModelDefinition plate = localModel("plate.prt", writeModel(models / "plate.prt.2", 6000));
    plate.familyRows = {"PLATE_A", "PLATE_B"};
    add(plate);
    add(familyInstance("plate_a.prt", "plate.prt"));
    add(familyInstance("plate_b.prt", "plate.prt"));
  }
  std::string stagedName(const std::string& name) {
    return makeStagedFileName(name, (models / "plate.prt.2").string());
  }
  fs::path staged(const std::string& relative) { return getSessionTempDirectory("upload") / relative; }
  fs::path models;
};

}  // namespace

TEST(FamilyTableExport, StagedNamesKeepInstancesOfDifferentGenericsApart) {
  EXPECT_NE(makeStagedFileName("PLATE_A.xpr", "/m/plate.prt.2"), makeStagedFileName("PLATE_A.xpr", "/n/plate.prt.2"));
  EXPECT_EQ(toNativeExtension("a/PLATE_A_1.xpr"), fs::path("a/PLATE_A_1.prt"));
  EXPECT_EQ(toNativeExtension("FRAME_B.XAS"), fs::path("FRAME_B.asm"));
  EXPECT_EQ(toNativeExtension("plate.prt.2"), fs::path("plate.prt.2"));
}

// Saved beside the user's models, the accelerator is taken as it is and the
// option not even read. Otherwise Creo writes it, and the generic's next
// version with it, beside the user's models; after the upload both are gone,
// plate.prt.1 and plate.prt.2 are untouched, and the option holds its old value.
TEST(FamilyTableExport, RootInstanceTravelsAsItsAcceleratorAndTheUsersFolderAndOptionEndAsTheyWere) {
  for (const auto& [previous, saved] : {std::pair{"", false}, {"NONE", false}, {"NONE", true}}) {
    SCOPED_TRACE(std::string("option '") + previous + (saved ? "', accelerator saved" : "'"));
    FamilySession s;
    if (saved) s.writeModel(s.models / "PLATE_A.xpr", 1024);
    s.setAcceleratorOption(previous);
    const auto before = fileFingerprints(s.models);

    ModelExporter exporter = s.exporter();
    const auto files = exporter.exportToTempDirectory(s.model("plate_a.prt"), true);
    EXPECT_EQ(exporter.userMessage(), "");
    const std::string accelerator = s.stagedName("PLATE_A.prt");
    EXPECT_EQ(described(files), (std::vector<std::string>{accelerator + " as PLATE_A.prt marked", "plate.prt.2"}));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].localPath, s.staged("_ft_accelerators") / accelerator);
    EXPECT_EQ(bytesOf(files[0].localPath), bytesOf(s.models / "PLATE_A.xpr"));
    EXPECT_EQ(files[1].localPath, s.staged("plate.prt.2"));
    EXPECT_EQ(bytesOf(files[1].localPath), bytesOf(s.models / "plate.prt.2"));
    if (saved) {
      EXPECT_EQ(s.logged("Accelerator file already exists, copying it to temp directory"), 1);
      EXPECT_EQ(s.logged("save_instance_accelerator"), 0);
    } else {
      EXPECT_EQ(s.acceleratorOption(), "ALWAYS");
      EXPECT_TRUE(fs::exists(s.models / "plate.prt.3"));
      EXPECT_EQ(s.logged("[DEBUG] [Tavix] Existing value of save_instance_accelerator: " + std::string(previous)), 1);
      EXPECT_EQ(s.logged("[DEBUG] [Tavix] Exporting the accelerator file to model's origin directory:  " +
                         s.models.string()),
                1);
    }

    exporter.finalizeExport();
    EXPECT_EQ(fileFingerprints(s.models), before);
    EXPECT_EQ(s.acceleratorOption(), previous);
    EXPECT_EQ(s.logged("[DEBUG] [Tavix] Removing 2 generated accelerator file(s) from model origin directories"), saved ? 0 : 1);
    EXPECT_EQ(s.logged("[DEBUG] [Tavix] Resetting save_instance_accelerator to previous value: " + std::string(previous)),
              saved ? 0 : 1);
    EXPECT_TRUE(s.errorDialogs.empty());
  }

  // Any other value is left as it is, and not restored.
  FamilySession s;
  s.setAcceleratorOption("ALWAYS");
  ModelExporter exporter = s.exporter();
  exporter.exportToTempDirectory(s.model("plate_a.prt"), true);
  exporter.finalizeExport();
  EXPECT_EQ(s.acceleratorOption(), "ALWAYS");
  EXPECT_EQ(s.logged("Setting save_instance_accelerator to ALWAYS"), 0);
  EXPECT_EQ(s.logged("Resetting save_instance_accelerator"), 0);
}

// Each backup writes the generic's version after the highest in the folder,
// wherever gaps lie: the backups of one export add one version each, and
// exactly what they added goes again, a later version already there stays.
TEST(FamilyTableExport, BackupsAfterAGapInTheVersionsTakeBackOnlyWhatTheyWrote) {
  FamilySession s;
  s.writeModel(s.models / "plate.prt.7", 5000);
  s.writeModel(s.models / "plate.prt.notes", 100);
  s.add(localModel("top.asm", s.writeModel(s.models / "top.asm.1"), {"plate_a.prt", "plate_b.prt"}));
  const auto before = fileFingerprints(s.models);

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("top.asm"), true);
  EXPECT_EQ(exporter.userMessage(), "");
  EXPECT_EQ(files.size(), 4u);
  for (const char* written : {"PLATE_A.xpr", "PLATE_B.xpr", "plate.prt.8", "plate.prt.9"})
    EXPECT_TRUE(fs::exists(s.models / written)) << written;
  exporter.finalizeExport();
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Removing 4 generated accelerator file(s) from model origin directories"), 1);
  EXPECT_EQ(fileFingerprints(s.models), before);
}

// The generic travels once, with its first instance; each instance once. An
// instance assembly's model path is its generic's file: that the generic was
// staged with one instance says nothing about another, nor about its components.
TEST(FamilyTableExport, InstancesInsideAnAssemblyKeepTheirAcceleratorNamesAndBringTheirComponents) {
  FamilySession s;
  s.writeModel(s.models / "PLATE_A.xpr", 1024);
  SimModelDefinition frame = localModel("frame.asm", s.writeModel(s.models / "frame.asm.1"));
  frame.familyRows = {"FRAME_A", "FRAME_B"};
  s.add(frame);
  s.add(familyInstance("frame_a.asm", "frame.asm", {"bolt.prt"}));
  s.add(familyInstance("frame_b.asm", "frame.asm", {"nut.prt"}));
  s.add(localModel("bolt.prt", s.writeModel(s.models / "bolt.prt.1")));
  s.add(localModel("nut.prt", s.writeModel(s.models / "nut.prt.1")));
  s.add(localModel("top.asm", s.writeModel(s.models / "top.asm.1"),
                   {"plate_a.prt", "plate_b.prt", "plate.prt", "plate_a.prt", "plate_b.prt", "frame_a.asm",
                    "frame_b.asm", "frame_a.asm"}));
  const auto before = fileFingerprints(s.models);

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("top.asm"), true);
  EXPECT_EQ(exporter.userMessage(), "");
  const std::string frameOrigin = (s.models / "frame.asm.1").string();
  EXPECT_EQ(described(files),
            (std::vector<std::string>{"top.asm.1", s.stagedName("PLATE_A.xpr") + " as PLATE_A.xpr marked", "plate.prt.2",
                                      s.stagedName("PLATE_B.xpr") + " as PLATE_B.xpr marked",
                                      makeStagedFileName("FRAME_A.xas", frameOrigin) + " as FRAME_A.xas marked",
                                      "frame.asm.1", "bolt.prt.1",
                                      makeStagedFileName("FRAME_B.xas", frameOrigin) + " as FRAME_B.xas marked",
                                      "nut.prt.1"}));
  EXPECT_EQ(s.logged("Skipping temp. directory export for already exported model: plate_a<plate>.prt"), 1);
  EXPECT_EQ(s.logged("Skipping temp. directory export for already exported model: frame_a<frame>.asm"), 1);
  // PLATE_B and FRAME_B find the generic their sibling staged, and plate.prt's own turn finds it listed.
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Generic file already staged in temp directory; skipping copy."), 2);
  EXPECT_EQ(s.logged("Skipping temp. directory export for already exported model: plate.prt"), 1);
  EXPECT_EQ(bytesOf(s.staged("plate.prt.2")), bytesOf(s.models / "plate.prt.2"));
  exporter.finalizeExport();
  EXPECT_EQ(fileFingerprints(s.models), before);
}

TEST(FamilyTableExport, FailuresAreRecordedAndTheUsersFolderAndOptionRestored) {
  {
    FamilySession s;
    const auto before = fileFingerprints(s.models);
    s.sim().faults().failNext("pfcModel::Backup", "pfcXToolkitCantWrite");
    ModelExporter exporter = s.exporter();
    EXPECT_TRUE(exporter.exportToTempDirectory(s.model("plate_a.prt"), true).empty());
    EXPECT_EQ(exporter.userMessage(), kPrepareFailedText);
    EXPECT_EQ(exporter.detailMessage(), "Creo toolkit error while preparing local family table instance for upload.");
    EXPECT_EQ(s.logged("[ERROR] [Tavix] ModelExporter: Creo could not write the family table backup into the temp "
                       "directory: pfcXToolkitCantWrite in pfcModel::Backup"),
              1);
    EXPECT_EQ(s.logged("[ERROR] [Tavix] Creo toolkit error while backing up family table model. exception="
                       "pfcXToolkitCantWrite in pfcModel::Backup"),
              1);
    exporter.finalizeExport();
    EXPECT_EQ(fileFingerprints(s.models), before);
    EXPECT_EQ(s.acceleratorOption(), "");
  }
  {
    // The option cannot be set: the user is told how to set it.
    FamilySession s;
    s.sim().faults().failNext("pfcBaseSession::SetConfigOption", "pfcXToolkitLineTooLong");
    ModelExporter exporter = s.exporter();
    exporter.exportToTempDirectory(s.model("plate_a.prt"), true);
    EXPECT_EQ(exporter.detailMessage(), "Creo toolkit error while preparing local family table instance for upload.");
    EXPECT_EQ(s.errorDialogs,
              std::vector<std::string>{
                  "The integration is unable to set the property save_instance_accelerator to ALWAYS \nwhich is "
                  "required to generate accelerator file(s) for one or more family table instances.\n\nPlease set "
                  "the property save_instance_accelerator to ALWAYS and try again."});
    EXPECT_EQ(s.logged("ModelExporter: Creo configuration value exceeded the supported length while exporting a "
                       "family table model."),
              1);
    exporter.finalizeExport();
    EXPECT_EQ(s.errorDialogs.size(), 1u);
  }
  {
    // The option cannot be restored: the user is told to reset it.
    FamilySession s;
    s.setAcceleratorOption("NONE");
    ModelExporter exporter = s.exporter();
    exporter.exportToTempDirectory(s.model("plate_a.prt"), true);
    s.sim().faults().failNext("pfcBaseSession::SetConfigOption", "pfcXToolkitNotFound");
    exporter.finalizeExport();
    EXPECT_EQ(s.errorDialogs,
              std::vector<std::string>{
                  "The integration was unable to reset save_instance_accelerator to NONE.\nPlease reset it manually."});
    EXPECT_EQ(s.logged("[ERROR] [Tavix] Failed to restore save_instance_accelerator config after export: "
                       "pfcXToolkitNotFound in pfcBaseSession::SetConfigOption"),
              1);
  }
  {
    // The generic's file is gone and it is not in session.
    ExportTestSession s;
    const fs::path dir = s.directory("models");
    SimModelDefinition plate = localModel("plate.prt", dir / "plate.prt.2");
    plate.familyRows = {"PLATE_A"};
    plate.loaded = false;
    s.add(plate);
    s.add(familyInstance("plate_a.prt", "plate.prt"));
    ModelExporter exporter = s.exporter();
    exporter.exportToTempDirectory(s.model("plate_a.prt"), true);
    EXPECT_EQ(exporter.userMessage(), kPrepareFailedText);
    EXPECT_EQ(exporter.detailMessage(), "Creo could not retrieve local family table generic needed for upload.");
    EXPECT_EQ(s.logged("[ERROR] [Tavix] ModelExporter: family table parent model is not available in session while "
                       "exporting an instance."),
              1);
  }
}

// The generic plate.prt and its instance PLATE_A in the workspace "main".
TEST(FamilyTableExport, WindchillInstanceIsBackedUpIntoTheStagingFolderOnly) {
  ExportTestSession s;
  const fs::path cache = s.directory("wscache");
  s.models().addWorkspace({"main", cache});
  SimModelDefinition plate = localModel("plate.prt", s.writeModel(cache / "plate.prt", 6000));
  plate.workspace = "main";
  plate.familyRows = {"PLATE_A"};
  s.add(plate);
  SimModelDefinition instance = familyInstance("plate_a.prt", "plate.prt");
  instance.workspace = "main";
  instance.revision = QueryScript::answer("C");
  instance.version = QueryScript::answer("7");
  s.add(instance);
  const auto before = fileFingerprints(cache);
  const std::string origin = "wtws://main/plate.prt";

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("plate_a.prt"), true);
  EXPECT_EQ(exporter.userMessage(), "");
  const std::string accelerator = makeStagedFileName("PLATE_A.prt", origin);
  const std::string generic = makeStagedFileName("plate.prt", origin);
  EXPECT_EQ(described(files), (std::vector<std::string>{accelerator + " as PLATE_A.prt marked v7 rC",
                                                        generic + " as plate.prt v7 rC"}));
  const fs::path directory = getSessionTempDirectory("upload");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].localPath, directory / "_ft_accelerators" / accelerator);
  EXPECT_EQ(files[1].localPath, directory / "_ft_generics" / generic);
  EXPECT_EQ(bytesOf(files[1].localPath), bytesOf(cache / "plate.prt"));
  EXPECT_EQ(s.acceleratorOption(), "ALWAYS");

  exporter.finalizeExport();
  EXPECT_EQ(s.acceleratorOption(), "");
  EXPECT_EQ(fileFingerprints(cache), before);
}
