#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "assembly_generator.h"
#include "creo_simulator.h"
#include "session_description.h"
#include "sim_model_file.h"

namespace fs = std::filesystem;
using namespace creosim;

namespace {

struct TempDirectory {
  TempDirectory() {
    std::random_device random;
    path = fs::temp_directory_path() / ("tavixtest-sim-models-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path);
  }
  ~TempDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

const char* const kSession = R"({
  "configOptions": { "save_instance_accelerator": "ALWAYS" },
  "workspaces": [ { "name": "main", "cache": "wscache" } ],
  "models": [
    { "name": "top.asm", "file": "top.asm.2", "modified": true,
      "components": [ { "model": "plate_a.prt" }, { "model": "cold.prt", "status": "suppressed" },
                      { "model": "skin.prt", "embedded": true } ] },
    { "name": "plate.prt", "file": "plate.prt.2", "familyTable": [ "PLATE_A" ] },
    { "name": "plate_a.prt", "generic": "plate.prt" },
    { "name": "cold.prt", "file": "cold.prt.1", "loaded": false },
    { "name": "top.drw", "file": "top.drw.1" },
    { "name": "wc.prt", "workspace": "main", "file": "wscache/wc.prt",
      "revision": { "fault": true }, "version": { "error": "pfcXToolkitNotFound" } }
  ],
  "current": "top.asm"
})";

}  // namespace

TEST(SimModels, SessionFileBringsModelsToLifeAsCreoShowsThem) {
  TempDirectory dir;
  for (const char* file : {"top.asm.2", "plate.prt.2", "cold.prt.1", "top.drw.1"}) writeModelFile(dir.path / file, "1 2 3", 2048);
  fs::create_directories(dir.path / "wscache");
  writeModelFile(dir.path / "wscache" / "wc.prt", "4 5 6", 1024);
  std::ofstream(dir.path / "session.json") << kSession;

  CreoSimulator sim(SimulatorOptions{});
  sim.models().load(readSessionDescription(dir.path / "session.json"));
  pfcSession_ptr session = sim.currentSession(pfcC4Compatible);
  pfcModel_ptr top = session->GetCurrentModel();
  ASSERT_TRUE(top);
  EXPECT_EQ(top->GetOrigin(), (dir.path / "top.asm.2").string());
  EXPECT_TRUE(wfcWAssembly::cast(top));
  EXPECT_TRUE(wfcWSolid::cast(sim.models().model("plate.prt")));
  EXPECT_FALSE(pfcSolid::cast(sim.models().model("top.drw")));
  EXPECT_TRUE(wfcWModel::cast(sim.models().model("top.drw")));
  EXPECT_EQ(session->ListModels()->getarraysize(), 5);

  pfcModel_ptr instance = sim.models().model("plate_a.prt");
  EXPECT_EQ(instance->GetFileName(), "plate_a<plate>.prt");
  EXPECT_EQ(instance->GetInstanceName(), "PLATE_A");
  EXPECT_EQ(session->GetModelFromDescr(pfcFamilyMember::cast(instance)->GetImmediateGenericInfo()),
            sim.models().model("plate.prt"));

  auto features = pfcSolid::cast(top)->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT);
  ASSERT_EQ(features->getarraysize(), 3);
  auto cold = pfcComponentFeat::cast(features->get(1));
  EXPECT_EQ(cold->GetStatus(), pfcFEAT_SUPPRESSED);
  EXPECT_FALSE(session->GetModelFromDescr(cold->GetModelDescr()));
  EXPECT_EQ(session->RetrieveModel(cold->GetModelDescr()), sim.models().model("cold.prt"));
  ProAsmcomp skin{pfcComponentFeat::cast(features->get(2)).get()};
  ProBoolean embedded = PRO_B_FALSE;
  EXPECT_EQ(ProAsmcompIsEmbedded(&skin, &embedded), PRO_TK_GENERAL_ERROR);  // no host handed over
  EXPECT_EQ(sim.isEmbeddedComponent(*skin.feature, &embedded), PRO_TK_NO_ERROR);
  EXPECT_EQ(embedded, PRO_B_TRUE);

  pfcModel_ptr wc = sim.models().model("wc.prt");
  EXPECT_EQ(wc->GetOrigin(), "wtws://main/wc.prt");
  EXPECT_THROW(wc->GetRevision(), SimulatedProcessorFault);
  EXPECT_THROW(wc->GetVersion(), pfcXToolkitNotFound);
  EXPECT_THROW(session->CopyFileFromWS("wtws://main/wc.prt", (dir.path / "absent").string()), pfcXToolkitInvalidDir);
}

