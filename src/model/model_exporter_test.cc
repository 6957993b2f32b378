#include "model/model_exporter.h"

#include <gtest/gtest.h>

#include "model/export_texts.h"
#include "model/testing/export_test_session.h"

namespace fs = std::filesystem;
using creosim::QueryScript;
using creosim::SimModelDefinition;

namespace {

// Every staged file lies in the session temporary directory, with the bytes of its source.
void expectStagedCopies(const std::vector<ExportedFile>& files, const std::vector<fs::path>& sources) {
  ASSERT_EQ(files.size(), sources.size());
  const fs::path directory = getSessionTempDirectory("upload");
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].localPath.parent_path(), directory);
    EXPECT_EQ(bytesOf(files[i].localPath), bytesOf(sources[i])) << files[i].localPath;
  }
}

}  // namespace

TEST(ModelExport, PartKeepsItsVersionSuffixAndIsStagedOnce) {
  ExportTestSession s;
  const fs::path dir = s.directory("models");
  const fs::path source = s.writeModel(dir / "bracket.prt.3", 70000);
  s.add(localModel("bracket.prt", source));
  const auto before = fileFingerprints(dir);

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("bracket.prt"), true);
  EXPECT_EQ(described(files), std::vector<std::string>{"bracket.prt.3"});
  expectStagedCopies(files, {source});
  EXPECT_TRUE(exporter.exportToTempDirectory(s.model("bracket.prt"), true).empty());
  EXPECT_EQ(exporter.userMessage(), "");
  EXPECT_EQ(exporter.detailMessage(), "");
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Skipping temp. directory export for already exported model: bracket.prt"), 1);
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Staging model file: " + source.string()), 1);
  exporter.finalizeExport();

  // A retry of the upload stages the file again over the first copy.
  ModelExporter retry = s.exporter();
  expectStagedCopies(retry.exportToTempDirectory(s.model("bracket.prt"), true), {source});
  EXPECT_EQ(retry.userMessage(), "");
  EXPECT_EQ(fileFingerprints(dir), before);
}

TEST(ModelExport, AssemblyStagesEachFileOnceParentsFirstAndSkipsSuppressedComponents) {
  ExportTestSession s;
  const fs::path dir = s.directory("models");
  SimModelDefinition top = localModel("top.asm", s.writeModel(dir / "top.asm.2"),
                                      {"bolt.prt", "sub.asm", "bolt.prt", "sub.asm", "bolt.prt", "washer.prt"});
  top.components[5].status = pfcFEAT_SUPPRESSED;
  s.add(top);
  s.add(localModel("sub.asm", s.writeModel(dir / "sub.asm.1"), {"nut.prt", "bolt.prt"}));
  s.add(localModel("bolt.prt", s.writeModel(dir / "bolt.prt.4", 9000)));
  s.add(localModel("nut.prt", s.writeModel(dir / "nut.prt.1", 5000)));
  s.add(localModel("washer.prt", s.writeModel(dir / "washer.prt.1")));
  const auto before = fileFingerprints(dir);

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("top.asm"), true);
  EXPECT_EQ(exporter.userMessage(), "");
  EXPECT_EQ(described(files), (std::vector<std::string>{"top.asm.2", "bolt.prt.4", "sub.asm.1", "nut.prt.1"}));
  expectStagedCopies(files, {dir / "top.asm.2", dir / "bolt.prt.4", dir / "sub.asm.1", dir / "nut.prt.1"});
  // Six components of the top assembly and two of the first use of the sub-assembly.
  EXPECT_EQ(s.progressCalls, 8);
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] ModelExporter::exportToTempDirectory() - Skipping suppressed component in "
                     "assembly. Suppressed component: WASHER. Assembly: top.asm"),
            1);
  EXPECT_EQ(s.logged("Extracted all components succesfully from assembly"), 2);
  exporter.finalizeExport();
  EXPECT_EQ(fileFingerprints(dir), before);
}

TEST(ModelExport, FirstFailureIsKeptAndLaterComponentsAreSkipped) {
  ExportTestSession s;
  const fs::path dir = s.directory("models");
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1"), {"a.prt", "ghost.prt", "b.prt"}));
  s.add(localModel("a.prt", s.writeModel(dir / "a.prt.1")));
  s.add(localModel("b.prt", s.writeModel(dir / "b.prt.1")));
  s.add(localModel("lone.prt", s.writeModel(dir / "lone.prt.1")));

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("top.asm"), true);
  EXPECT_EQ(exporter.userMessage(), kMissingPartsText);
  EXPECT_EQ(exporter.detailMessage(), "Unable to retrieve assembly child model from descriptor.");
  EXPECT_EQ(described(files), (std::vector<std::string>{"top.asm.1", "a.prt.1"}));
  EXPECT_FALSE(fs::exists(getSessionTempDirectory("upload") / "b.prt.1"));
  EXPECT_EQ(s.progressCalls, 2);
  EXPECT_EQ(s.logged("[ERROR] [Tavix] Unable to retrieve child model from descriptor"), 1);

  // Nothing more is exported, and the first failure stays the one reported.
  EXPECT_TRUE(exporter.exportToTempDirectory(s.model("lone.prt"), true).empty());
  EXPECT_EQ(exporter.detailMessage(), "Unable to retrieve assembly child model from descriptor.");
  EXPECT_FALSE(fs::exists(getSessionTempDirectory("upload") / "lone.prt.1"));
}

