#include "stats/plot_image.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>

namespace torvik {

namespace {

// Lines are clipped to the surface and this margin (pixels) before Cairo sees
// them: its fixed-point coordinates cannot hold a point far outside.
constexpr double kMargin = 4;
// A PDF page is in points: 1 pixel = 0.75 pt, the screen's 96 pixels per inch.
constexpr double kPointsPerPixel = 0.75;

// Clips the segment to [lo, hiX] x [lo, hiY] (Liang–Barsky); false when nothing is left.
bool Clip(double& x0, double& y0, double& x1, double& y1, double lo, double hiX, double hiY) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy}, q[4] = {x0 - lo, hiX - x0, y0 - lo, hiY - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, r);
    else t1 = std::min(t1, r);
    if (t0 > t1) return false;
  }
  x1 = x0 + t1 * dx, y1 = y0 + t1 * dy;
  x0 = x0 + t0 * dx, y0 = y0 + t0 * dy;
  return true;
}

// The text with every byte that does not belong to a well-formed UTF-8
// sequence as "?": Cairo refuses the whole drawing over one bad string.
std::string ValidUtf8(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool ok = n > 0 && i + n <= s.size();
    std::uint32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; ok && k < n; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      ok = (d >> 6) == 0x2;
      cp = (cp << 6) | (d & 0x3F);
    }
    // No overlong forms, surrogates or code points beyond U+10FFFF.
    static constexpr std::uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= kLeast[n] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (ok) out.append(s, i, n), i += n;
    else out += '?', ++i;
  }
  return out;
}

// Consecutive items of one colour and one way of inking (stroke or fill) go
// into one path: far fewer elements in an SVG or PDF, and crossing segments of
// one line do not darken each other in the raster.
class Painter {
 public:
  Painter(cairo_t* cr, double w, double h) : cr_(cr), w_(w), h_(h) {}
  ~Painter() { Flush(); }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void Use(Rgb c, bool fill) {
    if (open_ && c == colour_ && fill == fill_) return;
    Flush();
    colour_ = c, fill_ = fill, open_ = true;
    cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0);
  }
  void Flush() {
    if (!open_) return;
    if (fill_) cairo_fill(cr_);
    else cairo_stroke(cr_);
    open_ = false;
  }

  // Strokes of width 1 run through the pixel centres, as the screen's
  // aliased pen sets the pixel under a whole coordinate; a vertical or
  // horizontal line keeps to one column or row of pixels (as on the screen)
  // instead of greying two.
  void Line(double x0, double y0, double x1, double y1, Rgb c) {
    if (!Clip(x0, y0, x1, y1, -kMargin, w_ + kMargin, h_ + kMargin)) return;
    if (x0 == x1) x0 = x1 = std::floor(x0);
    if (y0 == y1) y0 = y1 = std::floor(y0);
    Use(c, false);
    cairo_move_to(cr_, x0 + 0.5, y0 + 0.5);
    cairo_line_to(cr_, x1 + 0.5, y1 + 0.5);
  }
  // The one pixel under the point.
  void Dot(double x, double y, Rgb c) {
    if (!(x >= 0 && y >= 0 && x < w_ && y < h_)) return;
    Use(c, true);
    cairo_rectangle(cr_, std::floor(x), std::floor(y), 1, 1);
  }
  void Circle(double x, double y, double r, Rgb c) {
    if (!(r >= 0 && r < kMaxDrawingPixels) || x + r < -kMargin || y + r < -kMargin || x - r > w_ + kMargin ||
        y - r > h_ + kMargin)
      return;
    Use(c, false);
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + 0.5, y + 0.5, r, 0, 2 * M_PI);
  }
  // The text with its upper-left corner at (x, y).
  void Text(double x, double y, const std::string& text, Rgb c, double ascent) {
    if (text.empty() || y > h_ || y < -4 * kPlotFontPixels || x > w_ || x < -kMaxDrawingPixels) return;
    Flush();
    cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    cairo_move_to(cr_, x, y + ascent);
    cairo_show_text(cr_, ValidUtf8(text).c_str());
    cairo_new_path(cr_);
  }

 private:
  cairo_t* cr_;
  double w_, h_;
  Rgb colour_;
  bool fill_ = false, open_ = false;
};

