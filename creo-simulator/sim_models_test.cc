#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "assembly_generator.h"
#include "creo_simulator.h"
#include "session_description.h"
#include "sim_model_file.h"
#include "sim_text.h"
#include "testing/toolkit_throw_test_support.h"
#ifndef _WIN32
#include "testing/pdf_reader_test_support.h"
#endif

namespace fs = std::filesystem;
using namespace creosim;

namespace {

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
    { "name": "top.drw", "file": "top.drw.1", "sheets": 2 },
    { "name": "wc.prt", "workspace": "main", "file": "wscache/wc.prt",
      "revision": { "fault": true }, "version": { "error": "pfcXToolkitNotFound" } }
  ],
  "current": "top.asm"
})";

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

// A simulator with no session yet, and a folder of its own for model files.
class SimModels : public ::testing::Test {
 protected:

  // A model saved in `file` under the folder, whose bytes are written first.
  pfcModel_ptr addLocal(const std::string& name, const std::string& file, SimModelDefinition model = {}) {
    writeModelFile(dir.path / file, name, 2048);
    model.name = name;
    model.file = dir.path / file;
    return sim.models().addModel(model);
  }
  // A generic saved in `file` whose family table has one row, and that instance.
  pfcModel_ptr addFamily(const std::string& generic, const std::string& file, const std::string& instance,
                         const std::string& workspace = {}) {
    SimModelDefinition table;
    table.workspace = workspace;
    table.familyRows = {asciiUpper(pathOf(instance).stem().string())};
    addLocal(generic, file, table);
    SimModelDefinition member;
    member.name = instance;
    member.workspace = workspace;
    member.generic = generic;
    return sim.models().addModel(member);
  }

  TempDirectory dir;  // outlives the simulator
  CreoSimulator sim{SimulatorOptions{}};
};

// The instructions a caller builds for a drawing: file path, then the options in order.
pfcPDFExportInstructions_ptr pdfInstructions(const fs::path& directory,
                                             std::vector<std::pair<pfcPDFOptionType, pfcArgValue_ptr>> settings) {
  auto instructions = pfcPDFExportInstructions::Create();
  instructions->SetFilePath(directory.c_str());
  auto options = pfcPDFOptions::create();
  for (auto& [type, value] : settings) {
    auto option = pfcPDFOption::Create();
    option->SetOptionType(type);
    option->SetOptionValue(value);
    options->append(option);
  }
  instructions->SetOptions(options);
  return instructions;
}

pfcPDFExportInstructions_ptr uploadPdfInstructions(const fs::path& directory) {
  return pdfInstructions(directory, {{pfcPDFOPT_FONT_STROKE, pfcCreateIntArgValue(pfcPDF_STROKE_ALL_FONTS)},
                                     {pfcPDFOPT_COLOR_DEPTH, pfcCreateIntArgValue(pfcPDF_CD_MONO)},
                                     {pfcPDFOPT_LAUNCH_VIEWER, pfcCreateBoolArgValue(false)}});
}

