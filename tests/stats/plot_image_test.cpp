// Plot images through Cairo: the format by the extension, the three formats'
// headers and sizes, plots too large or with absurd coordinates, the file
// replaced only when written whole, and the size of the 400-year Mercury PNG.
#include "stats/plot_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <tuple>

#include "core/model.h"
#include "fixture.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

using test::ReadBytes;
using test::TempFolder;

std::uint32_t Be32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

Plot SmallPlot() {
  Plot p;
  p.Size(10, 4);
  p.Grid();
  p.Line(1, 1, 9, 3, kPlotRed);
  p.Dot(5, 2, Rgb{0, 0, 200});
  p.Circle(3, 3, 0.2, kColourOne);
  p.Text(2, 3.5, "dAlfa100 = 529.6 «Коперник»");
  return p;
}

TEST(PlotImage, TheFormatComesFromTheExtension) {
  const std::pair<const char*, std::optional<ImageFormat>> cases[] = {
      {"a.png", ImageFormat::Png}, {"dir.x/a.PNG", ImageFormat::Png}, {"a.svg", ImageFormat::Svg},
      {"a.Pdf", ImageFormat::Pdf}, {"a.jpg", std::nullopt},           {"png", std::nullopt},
      {"a.png.txt", std::nullopt}, {"", std::nullopt}};
  for (const auto& [name, want] : cases) EXPECT_EQ(ImageFormatOf(name), want) << name;
}

TEST(PlotImage, EachFormatHasItsHeaderAndTheSizeOfTheScale) {
  const Plot p = SmallPlot();
  std::string error;
  // 10 x 4 plot cm at 24.9 px: 249 x 100 pixels; at 27 x 28.4: 270 x 114.
  for (auto [scale, w, h] : {std::tuple{PlotScale{}, 249u, 100u}, std::tuple{PlotScale{27, 28.4}, 270u, 114u}}) {
    const auto png = PlotImageBytes(p, ImageFormat::Png, scale, &error);
    ASSERT_TRUE(png) << error;
    EXPECT_EQ(png->substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png->substr(12, 4), "IHDR");
    EXPECT_EQ(Be32(*png, 16), w);
    EXPECT_EQ(Be32(*png, 20), h);
    EXPECT_NE(png->find("IDAT"), std::string::npos);
    EXPECT_EQ(png->substr(png->size() - 8, 4), "IEND");

    const auto svg = PlotImageBytes(p, ImageFormat::Svg, scale, &error);
    ASSERT_TRUE(svg) << error;
    EXPECT_EQ(svg->rfind("<?xml", 0), 0u);
    EXPECT_NE(svg->find("width=\"" + std::to_string(w) + "px\" height=\"" + std::to_string(h) + "px\""),
              std::string::npos);
    EXPECT_NE(svg->find("</svg>"), std::string::npos);

    const auto pdf = PlotImageBytes(p, ImageFormat::Pdf, scale, &error);
    ASSERT_TRUE(pdf) << error;
    EXPECT_EQ(pdf->rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf->find("%%EOF"), std::string::npos);
    // The page at 96 pixels per inch: 0.75 pt a pixel.
    char box[64];
    std::snprintf(box, sizeof box, "/MediaBox [ 0 0 %g %g ]", w * 0.75, h * 0.75);
    EXPECT_NE(pdf->find(box), std::string::npos) << box;
  }
}

