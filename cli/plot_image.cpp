#include "cli/plot_image.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace torvik::cli {

namespace {

constexpr double kPx = kPlotPixelsPerCm;
constexpr int kFontPixels = 12;  // about the 9-point font of the screens
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// ---------------------------------------------------------------------------
// Raster.

struct Raster {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgb;
  Raster(int width, int height) : w(width), h(height), rgb(static_cast<std::size_t>(width) * height * 3, 255) {}
  void Set(int x, int y, Rgb c, double alpha = 1.0) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    auto* p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
    const std::uint8_t src[3] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) p[i] = static_cast<std::uint8_t>(std::lround(p[i] + (src[i] - p[i]) * alpha));
  }
};

// Clips the segment to the rectangle [lo, hi]² (Liang–Barsky); false when nothing is left.
bool Clip(double& x0, double& y0, double& x1, double& y1, double w, double h) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy}, q[4] = {x0 + 1, w - x0, y0 + 1, h - y0};
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

void Line(Raster& r, double x0, double y0, double x1, double y1, Rgb c) {
  if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) return;
  if (!Clip(x0, y0, x1, y1, r.w, r.h)) return;
  int ax = static_cast<int>(std::floor(x0)), ay = static_cast<int>(std::floor(y0));
  const int bx = static_cast<int>(std::floor(x1)), by = static_cast<int>(std::floor(y1));
  const int dx = std::abs(bx - ax), dy = -std::abs(by - ay), sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
  int err = dx + dy;
  while (true) {
    r.Set(ax, ay, c);
    if (ax == bx && ay == by) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, ax += sx;
    if (e2 <= dx) err += dx, ay += sy;
  }
}

void Circle(Raster& r, double cx, double cy, double radius, Rgb c) {
  if (!(std::isfinite(cx) && std::isfinite(cy)) || cx < -radius - 1 || cy < -radius - 1 || cx > r.w + radius ||
      cy > r.h + radius)
    return;
  const int n = std::max(8, static_cast<int>(radius * 8));
  for (int i = 0; i < n; ++i) {
    const double a0 = 2 * M_PI * i / n, a1 = 2 * M_PI * (i + 1) / n;
    Line(r, cx + radius * std::cos(a0), cy + radius * std::sin(a0), cx + radius * std::cos(a1),
         cy + radius * std::sin(a1), c);
  }
}

// UTF-8 to code points.
std::vector<char32_t> CodePoints(const std::string& s) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    ++i;
    for (; extra > 0 && i < s.size(); --extra, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    out.push_back(cp);
  }
  return out;
}

class Font {
 public:
  Font() {
    if (FT_Init_FreeType(&lib_)) return;
    if (FT_New_Face(lib_, kFontFile, 0, &face_)) face_ = nullptr;
    else FT_Set_Pixel_Sizes(face_, 0, kFontPixels);
  }
  ~Font() {
    if (face_) FT_Done_Face(face_);
    if (lib_) FT_Done_FreeType(lib_);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // The text with its upper-left corner at (x, y) pixels.
  void Draw(Raster& r, double x, double y, const std::string& text, Rgb c) {
    if (!face_ || !std::isfinite(x) || !std::isfinite(y) || y > r.h || y < -kFontPixels * 2 || x > r.w) return;
    int penX = static_cast<int>(std::lround(x));
    const int baseline = static_cast<int>(std::lround(y)) + static_cast<int>(face_->size->metrics.ascender >> 6);
    for (char32_t cp : CodePoints(text)) {
      if (FT_Load_Char(face_, cp, FT_LOAD_RENDER)) continue;
      const FT_GlyphSlot g = face_->glyph;
      for (unsigned row = 0; row < g->bitmap.rows; ++row)
        for (unsigned col = 0; col < g->bitmap.width; ++col) {
          const unsigned char a = g->bitmap.buffer[row * static_cast<unsigned>(g->bitmap.pitch) + col];
          if (a) r.Set(penX + g->bitmap_left + static_cast<int>(col), baseline - g->bitmap_top + static_cast<int>(row), c, a / 255.0);
        }
      penX += static_cast<int>(g->advance.x >> 6);
      if (penX > r.w) break;
    }
  }

 private:
  FT_Library lib_ = nullptr;
  FT_Face face_ = nullptr;
};

// ---------------------------------------------------------------------------
// PNG: 8-bit RGB, the zlib stream in stored (uncompressed) deflate blocks.

std::uint32_t Crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32(out, Crc32(&out[start], out.size() - start));
}