std::string contentsOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST_F(SimModels, SessionFileBringsModelsToLifeAsCreoShowsThem) {
  for (const char* file : {"top.asm.2", "plate.prt.2", "cold.prt.1", "top.drw.1"}) writeModelFile(dir.path / file, "1 2 3", 2048);
  fs::create_directories(dir.path / "wscache");
  writeModelFile(dir.path / "wscache" / "wc.prt", "4 5 6", 1024);
  std::ofstream(dir.path / "session.json") << kSession;

  sim.models().load(readSessionDescription(dir.path / "session.json"));
  pfcSession_ptr session = sim.currentSession(pfcC4Compatible);
  pfcModel_ptr top = session->GetCurrentModel();
  ASSERT_TRUE(top);
  EXPECT_EQ(textOf(top->GetOrigin()), (dir.path / "top.asm.2").string());
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
  ProMdl owner = nullptr;
  EXPECT_EQ(sim.findModel(L"TOP", PRO_MDLFILE_PART, &owner), PRO_TK_E_NOT_FOUND);
  ASSERT_EQ(sim.findModel(L"TOP", PRO_MDLFILE_ASSEMBLY, &owner), PRO_TK_NO_ERROR);
  ProAsmcomp skin{PRO_FEATURE, features->get(2)->GetId(), owner};
  ProBoolean embedded = PRO_B_FALSE;
  EXPECT_EQ(ProAsmcompIsEmbedded(&skin, &embedded), PRO_TK_GENERAL_ERROR);  // no host handed over
  EXPECT_EQ(sim.isEmbeddedComponent(skin, &embedded), PRO_TK_NO_ERROR);
  EXPECT_EQ(embedded, PRO_B_TRUE);
  ProAsmcomp absent{PRO_FEATURE, 4, owner};
  EXPECT_EQ(sim.isEmbeddedComponent(absent, &embedded), PRO_TK_E_NOT_FOUND);

  pfcModel_ptr wc = sim.models().model("wc.prt");
  EXPECT_EQ(wc->GetOrigin(), "wtws://main/wc.prt");
  EXPECT_THROW(wc->GetRevision(), SimulatedProcessorFault);
  EXPECT_TOOLKIT_THROW(wc->GetVersion(), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(session->CopyFileFromWS("wtws://main/wc.prt", (dir.path / "absent").c_str()), pfcXToolkitInvalidDir);

  // Written back, the description keeps what it said, the drawing's sheets among it.
  writeSessionDescription(readSessionDescription(dir.path / "session.json"), dir.path / "again.json");
  SessionDescription again = readSessionDescription(dir.path / "again.json");
  ASSERT_EQ(again.models.size(), 6u);
  EXPECT_EQ(again.models[4].sheets, 2);
  EXPECT_EQ(again.models[2].sheets, 1);
  EXPECT_EQ(again.models[2].generic, "plate.prt");
}

TEST_F(SimModels, BackupWritesTheNextVersionAndAnAcceleratorWhenAsked) {
  pfcModel_ptr instance = addFamily("plate.prt", "plate.prt.2", "plate_a.prt");

  fs::create_directories(dir.path / "out");
  auto descr = instance->GetDescr();
  descr->SetPath((dir.path / "out").c_str());
  instance->Backup(descr);
  EXPECT_EQ(fs::file_size(dir.path / "out" / "plate.prt.1"), 2048u);
  EXPECT_FALSE(fs::exists(dir.path / "out" / "PLATE_A.xpr"));

  sim.models().setConfigOption("save_instance_accelerator", "always");
  instance->Backup(descr);
  EXPECT_TRUE(fs::exists(dir.path / "out" / "plate.prt.2"));
  EXPECT_TRUE(fs::exists(dir.path / "out" / "PLATE_A.xpr"));

  // Versions removed or saved by others since are seen by the next backup.
  fs::remove(dir.path / "out" / "plate.prt.2");
  instance->Backup(descr);
  EXPECT_TRUE(fs::exists(dir.path / "out" / "plate.prt.2"));
  writeModelFile(dir.path / "out" / "plate.prt.3", "1", 10);
  instance->Backup(descr);
  EXPECT_EQ(fs::file_size(dir.path / "out" / "plate.prt.4"), 2048u);

  descr->SetPath((dir.path / "absent").c_str());
  EXPECT_TOOLKIT_THROW(instance->Backup(descr), pfcXToolkitInvalidDir);
}

TEST_F(SimModels, GeneratedAssemblyRoundTripsThroughItsSessionFile) {
  GeneratedAssembly generated = generateAssembly({.componentOccurrences = 500}, dir.path);
  writeSessionDescription(generated.description, dir.path / "session.json");
  EXPECT_GE(generated.componentOccurrences, 480);
  EXPECT_EQ(generated.distinctFiles, 100);
  EXPECT_TRUE(fs::exists(dir.path / "GEN_0_A.xpr"));  // one instance of each generic has its accelerator
  EXPECT_FALSE(fs::exists(dir.path / "GEN_0_B.xpr"));

  sim.models().load(readSessionDescription(dir.path / "session.json"));
  pfcModel_ptr root = sim.currentSession(pfcC4Compatible)->GetCurrentModel();
  ASSERT_TRUE(root);
  EXPECT_EQ(root->GetFileName(), "root.asm");
  EXPECT_TRUE(fs::exists(pathOf(textOf(root->GetOrigin()))));
  EXPECT_EQ(sim.models().listModels()->getarraysize(), static_cast<xint>(generated.description.models.size()));
}

TEST_F(SimModels, AToolkitCallFromAnotherThreadIsAProblemNamingTheOperation) {
  GeneratedAssembly generated = generateAssembly({.componentOccurrences = 10}, dir.path);
  sim.models().load(generated.description);
  pfcModel_ptr root = sim.currentSession(pfcC4Compatible)->GetCurrentModel();
  ASSERT_TRUE(root);
  EXPECT_TRUE(sim.problems().empty());

  std::thread([&] { root->GetFileName(); }).join();
  EXPECT_EQ(sim.problems(), std::vector<std::string>{"the add-in called pfcModel::GetFileName from a thread other "
                                                     "than Creo's user-interface thread"});
}

// Numbers are whole and in range: a fraction, a huge exponent or a type Creo
// does not have is a malformed file, named with its fault, never converted.
TEST_F(SimModels, SessionFileWithNumbersOutOfRangeIsMalformed) {
  for (const char* model : {R"({"name": "a.prt", "type": 1e300})", R"({"name": "a.prt", "type": 10})",
                            R"({"name": "a.drw", "sheets": 2.5})", R"({"name": "a.drw", "sheets": -1e300})",
                            R"({"name": "a.prt", "simplifiedRep": 3})", R"({"name": "a.prt", "simplifiedRep": "1"})"}) {
    std::ofstream(dir.path / "session.json") << R"({"models": [)" << model << "]}";
    try {
      readSessionDescription(dir.path / "session.json");
      ADD_FAILURE() << "read: " << model;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find("malformed session description"), std::string::npos) << error.what();
    }
  }
  std::ofstream(dir.path / "session.json") << R"({"models": [{"name": "a.drw", "sheets": -3}, {"name": "b.prt", "type": 1}]})";
  const SessionDescription read = readSessionDescription(dir.path / "session.json");
  EXPECT_EQ(read.models[0].sheets, 1);
  EXPECT_EQ(read.models[1].type, pfcMDL_PART);
}