TEST(ModelExport, ErrorsInsideAnAssemblyBecomeTheMissingPartsText) {
  struct Case {
    std::string operation;
    std::string exception;
    std::string detail;
    std::string logLine;
  };
  const std::vector<Case> cases = {
      {"pfcFeature::GetStatus", "pfcXToolkitNotFound", "Assembly child model or descriptor was not found during export.",
       "[ERROR] [Tavix] ModelExporter: assembly child model or descriptor was not found during export."},
      {"pfcFeature::GetStatus", "pfcXToolkitNoPermission",
       "Creo lacked permission to retrieve an assembly child during export.",
       "[ERROR] [Tavix] ModelExporter: Creo lacks permission to retrieve an assembly child during export."},
      {"pfcComponentFeat::GetModelDescr", "pfcXToolkitBadContext", "Creo toolkit error while exporting assembly components.",
       "[ERROR] [Tavix] Creo toolkit error while exporting assembly components. exception=pfcXToolkitBadContext in "
       "pfcComponentFeat::GetModelDescr"},
  };
  for (const Case& c : cases) {
    ExportTestSession s;
    const fs::path dir = s.directory("models");
    s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1"), {"a.prt"}));
    s.add(localModel("a.prt", s.writeModel(dir / "a.prt.1")));
    s.sim().faults().failNext(c.operation, c.exception, -1);  // the size walk meets it first
    ModelExporter exporter = s.exporter();
    exporter.exportToTempDirectory(s.model("top.asm"), true);
    EXPECT_EQ(exporter.userMessage(), kMissingPartsText) << c.exception;
    EXPECT_EQ(exporter.detailMessage(), c.detail);
    EXPECT_EQ(s.logged(c.logLine), 1) << c.logLine;
  }

  // The root's own metadata fails on an embedded component at any depth: that
  // leaves the export as the error the upload operation shows.
  ExportTestSession s;
  const fs::path dir = s.directory("models");
  s.add(localModel("top.asm", s.writeModel(dir / "top.asm.1"), {"sub.asm"}));
  SimModelDefinition sub = localModel("sub.asm", s.writeModel(dir / "sub.asm.1"), {"skin.prt"});
  sub.components[0].embedded = true;
  s.add(sub);
  s.add(localModel("skin.prt", s.writeModel(dir / "skin.prt.1")));
  ModelExporter exporter = s.exporter();
  EXPECT_THROW(exporter.exportToTempDirectory(s.model("top.asm"), true), std::runtime_error);
  EXPECT_EQ(exporter.userMessage(), "");
}

namespace {

// A session with the workspace "main"; its cache holds the workspace models' files.
struct WorkspaceExportSession : ExportTestSession {
  WorkspaceExportSession() {
    cache = directory("wscache");
    models().addWorkspace({"main", cache});
  }
  pfcModel_ptr inWorkspace(const std::string& name, std::uintmax_t bytes, std::vector<std::string> components = {},
                           QueryScript revision = QueryScript::answer("B"), QueryScript version = QueryScript::answer("3")) {
    SimModelDefinition definition = localModel(name, writeModel(cache / name, bytes), std::move(components));
    definition.workspace = "main";
    definition.revision = std::move(revision);
    definition.version = std::move(version);
    definition.versionStamp = "stamp-" + name;
    return add(definition);
  }
  fs::path cache;
};

}  // namespace

