// Draws a dialog's layout with cairo, its texts with pango, SVG images with
// librsvg and the other images (PNG, GIF: the first frame) with gdk-pixbuf.
#include <cairo-svg.h>
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <librsvg/rsvg.h>
#include <pango/pangocairo.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

#include "cairo_fonts.h"
#include "dialog_picture.h"

namespace creosim {

namespace {

constexpr const char* kFont = "Sans 10";
constexpr double kDotsPerInch = 96;

struct Colour {
  double red, green, blue;
};
constexpr Colour kWindow{0.94, 0.94, 0.94};
constexpr Colour kTitleBar{1, 1, 1};
constexpr Colour kFrame{0.48, 0.48, 0.48};
constexpr Colour kRule{0.82, 0.82, 0.82};
constexpr Colour kText{0.10, 0.10, 0.10};
constexpr Colour kButton{0.88, 0.88, 0.88};
constexpr Colour kButtonDisabled{0.94, 0.94, 0.94};
constexpr Colour kButtonBorder{0.68, 0.68, 0.68};
constexpr Colour kField{1, 1, 1};
constexpr Colour kFieldDisabled{0.96, 0.96, 0.96};

template <class T, void (*Release)(T*)>
struct Releaser {
  void operator()(T* object) const { Release(object); }
};
void releaseGObject(void* object) { g_object_unref(object); }
using PangoContextPtr = std::unique_ptr<PangoContext, Releaser<void, releaseGObject>>;
using TextLayout = std::unique_ptr<PangoLayout, Releaser<void, releaseGObject>>;
using SvgHandle = std::unique_ptr<RsvgHandle, Releaser<void, releaseGObject>>;
using Pixbuf = std::unique_ptr<GdkPixbuf, Releaser<void, releaseGObject>>;
using FontDescription = std::unique_ptr<PangoFontDescription, Releaser<PangoFontDescription, pango_font_description_free>>;
using Surface = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using Cairo = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;

PangoFontMap* fontMap = nullptr;

// One font map for the process, released at exit on this thread before the font
// caches are. pango reads the font configuration on a thread of its own, which
// holds the map meanwhile: a map let go after each picture was finalised on that
// thread, which at exit could still be freeing fonts while the caches went.
PangoFontMap* sharedFontMap() {
  static const bool created = [] {
    releaseFontCachesAtExit();  // registered first, so it runs after the release below
    fontMap = pango_cairo_font_map_new();
    return std::atexit([] { g_object_unref(fontMap); }) == 0;
  }();
  (void)created;
  return fontMap;
}

std::string takeMessage(GError* error) {
  std::string message = error ? error->message : "unknown error";
  if (error) g_error_free(error);
  return message;
}

void checkStatus(cairo_status_t status, const std::filesystem::path& file) {
  if (status != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + file.string() + ": " + cairo_status_to_string(status));
}

// A bitmap image as a cairo surface: gdk-pixbuf's rows are RGB(A) bytes,
// cairo's are native-endian ARGB words with the colour premultiplied.
Surface surfaceOf(GdkPixbuf* pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf), stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  cairo_surface_flush(surface.get());
  unsigned char* target = cairo_image_surface_get_data(surface.get());
  const int targetStride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(target + y * targetStride);
    for (int x = 0; x < width; ++x) {
      const guchar* p = pixels + y * stride + x * channels;
      const uint32_t alpha = channels == 4 ? p[3] : 255;
      auto premultiply = [alpha](uint32_t value) { return (value * alpha + 127) / 255; };
      row[x] = alpha << 24 | premultiply(p[0]) << 16 | premultiply(p[1]) << 8 | premultiply(p[2]);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

// Names are found whatever their case, as on Windows: "ICON.SVG" too.
bool isSvg(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".svg";
}

struct Image {
  Size size;
  SvgHandle svg;
  Surface bitmap;
};

class CairoPictureMetrics : public PictureMetrics {
 public:
  explicit CairoPictureMetrics(const TextFolder& text)
      : text_(text),
        context_(pango_font_map_create_context(sharedFontMap())),
        font_(pango_font_description_from_string(kFont)) {
    pango_cairo_context_set_resolution(context_.get(), kDotsPerInch);
  }

  Size textSize(const std::string& text) const override {
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layoutOf(text).get(), &width, &height);
    return {static_cast<double>(width), static_cast<double>(height)};
  }

  Size imageSize(const std::string& image) const override { return imageNamed(image).size; }

  TextLayout layoutOf(const std::string& text) const {
    TextLayout layout(pango_layout_new(context_.get()));
    pango_layout_set_font_description(layout.get(), font_.get());
    pango_layout_set_text(layout.get(), text.c_str(), static_cast<int>(text.size()));
    return layout;
  }

  const Image& imageNamed(const std::string& name) const {
    auto known = images_.find(name);
    if (known != images_.end()) return known->second;
    const std::optional<std::filesystem::path> file = text_.resourceFile(name);
    if (!file) throw std::runtime_error("the image " + name + " is not in the text folder");
    Image image;
    GError* error = nullptr;
    if (isSvg(*file)) {
      image.svg.reset(rsvg_handle_new_from_file(file->string().c_str(), &error));
      if (!image.svg) throw std::runtime_error("cannot read " + file->string() + ": " + takeMessage(error));
      double width = 0, height = 0;
      if (!rsvg_handle_get_intrinsic_size_in_pixels(image.svg.get(), &width, &height))
        throw std::runtime_error(file->string() + " gives no size in pixels");
      image.size = {std::ceil(width), std::ceil(height)};
    } else {
      Pixbuf pixbuf(gdk_pixbuf_new_from_file(file->string().c_str(), &error));
      if (!pixbuf) throw std::runtime_error("cannot read " + file->string() + ": " + takeMessage(error));
      image.bitmap = surfaceOf(pixbuf.get());
      image.size = {static_cast<double>(gdk_pixbuf_get_width(pixbuf.get())),
                    static_cast<double>(gdk_pixbuf_get_height(pixbuf.get()))};
    }
    return images_.emplace(name, std::move(image)).first->second;
  }

 private:
  const TextFolder& text_;
  PangoContextPtr context_;
  FontDescription font_;
  mutable std::map<std::string, Image> images_;
};

void setColour(cairo_t* cr, Colour colour) { cairo_set_source_rgb(cr, colour.red, colour.green, colour.blue); }

double luminance(Colour colour) { return 0.299 * colour.red + 0.587 * colour.green + 0.114 * colour.blue; }

// Readable on its background: dark on light, light on dark; a disabled text is
// a grey that still stands apart from the background.
Colour textOn(Colour background, bool enabled) {
  const bool light = luminance(background) > 0.5;
  if (enabled) return light ? kText : Colour{1, 1, 1};
  const double grey = light ? luminance(background) * 0.55 : luminance(background) + 0.35;
  return {grey, grey, grey};
}

void roundedBox(cairo_t* cr, const Box& box, double radius) {
  // Lines on half pixels cover whole pixels.
  const double x = box.x + 0.5, y = box.y + 0.5, w = box.width - 1, h = box.height - 1;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void fillAndStroke(cairo_t* cr, const Box& box, Colour fill, Colour border) {
  roundedBox(cr, box, 3);
  setColour(cr, fill);
  cairo_fill_preserve(cr);
  setColour(cr, border);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

class Painter {
 public:
  Painter(cairo_t* cr, const CairoPictureMetrics& metrics) : cr_(cr), metrics_(metrics) {}

  void paint(const DialogLayout& layout) {
    setColour(cr_, kWindow);
    cairo_paint(cr_);
    setColour(cr_, kTitleBar);
    cairo_rectangle(cr_, 0, 0, layout.titleBar.width, layout.titleBar.height);
    cairo_fill(cr_);
    setColour(cr_, kRule);
    cairo_move_to(cr_, 0, layout.titleBar.bottom() - 0.5);
    cairo_line_to(cr_, layout.titleBar.width, layout.titleBar.bottom() - 0.5);
    cairo_stroke(cr_);
    text(layout.title, layout.titleText, kText);
    closeControl(layout.closeControl);
    for (const PlacedComponent& component : layout.components) paint(component);
    setColour(cr_, kFrame);
    cairo_rectangle(cr_, 0.5, 0.5, layout.size.width - 1, layout.size.height - 1);
    cairo_stroke(cr_);
  }

 private:
  void paint(const PlacedComponent& component) {
    switch (component.kind) {
      case ComponentKind::Label:
        if (!component.image.empty()) image(component.image, component.imageBox);
        text(component.text, component.textBox, kText);
        break;
      case ComponentKind::PushButton: {
        const Colour fill = component.color ? Colour{(*component.color)[0] / 255.0, (*component.color)[1] / 255.0,
                                                     (*component.color)[2] / 255.0}
                                            : component.enabled ? kButton : kButtonDisabled;
        fillAndStroke(cr_, component.box, fill, kButtonBorder);
        text(component.text, component.textBox, textOn(fill, component.enabled));
        break;
      }
      case ComponentKind::OptionMenu:
        optionMenu(component);
        break;
      case ComponentKind::Layout:
        break;
    }
  }

  void optionMenu(const PlacedComponent& menu) {
    const Colour fill = menu.enabled ? kField : kFieldDisabled;
    fillAndStroke(cr_, menu.box, fill, kFrame);
    text(menu.text, menu.textBox, textOn(fill, menu.enabled));
    // The drop-down arrow at the right end.
    const double centreX = menu.box.right() - 12, centreY = menu.box.y + menu.box.height / 2;
    setColour(cr_, textOn(fill, menu.enabled));
    cairo_move_to(cr_, centreX - 4, centreY - 2);
    cairo_line_to(cr_, centreX + 4, centreY - 2);
    cairo_line_to(cr_, centreX, centreY + 3);
    cairo_close_path(cr_);
    cairo_fill(cr_);
  }

  void closeControl(const Box& box) {
    const double centreX = box.x + box.width / 2, centreY = box.y + box.height / 2;
    setColour(cr_, kText);
    cairo_set_line_width(cr_, 1.2);
    cairo_move_to(cr_, centreX - 5, centreY - 5);
    cairo_line_to(cr_, centreX + 5, centreY + 5);
    cairo_move_to(cr_, centreX + 5, centreY - 5);
    cairo_line_to(cr_, centreX - 5, centreY + 5);
    cairo_stroke(cr_);
    cairo_set_line_width(cr_, 1);
  }

  void text(const std::string& text, const Box& box, Colour colour) {
    if (text.empty()) return;
    TextLayout layout = metrics_.layoutOf(text);
    setColour(cr_, colour);
    cairo_move_to(cr_, box.x, box.y);
    pango_cairo_update_layout(cr_, layout.get());
    pango_cairo_show_layout(cr_, layout.get());
  }

  void image(const std::string& name, const Box& box) {
    const Image& image = metrics_.imageNamed(name);
    if (image.svg) {
      const RsvgRectangle viewport{box.x, box.y, box.width, box.height};
      GError* error = nullptr;
      if (!rsvg_handle_render_document(image.svg.get(), cr_, &viewport, &error))
        throw std::runtime_error("cannot draw " + name + ": " + takeMessage(error));
    } else {
      cairo_set_source_surface(cr_, image.bitmap.get(), box.x, box.y);
      cairo_paint(cr_);
    }
  }

  cairo_t* cr_;
  const CairoPictureMetrics& metrics_;
};

void paintOn(cairo_surface_t* surface, const DialogLayout& layout, const CairoPictureMetrics& metrics) {
  Cairo cr(cairo_create(surface));
  Painter(cr.get(), metrics).paint(layout);
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error(std::string("cannot draw ") + layout.dialog + ": " + cairo_status_to_string(cairo_status(cr.get())));
}

}  // namespace

DialogLayout drawDialogPicture(const DialogView& view, const TextFolder& text, const std::filesystem::path& stem) {
  const CairoPictureMetrics metrics(text);
  const DialogLayout layout = layoutDialog(view, metrics);
  const int width = static_cast<int>(std::ceil(layout.size.width));
  const int height = static_cast<int>(std::ceil(layout.size.height));

  std::filesystem::path png = stem, svg = stem;
  png += ".png";
  svg += ".svg";
  Surface bitmap(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  paintOn(bitmap.get(), layout, metrics);
  checkStatus(cairo_surface_write_to_png(bitmap.get(), png.string().c_str()), png);

  Surface vector(cairo_svg_surface_create(svg.string().c_str(), width, height));
  cairo_svg_surface_set_document_unit(vector.get(), CAIRO_SVG_UNIT_PX);  // the PNG's size, not points
  paintOn(vector.get(), layout, metrics);
  cairo_surface_finish(vector.get());
  checkStatus(cairo_surface_status(vector.get()), svg);
  return layout;
}

}  // namespace creosim
