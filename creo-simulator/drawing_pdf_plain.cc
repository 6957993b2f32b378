// A PDF written object by object: a catalog, the page tree, per sheet a page and
// its content stream, one standard font and the document information, then the
// cross-reference table a reader uses to find them.
#include <cstdio>
#include <vector>

#include "drawing_pdf.h"

namespace creosim {
namespace {

// A PDF literal string: parentheses and backslashes escaped.
std::string literal(const std::string& text) {
  std::string out = "(";
  for (char c : text) {
    if (c == '(' || c == ')' || c == '\\') out += '\\';
    out += c;
  }
  return out + ")";
}

std::string sheetContent(const DrawingPdf& drawing, int sheet) {
  return "1.5 w 20 20 802 555 re S 522 20 300 80 re S\n"
         "BT /F1 18 Tf 537 70 Td " + literal(drawing.drawingName) + " Tj ET\n"
         "BT /F1 12 Tf 537 40 Td " + literal(sheetCaption(sheet, drawing.sheets)) + " Tj ET\n";
}

}  // namespace

std::string renderDrawingPdf(const DrawingPdf& drawing) {
  // Objects: 1 catalog, 2 page tree, 3 font, 4 information, then a page and its content per sheet.
  std::vector<std::string> objects(4);
  std::string kids;
  for (int sheet = 1; sheet <= drawing.sheets; ++sheet) {
    const size_t page = objects.size() + 1;
    kids += std::to_string(page) + " 0 R ";
    std::string content = sheetContent(drawing, sheet);
    objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 842 595] /Resources << /Font << /F1 3 0 R >> >> "
                      "/Contents " + std::to_string(page + 1) + " 0 R >>");
    objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream");
  }
  objects[0] = "<< /Type /Catalog /Pages 2 0 R >>";
  objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(drawing.sheets) + " >>";
  objects[2] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
  objects[3] = "<< /Title " + literal(drawing.drawingName) + " /Creator " + literal("Creo Parametric (simulated)") +
               (drawing.keywords.empty() ? "" : " /Keywords " + literal(drawing.keywords)) + " >>";

  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char entry[21];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info 4 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

}  // namespace creosim