TEST(SimModels, BackupWritesTheNextVersionAndAnAcceleratorWhenAsked) {
  TempDirectory dir;
  writeModelFile(dir.path / "plate.prt.2", "1 2 3", 3000);
  CreoSimulator sim(SimulatorOptions{});
  SimModelDefinition generic;
  generic.name = "plate.prt";
  generic.file = dir.path / "plate.prt.2";
  generic.familyRows = {"PLATE_A"};
  sim.models().addModel(generic);
  SimModelDefinition instanceDefinition;
  instanceDefinition.name = "plate_a.prt";
  instanceDefinition.generic = "plate.prt";
  pfcModel_ptr instance = sim.models().addModel(instanceDefinition);

  fs::create_directories(dir.path / "out");
  auto descr = instance->GetDescr();
  descr->SetPath((dir.path / "out").string());
  instance->Backup(descr);
  EXPECT_EQ(fs::file_size(dir.path / "out" / "plate.prt.1"), 3000u);
  EXPECT_FALSE(fs::exists(dir.path / "out" / "PLATE_A.xpr"));

  sim.models().setConfigOption("save_instance_accelerator", "always");
  instance->Backup(descr);
  EXPECT_TRUE(fs::exists(dir.path / "out" / "plate.prt.2"));
  EXPECT_TRUE(fs::exists(dir.path / "out" / "PLATE_A.xpr"));

  descr->SetPath((dir.path / "absent").string());
  EXPECT_THROW(instance->Backup(descr), pfcXToolkitInvalidDir);
}

TEST(SimModels, GeneratedAssemblyRoundTripsThroughItsSessionFile) {
  TempDirectory dir;
  GeneratedAssembly generated = generateAssembly({.componentOccurrences = 500}, dir.path);
  writeSessionDescription(generated.description, dir.path / "session.json");
  EXPECT_GE(generated.componentOccurrences, 480);
  EXPECT_EQ(generated.distinctFiles, 100);

  CreoSimulator sim(SimulatorOptions{});
  sim.models().load(readSessionDescription(dir.path / "session.json"));
  pfcModel_ptr root = sim.currentSession(pfcC4Compatible)->GetCurrentModel();
  ASSERT_TRUE(root);
  EXPECT_EQ(root->GetFileName(), "root.asm");
  EXPECT_TRUE(fs::exists(root->GetOrigin()));
  EXPECT_EQ(sim.models().listModels()->getarraysize(), static_cast<xint>(generated.description.models.size()));
}

TEST(SimModels, AComponentDescriptorKeptOrChangedByItsCallerIsNeverHandedOutAgain) {
  TempDirectory dir;
  writeModelFile(dir.path / "top.asm.1", "1 2 3", 1024);
  writeModelFile(dir.path / "bolt.prt.1", "4 5 6", 1024);
  CreoSimulator sim(SimulatorOptions{});
  SimModelDefinition bolt;
  bolt.name = "bolt.prt";
  bolt.file = dir.path / "bolt.prt.1";
  sim.models().addModel(bolt);
  SimModelDefinition top;
  top.name = "top.asm";
  top.file = dir.path / "top.asm.1";
  top.components = {{"bolt.prt"}};
  auto component = pfcComponentFeat::cast(
      pfcSolid::cast(sim.models().addModel(top))->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT)->get(0));

  pfcModelDescriptor_ptr kept = component->GetModelDescr();
  pfcModelDescriptor_ptr second = component->GetModelDescr();
  EXPECT_NE(kept, second);
  second->SetPath((dir.path / "elsewhere").string());
  second.reset();
  pfcModelDescriptor_ptr third = component->GetModelDescr();
  EXPECT_EQ(third->GetPath(), "");
  EXPECT_EQ(third->GetInstanceName(), "BOLT");
  EXPECT_EQ(kept->GetInstanceName(), "BOLT");
  EXPECT_EQ(sim.currentSession(pfcC4Compatible)->GetModelFromDescr(third), sim.models().model("bolt.prt"));
}

