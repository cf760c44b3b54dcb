// The DE405 reader on any bytes as the file ascp1980.405 of a program folder:
// a search and a run of daily steps through it either fail with their message
// or give finite positions.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/model.h"
#include "model/de405.h"

namespace {

// One folder per process, with the file rewritten for every input.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto p = std::filesystem::temp_directory_path() / ("torvik6-fuzz-de405-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p / "JPL" / "405");
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(Folder(), ec);
    });
    return p;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvik;
  {
    std::ofstream out(Folder() / "JPL" / "ascp1980.405", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  static Model m = [] {
    Model x;
    SetConstants(x);
    return x;
  }();
  // Dates in the last records of the file (the seeds hold records 228..230).
  for (double start : {2451480.0, 2451530.0}) {
    De405Reader reader;
    if (reader.Locate(Folder(), start)) continue;
    for (double jd = start; jd < start + 100; jd += 1.0) {
      if (reader.Evaluate(m, 3, jd)) break;
      for (int k : {0, 3})
        if (!std::isfinite(m.X[k]) || !std::isfinite(m.Y[k]) || !std::isfinite(m.Z[k])) std::abort();
    }
  }
  return 0;
}