TEST(PlotImage, TooLargeOrEmptyPlotsAreRefusedAbsurdItemsSkipped) {
  std::string error;
  Plot p;
  p.Size(kMaxImagePixels / kPlotPixelsPerCm + 1, 2);
  EXPECT_FALSE(PlotImageBytes(p, ImageFormat::Png, {}, &error));
  EXPECT_NE(error.find("too large for a PNG"), std::string::npos);
  EXPECT_TRUE(PlotImageBytes(p, ImageFormat::Svg, {}, &error)) << error;
  p.Size(0, 2);
  for (ImageFormat f : {ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pdf}) EXPECT_FALSE(PlotImageBytes(p, f, {}, &error));
  p.Size(1e7, 2);
  EXPECT_FALSE(PlotImageBytes(p, ImageFormat::Pdf, {}, &error));

  // Points far outside or not finite (a tiny scale) are left out or clipped;
  // the lines still cross the surface.
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  p = Plot{};
  p.Size(4, 4);
  p.Line(-1e300, 2, 1e300, 2, kPlotRed);
  p.Line(-1e12, -1e12, 1e12, 1e12, kPlotRed);
  p.Line(nan, 0, 1, 1, kPlotRed);
  p.Dot(inf, 1, kPlotRed);
  p.Dot(1e200, -1e200, kPlotRed);
  p.Circle(2, 2, 1e200, kPlotRed);
  p.Circle(1e15, 2, 1, kPlotRed);
  p.Text(-1e300, 2, "x");
  p.Text(2, nan, "x");
  p.Text(1, 3, "\xff\xc3 \xe2\x80 \xc0\xaf \xed\xa0\x80 end\xf0");  // not UTF-8: shown as "?"
  for (ImageFormat f : {ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pdf})
    EXPECT_TRUE(PlotImageBytes(p, f, {}, &error)) << error;
}

TEST(PlotImage, TheFileIsReplacedOnlyByAWholeImage) {
  TempFolder folder("plot_image");
  const Plot p = SmallPlot();
  std::string error;
  const auto file = folder.path / "fit.pdf";
  ASSERT_TRUE(WritePlotImage(p, file, &error)) << error;
  EXPECT_EQ(ReadBytes(file), *PlotImageBytes(p, ImageFormat::Pdf, {}, &error));
  // A plot too large for a PNG leaves the old file as it was.
  std::ofstream(folder.path / "fit.png") << "old";
  Plot big;
  big.Size(1000, 1000);
  EXPECT_FALSE(WritePlotImage(big, folder.path / "fit.png", &error));
  EXPECT_EQ(ReadBytes(folder.path / "fit.png"), "old");
  ASSERT_TRUE(WritePlotImage(p, folder.path / "fit.png", &error)) << error;
  EXPECT_EQ(ReadBytes(folder.path / "fit.png").substr(1, 3), "PNG");
  EXPECT_FALSE(test::fs::exists(folder.path / "fit.png.tmp~"));

  EXPECT_FALSE(WritePlotImage(p, folder.path / "fit.gif", &error));
  EXPECT_NE(error.find(".png, .svg or .pdf"), std::string::npos);
  EXPECT_FALSE(test::fs::exists(folder.path / "fit.gif"));
  EXPECT_FALSE(WritePlotImage(p, folder.path / "none" / "fit.svg", &error));
  EXPECT_NE(error.find("cannot write"), std::string::npos);
}

// The perihelion fit of 400 years of Mercury in groups of 50, as
// `torvik6-cli drift FILE --element 1 --group 50 --plot fit.png` draws it: the
// PNG writer of stored deflate blocks made 388243 bytes of it.
TEST(PlotImage, TheMercuryDriftPlotIsANinthOfTheUncompressedPng) {
  Model m;
  SetConstants(m);
  Statistics st(Statistics::ModelColours(m), ".");
  StatsInputs in;
  in.p = 1;
  in.NCP = 50;
  const auto file = test::MercuryFile().string();
  StatsOutcome o = st.LoadRunFileAt(file, file, DataKind::PlanRun, in);
  ASSERT_FALSE(o.message);
  in.IStart = 1, in.IEnd = *o.fields.IEnd, in.T0 = *o.fields.T0;
  o = st.ProcessData(in);
  ASSERT_FALSE(o.message);
  std::string error;
  const auto png = PlotImageBytes(st.plot(), ImageFormat::Png, {}, &error);
  ASSERT_TRUE(png) << error;
  EXPECT_EQ(Be32(*png, 16), 739u);
  EXPECT_EQ(Be32(*png, 20), 175u);
  EXPECT_LE(png->size(), 388243u / 9);  // the fit line set on two lines clear of the points
}

}  // namespace
}  // namespace torvik