TEST_F(SimModels, AComponentDescriptorKeptOrChangedByItsCallerIsNeverHandedOutAgain) {
  addLocal("bolt.prt", "bolt.prt.1");
  SimModelDefinition top;
  top.components = {{"bolt.prt"}};
  auto component = pfcComponentFeat::cast(
      pfcSolid::cast(addLocal("top.asm", "top.asm.1", top))->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT)->get(0));

  pfcModelDescriptor_ptr kept = component->GetModelDescr();
  pfcModelDescriptor_ptr second = component->GetModelDescr();
  EXPECT_NE(kept, second);
  second->SetPath((dir.path / "elsewhere").c_str());
  second = nullptr;
  pfcModelDescriptor_ptr third = component->GetModelDescr();
  EXPECT_EQ(textOf(third->GetPath()), "");
  EXPECT_EQ(third->GetInstanceName(), "BOLT");
  EXPECT_EQ(kept->GetInstanceName(), "BOLT");
  EXPECT_EQ(sim.currentSession(pfcC4Compatible)->GetModelFromDescr(third), sim.models().model("bolt.prt"));
}


TEST_F(SimModels, DrawingExportWritesOnePdfPagePerSheetAtExactlyTheGivenPath) {
  SimModelDefinition plan;
  plan.sheets = 3;
  pfcModel_ptr drawing = addLocal("plan.drw", "plan.drw.3", plan);
  sim.models().setCurrentModel("plan.drw");
  fs::create_directories(dir.path / "out");
  const fs::path pdf = dir.path / "out" / "plan.pdf";

  drawing->Export(pdf.c_str(), uploadPdfInstructions(dir.path / "out"));
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(dir.path / "out"), {}), std::vector<fs::path>{pdf});
  EXPECT_EQ(contentsOf(pdf).substr(0, 5), "%PDF-");
