// The statistics plot written to a file, for looking at a fit without the
// program: an SVG drawing, or a PNG raster at the screen's 24.9 pixels per
// plot centimetre with the texts set in DejaVu Sans (FreeType).
#pragma once

#include <filesystem>
#include <string>

#include "stats/plot.h"

namespace torvik::cli {

// Writes the plot as SVG when the name ends in ".svg", else as PNG. False with
// a reason in *error when the file cannot be written (or the PNG would pass
// kMaxImagePixels on a side).
bool WritePlotImage(const Plot& plot, const std::filesystem::path& file, std::string* error);

inline constexpr int kMaxImagePixels = 8192;

}  // namespace torvik::cli