std::vector<std::uint8_t> Png(const Raster& r) {
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(r.h) * (r.w * 3 + 1));
  for (int y = 0; y < r.h; ++y) {
    raw.push_back(0);  // filter: none
    const auto* row = &r.rgb[static_cast<std::size_t>(y) * r.w * 3];
    raw.insert(raw.end(), row, row + r.w * 3);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;  // Adler-32
  for (std::uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n)), z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n)), z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    if (raw.empty()) break;
  }
  Put32(z, (b << 16) | a);
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  Put32(ihdr, static_cast<std::uint32_t>(r.w));
  Put32(ihdr, static_cast<std::uint32_t>(r.h));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(out, "IHDR", ihdr);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

// ---------------------------------------------------------------------------

std::string Hex(Rgb c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
  return buf;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

std::string Svg(const Plot& plot) {
  const double w = plot.W * kPx, h = plot.H * kPx;
  auto X = [&](double x) { return x * kPx; };
  auto Y = [&](double y) { return (plot.H - y) * kPx; };
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" font-family=\"DejaVu Sans\" "
                "font-size=\"%d\">\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
                w, h, kFontPixels);
  std::string out = buf;
  for (const PlotItem& it : plot.items) {
    if (!(std::isfinite(it.x1) && std::isfinite(it.y1) && std::isfinite(it.x2) && std::isfinite(it.y2))) continue;
    switch (it.kind) {
      case PlotItem::Kind::Line:
        std::snprintf(buf, sizeof buf, "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\"/>\n",
                      X(it.x1), Y(it.y1), X(it.x2), Y(it.y2), Hex(it.colour).c_str());
        break;
      case PlotItem::Kind::Dot:
        std::snprintf(buf, sizeof buf, "<rect x=\"%.2f\" y=\"%.2f\" width=\"1\" height=\"1\" fill=\"%s\"/>\n",
                      X(it.x1), Y(it.y1), Hex(it.colour).c_str());
        break;
      case PlotItem::Kind::Circle:
        std::snprintf(buf, sizeof buf, "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%.2f\" fill=\"none\" stroke=\"%s\"/>\n",
                      X(it.x1), Y(it.y1), it.r * kPx, Hex(it.colour).c_str());
        break;
      case PlotItem::Kind::Text:
        std::snprintf(buf, sizeof buf, "<text x=\"%.2f\" y=\"%.2f\" dominant-baseline=\"hanging\" fill=\"%s\" "
                      "xml:space=\"preserve\">", X(it.x1), Y(it.y1), Hex(it.colour).c_str());
        out += buf;
        out += Escape(it.text) + "</text>\n";
        continue;
    }
    out += buf;
  }
  return out + "</svg>\n";
}

}  // namespace

bool WritePlotImage(const Plot& plot, const std::filesystem::path& file, std::string* error) {
  std::string bytes;
  const std::string ext = file.extension().string();
  if (ext == ".svg" || ext == ".SVG") {
    bytes = Svg(plot);
  } else {
    const double w = std::ceil(plot.W * kPx), h = std::ceil(plot.H * kPx);
    if (!(w >= 1 && h >= 1 && w <= kMaxImagePixels && h <= kMaxImagePixels)) {
      *error = "the plot is too large for a PNG; write an .svg";
      return false;
    }
    Raster r(static_cast<int>(w), static_cast<int>(h));
    Font font;
    for (const PlotItem& it : plot.items) {
      const double x1 = it.x1 * kPx, y1 = (plot.H - it.y1) * kPx;
      switch (it.kind) {
        case PlotItem::Kind::Line: Line(r, x1, y1, it.x2 * kPx, (plot.H - it.y2) * kPx, it.colour); break;
        case PlotItem::Kind::Dot:
          if (std::isfinite(x1) && std::isfinite(y1) && std::fabs(x1) < 1e9 && std::fabs(y1) < 1e9)
            r.Set(static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)), it.colour);
          break;
        case PlotItem::Kind::Circle: Circle(r, x1, y1, it.r * kPx, it.colour); break;
        case PlotItem::Kind::Text: font.Draw(r, x1, y1, it.text, it.colour); break;
      }
    }
    const auto png = Png(r);
    bytes.assign(png.begin(), png.end());
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + file.string();
    return false;
  }
  return true;
}

}  // namespace torvik::cli
