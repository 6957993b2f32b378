#include <gtest/gtest.h>

#include "model/export_texts.h"
#include "model/testing/export_test_session.h"
#ifndef _WIN32
#include "testing/pdf_reader_test_support.h"
#endif

namespace fs = std::filesystem;
using creosim::SimModelDefinition;

namespace {

// A drawing of `sheets` sheets, shown in the active window.
pfcModel_ptr addDrawing(ExportTestSession& s, SimModelDefinition drawing, int sheets = 1) {
  drawing.sheets = sheets;
  const std::string name = drawing.name;
  pfcModel_ptr model = s.add(std::move(drawing));
  s.models().setCurrentModel(name);
  return model;
}

}  // namespace

TEST(DrawingExport, DrawingBecomesOnePdfNamedAfterItsFile) {
  ExportTestSession s;
  const fs::path dir = s.directory("models");
  pfcModel_ptr plan = addDrawing(s, localModel("plan.drw", s.writeModel(dir / "plan.drw.3")), 3);
  const auto before = fileFingerprints(dir);

  ModelExporter exporter = s.exporter();
  const auto files = exporter.exportToTempDirectory(plan, true);
  EXPECT_EQ(exporter.userMessage(), "");
  EXPECT_EQ(described(files), std::vector<std::string>{"plan.pdf"});
  ASSERT_EQ(files.size(), 1u);
  const fs::path pdf = getSessionTempDirectory("upload") / "plan.pdf";
  EXPECT_EQ(files[0].localPath, pdf);
#ifndef _WIN32
  EXPECT_EQ(creosim::infoField(pdf, "Pages"), "3");
  // The simulated Creo notes the options it was given, in their order.
  EXPECT_EQ(creosim::infoField(pdf, "Keywords"), "font_stroke=0 color_depth=2 launch_viewer=false");
#endif
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Drawing export source: " + (dir / "plan.drw.3").string()), 1);
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Exporting pdf to target location: " + pdf.string()), 1);

  // A second export in the same directory replaces the first PDF.
  ModelExporter again = s.exporter();
  EXPECT_EQ(described(again.exportToTempDirectory(plan, true)), std::vector<std::string>{"plan.pdf"});
  EXPECT_EQ(s.logged("[DEBUG] [Tavix] Deleting existing PDF file present for drawing: " + pdf.string()), 1);
  exporter.finalizeExport();
  EXPECT_EQ(fileFingerprints(dir), before);
}

TEST(DrawingExport, BaseNameDropsTheVersionAndTheDrawingExtensionOnly) {
  ExportTestSession s;
  const fs::path dir = s.directory("models");
  const fs::path cache = s.directory("wscache");
  s.models().addWorkspace({"main", cache});
  SimModelDefinition windchill = localModel("plan.drw", s.writeModel(cache / "plan.drw"));
  windchill.workspace = "main";
  windchill.fileName = "PLAN.DRW";

  const std::vector<std::pair<SimModelDefinition, std::string>> cases = {
      {windchill, "plan.pdf"},
      {localModel("site.plan.drw", s.writeModel(dir / "site.plan.drw")), "site.plan.pdf"},
      {localModel("yard.drw", s.writeModel(dir / "YARD.DRW.12")), "YARD.pdf"},
  };
  for (const auto& [definition, expected] : cases) {
    pfcModel_ptr drawing = addDrawing(s, definition);
    ModelExporter exporter = s.exporter();
    EXPECT_EQ(described(exporter.exportToTempDirectory(drawing, true)), std::vector<std::string>{expected});
  }
  EXPECT_EQ(s.models().workspaceCopyCount(), 0);
}

TEST(DrawingExport, FailuresGiveTheirUserTexts) {
  struct Case {
    std::string fault;  // the exception pfcModel::Export throws, or "" for none
    bool shown;
    bool writes;
    std::string userText;
    std::string detail;
  };
  const std::vector<Case> cases = {
      {"pfcXToolkitNoPermission", true, true,
       "Creo could not write the drawing PDF needed for upload. Please check file permissions and try again.",
       "Creo lacked permission to write drawing PDF during export."},
      {"", false, true, "The drawing must be active in Creo before it can be exported for upload.",
       "Drawing was not active/displayed during PDF export."},
      {"pfcXToolkitUnsupported", true, true, "Creo does not support exporting this drawing with the current PDF settings.",
       "Creo reported drawing PDF export request as unsupported."},
      {"pfcXToolkitCantWrite", true, true, kPrepareFailedText, "Creo toolkit error while exporting drawing to PDF."},
      {"", true, false, kPrepareFailedText, "Unexpected error while exporting drawing to PDF."},
  };
  for (const Case& c : cases) {
    ExportTestSession s;
    pfcModel_ptr plan = addDrawing(s, localModel("plan.drw", s.writeModel(s.directory("models") / "plan.drw.1")));
    if (!c.shown) s.models().setCurrentModel("");
    s.models().setExportsVanish(!c.writes);
    if (!c.fault.empty()) s.sim().faults().failNext("pfcModel::Export", c.fault);

    ModelExporter exporter = s.exporter();
    EXPECT_TRUE(exporter.exportToTempDirectory(plan, true).empty());
    EXPECT_EQ(exporter.userMessage(), c.userText) << c.detail;
    EXPECT_EQ(exporter.detailMessage(), c.detail);
    EXPECT_FALSE(fs::exists(getSessionTempDirectory("upload") / "plan.pdf"));
    if (!c.writes) {
      EXPECT_EQ(s.logged("[ERROR] [Tavix] An error occurred while exporting drw as pdf: Drawing export failed: PDF "
                         "output not found."),
                1);
    }
  }
}