#ifndef _WIN32
  EXPECT_EQ(infoField(pdf, "Pages"), "3");
  EXPECT_EQ(infoField(pdf, "Title"), "plan.drw");
  EXPECT_EQ(infoField(pdf, "Keywords"), "font_stroke=0 color_depth=2 launch_viewer=false");
  const std::string second = readWith("pdftotext -f 2 -l 2", pdf, "-");
  EXPECT_NE(second.find("plan.drw"), std::string::npos) << second;
  EXPECT_NE(second.find("Sheet 2 of 3"), std::string::npos) << second;
  EXPECT_EQ(second.find("Sheet 1 of 3"), std::string::npos) << second;
#endif

  // Exporting again replaces the file; options left out are not listed.
  std::ofstream(pdf, std::ios::app) << "trailing bytes of an older export";
  drawing->Export(pdf.c_str(), pdfInstructions(dir.path / "out", {}));
  EXPECT_EQ(contentsOf(pdf).find("trailing bytes"), std::string::npos);
#ifndef _WIN32
  EXPECT_EQ(infoField(pdf, "Pages"), "3");
  EXPECT_EQ(infoField(pdf, "Keywords"), "(no Keywords)");
  EXPECT_NE(readWith("pdftotext -f 3 -l 3", pdf, "-").find("Sheet 3 of 3"), std::string::npos);
#endif
}

TEST_F(SimModels, DrawingExportFailsWithTheToolkitErrorsCreoRaises) {
  pfcModel_ptr drawing = addLocal("plan.drw", "plan.drw.1");
  pfcModel_ptr part = addLocal("bolt.prt", "bolt.prt.1");
  const fs::path pdf = dir.path / "plan.pdf";
  auto instructions = uploadPdfInstructions(dir.path);

  sim.models().setCurrentModel("bolt.prt");
  EXPECT_TOOLKIT_THROW(drawing->Export(pdf.c_str(), instructions), pfcXToolkitNotDisplayed);
  EXPECT_TOOLKIT_THROW(part->Export(pdf.c_str(), instructions), pfcXToolkitUnsupported);

  sim.models().setCurrentModel("plan.drw");
  EXPECT_TOOLKIT_THROW(drawing->Export(pdf.c_str(), new pfcExportInstructions), pfcXToolkitUnsupported);
  // A value out of range, a value of the wrong type, an option the simulator does not know.
  for (const auto& [type, value] : {std::pair{pfcPDFOPT_COLOR_DEPTH, pfcCreateIntArgValue(7)},
                                    std::pair{pfcPDFOPT_FONT_STROKE, pfcCreateBoolArgValue(true)},
                                    std::pair{static_cast<pfcPDFOptionType>(3), pfcCreateIntArgValue(0)}})
    EXPECT_TOOLKIT_THROW(drawing->Export(pdf.c_str(), pdfInstructions(dir.path, {{type, value}})), pfcXToolkitUnsupported);
  EXPECT_TOOLKIT_THROW(drawing->Export((dir.path / "absent" / "plan.pdf").c_str(), instructions), pfcXToolkitCantWrite);
  EXPECT_TOOLKIT_THROW(drawing->Export(dir.path.c_str(), instructions), pfcXToolkitCantWrite);
  EXPECT_FALSE(fs::exists(pdf));
#ifndef _WIN32
  EXPECT_TOOLKIT_THROW(drawing->Export("/sys/plan.pdf", instructions), pfcXToolkitNoPermission);  // refused even to root
#endif

  sim.faults().failNext("pfcModel::Export", "pfcXToolkitNoPermission");
  EXPECT_TOOLKIT_THROW(drawing->Export(pdf.c_str(), instructions), pfcXToolkitNoPermission);
  EXPECT_FALSE(fs::exists(pdf));
  drawing->Export(pdf.c_str(), instructions);
  EXPECT_TRUE(fs::exists(pdf));
}

