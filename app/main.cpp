// torvik6: the desktop workbench. Usage: torvik6 [FOLDER]  (default ~/Torvik6)
#include <cstdio>
#include <filesystem>

#include "core/model.h"
#include "core/paths.h"

int main(int argc, char** argv) {
  std::filesystem::path folder = argc > 1 ? std::filesystem::path(argv[1]) : torvik::DefaultProgramFolder();
  if (!torvik::EnsureProgramFolder(folder)) {
    std::fprintf(stderr, "torvik6: cannot create the program folder %s\n", folder.string().c_str());
    return 1;
  }
  torvik::Model model;
  torvik::SetConstants(model);
  std::printf("Torvik6 ready, program folder %s\n", folder.string().c_str());
  return 0;
}
