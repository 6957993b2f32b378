// Built once per PDF writer: a reader must find every sheet in what either writes.
#include "drawing_pdf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "testing/pdf_reader_test_support.h"

namespace fs = std::filesystem;
using namespace creosim;

TEST(DrawingPdf, AReaderFindsEverySheetWithTheDrawingsNameAndTheDocumentProperties) {
  std::random_device random;
  const fs::path pdf = fs::temp_directory_path() / ("tavixtest-drawing-pdf-" + std::to_string(random()) + ".pdf");
  {
    std::ofstream out(pdf, std::ios::binary);
    out << renderDrawingPdf({"site(plan)\\a.drw", 2, "font_stroke=0 color_depth=2"});
  }
  EXPECT_EQ(infoField(pdf, "Pages"), "2");
  EXPECT_EQ(infoField(pdf, "Title"), "site(plan)\\a.drw");
  EXPECT_EQ(infoField(pdf, "Keywords"), "font_stroke=0 color_depth=2");
  EXPECT_EQ(infoField(pdf, "Creator"), "Creo Parametric (simulated)");
  for (int sheet : {1, 2}) {
    const std::string page = std::to_string(sheet);
    const std::string text = readWith("pdftotext -f " + page + " -l " + page, pdf, "-");
    EXPECT_NE(text.find("site(plan)\\a.drw"), std::string::npos) << text;
    EXPECT_NE(text.find("Sheet " + page + " of 2"), std::string::npos) << text;
  }
  EXPECT_EQ(readWith("pdftoppm -r 10 -png", pdf, "> /dev/null; echo status $?"), "status 0\n");
  fs::remove(pdf);
}