TEST_F(SimModels, BackupOfALocalInstanceIntoItsOriginFolderLeavesTheGenericsNextVersionThere) {
  pfcModel_ptr instance = addFamily("plate.prt", "plate.prt.2", "plate_a.prt");
  pfcModel_ptr assemblyInstance = addFamily("frame.asm", "frame.asm.1", "frame_b.asm");
  const std::string generic = contentsOf(dir.path / "plate.prt.2");
  sim.models().setConfigOption("save_instance_accelerator", "ALWAYS");

  // The descriptor names the instance's origin folder, the generic's.
  auto descr = instance->GetDescr();
  EXPECT_EQ(pathOf(textOf(descr->GetPath())), dir.path);
  instance->Backup(descr);
  assemblyInstance->Backup(assemblyInstance->GetDescr());
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"FRAME_B.xas", "PLATE_A.xpr", "frame.asm.1", "frame.asm.2",
                                             "plate.prt.2", "plate.prt.3"}));
  EXPECT_EQ(contentsOf(dir.path / "plate.prt.3"), generic);
  EXPECT_EQ(contentsOf(dir.path / "plate.prt.2"), generic);

#ifndef _WIN32
  descr->SetPath("/sys");
  EXPECT_TOOLKIT_THROW(instance->Backup(descr), pfcXToolkitNoPermission);  // refused even to root
#endif
  sim.faults().failNext("pfcModel::Backup", "pfcXToolkitCantWrite");
  EXPECT_TOOLKIT_THROW(instance->Backup(instance->GetDescr()), pfcXToolkitCantWrite);
  EXPECT_FALSE(fs::exists(dir.path / "plate.prt.4"));
}

TEST_F(SimModels, ConfigOptionsFailOnlyWhenAFaultIsArmed) {
  pfcSession_ptr session = sim.currentSession(pfcC4Compatible);
  EXPECT_EQ(session->GetConfigOption("save_instance_accelerator"), "");
  session->SetConfigOption("save_instance_accelerator", "NONE");

  sim.faults().failNext("pfcBaseSession::SetConfigOption", "pfcXToolkitLineTooLong");
  EXPECT_TOOLKIT_THROW(session->SetConfigOption("save_instance_accelerator", "ALWAYS"), pfcXToolkitLineTooLong);
  EXPECT_EQ(session->GetConfigOption("save_instance_accelerator"), "NONE");
  sim.faults().failNext("pfcBaseSession::GetConfigOption", "pfcXToolkitNotFound", 2);
  EXPECT_TOOLKIT_THROW(session->GetConfigOption("save_instance_accelerator"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(session->GetConfigOption("save_instance_accelerator"), pfcXToolkitNotFound);

  session->SetConfigOption("save_instance_accelerator", "");  // restored as it was: empty
  EXPECT_EQ(session->GetConfigOption("save_instance_accelerator"), "");
}

TEST_F(SimModels, BackupOfAWindchillInstanceWritesIntoTheGivenFolderAndLeavesTheCacheAlone) {
  fs::create_directories(dir.path / "wscache");
  fs::create_directories(dir.path / "staging");
  sim.models().addWorkspace({"main", dir.path / "wscache"});
  pfcModel_ptr instance = addFamily("plate.prt", "wscache/plate.prt", "plate_a.prt", "main");
  EXPECT_EQ(instance->GetOrigin(), "wtws://main/plate.prt");
  sim.models().setConfigOption("save_instance_accelerator", "ALWAYS");

  auto descr = instance->GetDescr();
  EXPECT_EQ(textOf(descr->GetPath()), "");  // a workspace model has no folder of its own
  descr->SetPath((dir.path / "staging").c_str());
  instance->Backup(descr);
  EXPECT_TRUE(fs::exists(dir.path / "staging" / "PLATE_A.xpr"));
  EXPECT_TRUE(fs::exists(dir.path / "staging" / "plate.prt.1"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path / "wscache"), {}), 1);
}
