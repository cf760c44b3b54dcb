// Workbooks made by the tests with python3-openpyxl, and the processes of
// the spreadsheet engine that the tests look at.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace torvik::test {

namespace fs = std::filesystem;

// True when LibreOffice Calc with its Python bridge is installed.
inline bool HaveOffice() {
  return fs::exists("/usr/lib/libreoffice/program/soffice.bin") && fs::exists("/usr/bin/python3");
}

// Writes a workbook of `sheets` worksheets named S1, S2, … with openpyxl;
// `cells` is Python code that fills them through S(k)["A1"] = ….
inline void MakeWorkbook(const fs::path& file, int sheets, const std::string& cells) {
  const fs::path script = file.parent_path() / (file.filename().string() + ".py");
  {
    std::ofstream py(script);
    py << "import openpyxl, sys\n"
          "wb = openpyxl.Workbook()\n"
          "wb.active.title = 'S1'\n"
          "for k in range(2, "
       << sheets + 1
       << "): wb.create_sheet('S%d' % k)\n"
          "def S(k): return wb['S%d' % k]\n"
       << cells << "wb.save(sys.argv[1])\n";
  }
  const std::string cmd = "/usr/bin/python3 '" + script.string() + "' '" + file.string() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  fs::remove(script);
}

// The fields of /proc/PID/stat after the command: state, ppid, pgrp.
struct ProcStat {
  pid_t pid = 0;
  char state = 0;
  long ppid = 0, pgrp = 0;
  std::string line;
};
inline std::vector<ProcStat> Processes() {
  std::vector<ProcStat> out;
  for (const auto& e : fs::directory_iterator("/proc")) {
    const std::string name = e.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(e.path() / "stat");
    ProcStat p;
    std::getline(stat, p.line);
    const std::size_t close = p.line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(p.line.substr(close + 2));
    rest >> p.state >> p.ppid >> p.pgrp;
    p.pid = static_cast<pid_t>(std::stol(name));
    out.push_back(p);
  }
  return out;
}

// A living process of the office's group (launcher or office); a zombie left
// to the system's init does not count.
inline bool GroupAlive(pid_t group) {
  for (const ProcStat& p : Processes())
    if (p.pgrp == group && p.state != 'Z') return true;
  return false;
}

// The group ends within two seconds (a process killed a moment ago may still
// be exiting).
inline bool GroupEnds(pid_t group) {
  for (int i = 0; i < 100; ++i) {
    if (!GroupAlive(group)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// The office itself: the child of the launcher.
inline pid_t OfficeOf(pid_t launcher) {
  for (const ProcStat& p : Processes())
    if (p.ppid == launcher && p.line.find("soffice") != std::string::npos) return p.pid;
  return 0;
}

}  // namespace torvik::test