// The part's file is deleted (a network drive drops, a sync tool moves it) at
// each moment of its export in turn, the moment of the copy among them: the
// user is told the same thing whenever it happens, or the upload has it.
TEST(ModelExport, APartFileThatVanishesAtAnyMomentIsExplainedAlike) {
  ExportTestSession s;
  const fs::path source = s.directory("models") / "bracket.prt.3";
  s.add(localModel("bracket.prt", s.writeModel(source, 70000)));
  int refused = 0;
  for (int calls = 0;; ++calls) {
    SCOPED_TRACE("removed after " + std::to_string(calls) + " toolkit calls");
    s.writeModel(source, 70000);
    s.sim().faults().runAfterCalls(calls, [&] { fs::remove(source); });
    ModelExporter exporter = s.exporter("upload-" + std::to_string(calls));
    const auto files = exporter.exportToTempDirectory(s.model("bracket.prt"), true);
    exporter.finalizeExport();
    if (s.sim().faults().actionPending()) {
      s.sim().faults().clear();
      EXPECT_EQ(described(files), std::vector<std::string>{"bracket.prt.3"});
      EXPECT_GT(calls, 1);
      break;
    }
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(exporter.userMessage(), kModelFileUnreachableText);
    ++refused;
  }
  // Gone before its metadata was read, or after: each refusal says which.
  const int vanishedAtCopy = s.logged("[ERROR] [Tavix] Upload failed: model file vanished before it was staged. path=" +
                                      source.string() + ", message=No such file or directory");
  EXPECT_GE(vanishedAtCopy, 1);
  EXPECT_EQ(vanishedAtCopy + s.logged("[ERROR] [Tavix] Upload failed: empty model path."), refused);
}

TEST(ModelExport, WindchillModelsAreCopiedOutWithTheirRevisionAndIteration) {
  WorkspaceExportSession s;
  s.inWorkspace("wcasm.asm", 20000, {"wcpart.prt", "wcpart.prt", "local.prt"});
  s.inWorkspace("wcpart.prt", 30000, {}, QueryScript::empty(), QueryScript::processorFault());
  s.add(localModel("local.prt", s.writeModel(s.directory("models") / "local.prt.1")));
  const auto cacheBefore = fileFingerprints(s.cache);

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(s.model("wcasm.asm"), true);
  EXPECT_EQ(exporter.userMessage(), "");
  EXPECT_EQ(described(files), (std::vector<std::string>{"wcasm.asm marked v3 rB", "wcpart.prt v1 rstamp-wcpart.prt",
                                                        "local.prt.1"}));
  expectStagedCopies(files, {s.cache / "wcasm.asm", s.cache / "wcpart.prt", s.directory("models") / "local.prt.1"});
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Skipping already-staged Windchill model: wcpart.prt"), 1);
  EXPECT_EQ(s.logged("[INFO] [Tavix] Windchill model revision unavailable; using per-model version stamp: "
                     "stamp-wcpart.prt"),
            1);
  EXPECT_EQ(s.progressCalls, 3);
  exporter.finalizeExport();
  EXPECT_EQ(fileFingerprints(s.cache), cacheBefore);
}

TEST(ModelExport, ModelsThatCannotBeStagedAreRefusedWithTheirTexts) {
  const std::string revisionText =
      "We couldn't read the Windchill revision information required for upload. Please reopen the model and try again.";
  WorkspaceExportSession s;
  s.add(localModel("draft.prt", ""));  // never saved
  SimModelDefinition layout = localModel("plan.lay", s.writeModel(s.directory("models") / "plan.lay.1"));
  layout.type = pfcMDL_LAYOUT;
  s.add(layout);
  s.inWorkspace("norev.prt", 1000, {}, QueryScript::toolkitError("pfcXToolkitNotFound"));
  s.inWorkspace("noiter.prt", 1000, {}, QueryScript::answer("A"), QueryScript::toolkitError("pfcXToolkitBadContext"));
  s.inWorkspace("gone.prt", 1000);
  fs::remove(s.cache / "gone.prt");

  struct Case {
    std::string model, userText, detail, logLine;
  };
  const std::vector<Case> cases = {
      {"draft.prt", "We couldn't access the selected model file for upload. Please reopen the model and try again.",
       "Selected model could not be resolved to a local file for upload.", "Upload failed: empty model path."},
      {"plan.lay", "This model type is not supported for upload.", "Unsupported model type encountered during export.",
       "Upload failed: Unknown model type"},
      {"norev.prt", revisionText, "Failed to resolve Windchill model revision during export.", ""},
      {"noiter.prt", revisionText, "Failed to resolve Windchill model iteration during export.",
       "Failed to resolve Windchill model iteration during export."},
      {"gone.prt",
       "We couldn't access all required Windchill files. Refresh the workspace or reopen the model, then try again.",
       "Failed to stage Windchill model locally for export.", "Failed to stage Windchill model locally for export: gone.prt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    ModelExporter exporter = s.exporter();
    EXPECT_TRUE(exporter.exportToTempDirectory(s.model(c.model), true).empty());
    EXPECT_EQ(exporter.userMessage(), c.userText);
    EXPECT_EQ(exporter.detailMessage(), c.detail);
    if (!c.logLine.empty()) {
      EXPECT_EQ(s.logged("[ERROR] [Tavix] " + c.logLine), 1);
    }
  }
}
