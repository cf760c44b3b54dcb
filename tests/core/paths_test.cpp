#include "core/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace torvik {
namespace {

namespace fs = std::filesystem;

TEST(Paths, ResolveRelativePaths) {
  const fs::path root = "/data/Torvik6";
  EXPECT_EQ(ResolvePath(root, "\\Plan0\\Txt1\\Torvik1RasB1.txt"), root / "Plan0" / "Txt1" / "Torvik1RasB1.txt");
  EXPECT_EQ(ResolvePath(root, "\\JPL\\405\\ascp1620.405"), root / "JPL" / "405" / "ascp1620.405");
  EXPECT_EQ(ResolvePath(root, "XYZ/torvik3XYZ1.txt"), root / "XYZ" / "torvik3XYZ1.txt");
  EXPECT_EQ(ResolvePath(root, "\\torvik1.dat"), root / "torvik1.dat");
  EXPECT_EQ(ResolvePath(root, "\\\\Dat\\\\"), root / "Dat");
  EXPECT_EQ(ResolvePath(root, ""), root);
}

TEST(Paths, EnsureProgramFolderCreatesTheTree) {
  const fs::path dir = fs::temp_directory_path() / ("torvik6-paths-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  ASSERT_TRUE(EnsureProgramFolder(dir));
  for (const char* sub : {"Plan0/Txt1", "Plan3/Txt10", "XYZ", "NEW", "APC", "Mox", "JPL/405", "Tab/Plan",
                          "Obs/Plan", "Dat", "Other", "Arhiv"})
    EXPECT_TRUE(fs::is_directory(dir / sub)) << sub;
  std::ofstream(dir / "Dat" / "keep.txt") << "x";
  EXPECT_TRUE(EnsureProgramFolder(dir));  // again: nothing lost
  EXPECT_TRUE(fs::exists(dir / "Dat" / "keep.txt"));
  fs::remove_all(dir / "XYZ");
  std::ofstream(dir / "XYZ") << "a file in the way";
  EXPECT_FALSE(EnsureProgramFolder(dir));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace torvik