// The one drawing routine of every format: the plot on a white ground of w x h
// pixels, pixel (0, 0) in the upper-left corner.
void Draw(cairo_t* cr, const Plot& plot, PlotScale scale, double w, double h) {
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_clip(cr);
  cairo_set_line_width(cr, 1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kPlotFontPixels);
  cairo_font_extents_t font;
  cairo_font_extents(cr, &font);
  const double H = plot.H;
  Painter p(cr, w, h);
  for (const PlotItem& it : plot.items) {
    const double x1 = it.x1 * scale.x, y1 = (H - it.y1) * scale.y;
    const double x2 = it.x2 * scale.x, y2 = (H - it.y2) * scale.y;
    if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2))) continue;
    switch (it.kind) {
      case PlotItem::Kind::Line: p.Line(x1, y1, x2, y2, it.colour); break;
      case PlotItem::Kind::Dot: p.Dot(x1, y1, it.colour); break;
      case PlotItem::Kind::Circle: p.Circle(x1, y1, it.r * scale.x, it.colour); break;
      case PlotItem::Kind::Text: p.Text(x1, y1, it.text, it.colour, font.ascent); break;
    }
  }
}

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

struct SurfaceFree {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceFree>;

bool Failed(cairo_status_t status, std::string* error) {
  if (status == CAIRO_STATUS_SUCCESS) return false;
  *error = std::string("Cairo: ") + cairo_status_to_string(status);
  return true;
}

// Draws onto the surface and finishes it; false with the reason when Cairo failed.
bool DrawOn(cairo_surface_t* surface, const Plot& plot, PlotScale scale, double w, double h, double zoom,
            std::string* error) {
  if (Failed(cairo_surface_status(surface), error)) return false;
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, zoom, zoom);
  Draw(cr, plot, scale, w, h);
  const cairo_status_t drawn = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return !Failed(drawn, error);
}

}  // namespace

std::optional<ImageFormat> ImageFormatOf(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".png") return ImageFormat::Png;
  if (ext == ".svg") return ImageFormat::Svg;
  if (ext == ".pdf") return ImageFormat::Pdf;
  return std::nullopt;
}

std::optional<std::string> PlotImageBytes(const Plot& plot, ImageFormat format, PlotScale scale, std::string* error) {
  const double w = std::ceil(plot.W * scale.x), h = std::ceil(plot.H * scale.y);
  const double most = format == ImageFormat::Png ? kMaxImagePixels : kMaxDrawingPixels;
  if (!(w >= 1 && h >= 1 && w <= most && h <= most)) {
    *error = format == ImageFormat::Png ? "the plot is too large for a PNG; write an .svg or a .pdf"
                                        : "the plot is too large for a drawing";
    return std::nullopt;
  }
  std::string bytes;
  switch (format) {
    case ImageFormat::Png: {
      Surface s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(w), static_cast<int>(h)));
      if (!DrawOn(s.get(), plot, scale, w, h, 1, error)) return std::nullopt;
      if (Failed(cairo_surface_write_to_png_stream(s.get(), Append, &bytes), error)) return std::nullopt;
      break;
    }
    case ImageFormat::Svg: {
      Surface s(cairo_svg_surface_create_for_stream(Append, &bytes, w, h));
      if (cairo_surface_status(s.get()) == CAIRO_STATUS_SUCCESS)
        cairo_svg_surface_set_document_unit(s.get(), CAIRO_SVG_UNIT_PX);
      if (!DrawOn(s.get(), plot, scale, w, h, 1, error)) return std::nullopt;
      cairo_surface_finish(s.get());
      if (Failed(cairo_surface_status(s.get()), error)) return std::nullopt;
      break;
    }
    case ImageFormat::Pdf: {
      Surface s(cairo_pdf_surface_create_for_stream(Append, &bytes, w * kPointsPerPixel, h * kPointsPerPixel));
      if (cairo_surface_status(s.get()) == CAIRO_STATUS_SUCCESS)
        cairo_pdf_surface_set_metadata(s.get(), CAIRO_PDF_METADATA_CREATOR, "Torvik6");
      if (!DrawOn(s.get(), plot, scale, w, h, kPointsPerPixel, error)) return std::nullopt;
      cairo_surface_finish(s.get());
      if (Failed(cairo_surface_status(s.get()), error)) return std::nullopt;
      break;
    }
  }
  return bytes;
}

bool WritePlotImage(const Plot& plot, const std::filesystem::path& file, std::string* error, PlotScale scale) {
  const auto format = ImageFormatOf(file);
  if (!format) {
    *error = file.string() + ": the name does not end in .png, .svg or .pdf";
    return false;
  }
  const auto bytes = PlotImageBytes(plot, *format, scale, error);
  if (!bytes) return false;
  std::filesystem::path tmp = file;
  tmp += ".tmp~";
  std::error_code ec;
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    out.close();
    if (!out) {
      std::filesystem::remove(tmp, ec);
      *error = "cannot write " + file.string();
      return false;
    }
  }
  std::filesystem::rename(tmp, file, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    *error = "cannot write " + file.string();
    return false;
  }
  return true;
}

}  // namespace torvik
