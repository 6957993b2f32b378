// What Creo's PDF export of a drawing produces: one landscape page per sheet,
// each naming the drawing and the sheet. Linux renders with cairo; Windows
// writes the few PDF objects itself.
#pragma once

#include <string>

namespace creosim {

struct DrawingPdf {
  std::string drawingName;  // as the model's file name gives it, e.g. "plan.drw"
  int sheets = 1;
  // Document properties a reader shows: the options the export was asked for
  // (none when empty).
  std::string keywords;
};

// The bytes of the PDF file.
std::string renderDrawingPdf(const DrawingPdf& drawing);

// "Sheet 2 of 3": what each page says about its sheet.
std::string sheetCaption(int sheet, int sheets);

}  // namespace creosim
