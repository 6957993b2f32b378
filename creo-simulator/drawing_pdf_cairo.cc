#include <cairo-pdf.h>
#include <cairo.h>

#include <memory>
#include <stdexcept>

#include "cairo_fonts.h"
#include "drawing_pdf.h"

namespace creosim {
namespace {

constexpr double kWidth = 842;  // A4 landscape, in points
constexpr double kHeight = 595;

cairo_status_t appendTo(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void drawSheet(cairo_t* cr, const DrawingPdf& drawing, int sheet) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 1.5);
  cairo_rectangle(cr, 20, 20, kWidth - 40, kHeight - 40);  // the drawing frame
  cairo_rectangle(cr, kWidth - 320, kHeight - 100, 300, 80);  // the title block
  cairo_stroke(cr);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 18);
  cairo_move_to(cr, kWidth - 305, kHeight - 70);
  cairo_show_text(cr, drawing.drawingName.c_str());
  cairo_set_font_size(cr, 12);
  cairo_move_to(cr, kWidth - 305, kHeight - 40);
  cairo_show_text(cr, sheetCaption(sheet, drawing.sheets).c_str());
}

}  // namespace

std::string renderDrawingPdf(const DrawingPdf& drawing) {
  releaseFontCachesAtExit();
  std::string bytes;
  {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_pdf_surface_create_for_stream(appendTo, &bytes, kWidth, kHeight), cairo_surface_destroy);
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, drawing.drawingName.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Creo Parametric (simulated)");
    if (!drawing.keywords.empty())
      cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_KEYWORDS, drawing.keywords.c_str());
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
    for (int sheet = 1; sheet <= drawing.sheets; ++sheet) {
      drawSheet(cr.get(), drawing, sheet);
      cairo_show_page(cr.get());
    }
    cr.reset();
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
      throw std::runtime_error(cairo_status_to_string(cairo_surface_status(surface.get())));
  }
  return bytes;
}

}  // namespace creosim
