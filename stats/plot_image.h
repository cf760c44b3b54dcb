// A plot written to an image file through Cairo, for looking at a fit or a run
// without the program: one drawing routine for a PNG raster (antialiased,
// compressed), an SVG and a PDF drawing, the picture the screen paints from
// the same Plot. Texts are set in DejaVu Sans by Cairo's own font handling.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "stats/plot.h"

namespace torvik {

enum class ImageFormat : std::uint8_t { Png, Svg, Pdf };

// The format the file name asks for: ".png", ".svg" or ".pdf" (any case);
// std::nullopt for any other name.
std::optional<ImageFormat> ImageFormatOf(const std::filesystem::path& file);

// The text of a plot is kPlotFontPixels high (stats/plot.h).
// The largest side of a PNG in pixels, and of an SVG or PDF drawing.
inline constexpr int kMaxImagePixels = 8192;
inline constexpr double kMaxDrawingPixels = 1e6;

// The image of the plot at `scale` pixels per plot unit: ceil(W·x) by ceil(H·y)
// pixels on a white ground, y upward. std::nullopt with the reason in *error
// when the plot is too large for the format or Cairo fails.
std::optional<std::string> PlotImageBytes(const Plot& plot, ImageFormat format, PlotScale scale,
                                          std::string* error);

// Writes the image in the format the file's extension asks for; the file is
// written beside the target and renamed over it. False with the reason in
// *error when the name has no known extension, the plot is too large or the
// file cannot be written.
bool WritePlotImage(const Plot& plot, const std::filesystem::path& file, std::string* error, PlotScale scale = {});

}  // namespace torvik
