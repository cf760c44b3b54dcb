// A user's table workbook in LibreOffice Calc: cell cycles per second as an
// observation run drives it (write the four date cells, recalculate, read
// Ptab, the longitude and the latitude). The workbook is made here with
// python3-openpyxl: an "AlKhwarizmi" layout whose places are formulas of the
// date. Also prints the start of the engine and the opening of the workbook.
// Usage: workbook_bench [CYCLES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "observe/workbook_file.h"

// CPU seconds (user + system) of the processes of group `group` and of this
// one, from /proc.
double CpuSeconds(pid_t group) {
  double ticks = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    const std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(e.path() / "stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    std::string f[13];
    for (auto& x : f) rest >> x;
    const long pgrp = std::atol(f[2].c_str());
    if (pgrp != group && std::atol(name.c_str()) != getpid()) continue;
    ticks += std::atof(f[11].c_str()) + std::atof(f[12].c_str());
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

int main(int argc, char** argv) {
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 5000;
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("torvik6-wbbench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path book = dir / "AlKhwarizmi.xlsx";
  {
    std::ofstream py(dir / "make.py");
    py << "import openpyxl, sys\n"
          "wb = openpyxl.Workbook()\n"
          "ws = wb.active\n"
          "for k in range(2, 10): wb.create_sheet('S%d' % k)\n"
          "ws['A1'] = '=D9*365.25+C9*30.6+B9+F9/24'\n"
          "ws['C22'] = '=A1/36525*1.3'\n"
          "ws['C18'] = '=MOD(A1*0.524+5*SIN(RADIANS(A1*0.524-100)),360)'\n"
          "ws['F18'] = '=1.8*SIN(RADIANS(A1*0.524-40))'\n"
          "wb.save(sys.argv[1])\n";
  }
  const std::string cmd = "/usr/bin/python3 " + (dir / "make.py").string() + " " + book.string();
  if (std::system(cmd.c_str()) != 0) {
    std::fprintf(stderr, "workbook_bench: cannot make the workbook (python3-openpyxl)\n");
    return 1;
  }
  torvik::SpreadsheetEngine engine;
  std::string why;
  const auto t0 = std::chrono::steady_clock::now();
  if (!engine.Start(&why)) {
    std::fprintf(stderr, "workbook_bench: %s\n", why.c_str());
    return 1;
  }
  const auto t1 = std::chrono::steady_clock::now();
  auto wb = engine.Open(book, &why);
  if (!wb) {
    std::fprintf(stderr, "workbook_bench: %s\n", why.c_str());
    return 1;
  }
  const auto t2 = std::chrono::steady_clock::now();
  // Batches of 500 cycles: the machine may be shared, so the fastest batch and
  // the median are printed beside the mean.
  double sum = 0;
  torvik::CellValue v;
  std::vector<double> batches;
  const auto r0 = std::chrono::steady_clock::now();
  const double cpu0 = CpuSeconds(engine.pid());
  for (int done = 0; done < cycles;) {
    const auto b0 = std::chrono::steady_clock::now();
    const int n = std::min(500, cycles - done);
    for (int k = 0; k < n; ++k, ++done) {
      wb->SetNumber(1, "D9", 800 + done / 100);
      wb->SetNumber(1, "C9", 1 + done % 12);
      wb->SetNumber(1, "B9", 1 + done % 28);
      wb->SetNumber(1, "F9", 0.5);
      if (!wb->Recalculate()) return 1;
      for (const char* c : {"C22", "C18", "F18"}) {
        if (!wb->Get(1, c, &v)) return 1;
        sum += v.number;
      }
    }
    batches.push_back(n / std::chrono::duration<double>(std::chrono::steady_clock::now() - b0).count());
  }
  const double run = std::chrono::duration<double>(std::chrono::steady_clock::now() - r0).count();
  const double cpu = CpuSeconds(engine.pid()) - cpu0;
  std::sort(batches.begin(), batches.end());
  std::printf("engine start %.2f s, open %.2f s\n", std::chrono::duration<double>(t1 - t0).count(),
              std::chrono::duration<double>(t2 - t1).count());
  std::printf("%d cell cycles in %.2f s: %.0f cycles/s (batches of 500: median %.0f, best %.0f; checksum %.6g)\n",
              cycles, run, cycles / run, batches[batches.size() / 2], batches.back(), sum);
  std::printf("CPU of the office, its launcher and this program: %.2f s, %.0f cycles per CPU second\n", cpu,
              cpu > 0 ? cycles / cpu : 0.0);
  wb.reset();
  engine.Stop();
  fs::remove_all(dir);
  return 0;
}
