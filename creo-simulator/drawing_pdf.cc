#include "drawing_pdf.h"

namespace creosim {

std::string sheetCaption(int sheet, int sheets) {
  return "Sheet " + std::to_string(sheet) + " of " + std::to_string(sheets);
}

}  // namespace creosim
