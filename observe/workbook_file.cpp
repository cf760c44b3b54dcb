#include "observe/workbook_file.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <fstream>
#include <system_error>
#include <thread>
#include <utility>

#include "core/paths.h"

namespace torvik {

namespace {

// The launcher and cell server (observe/workbook_bridge.py).
constexpr const char kBridge[] =
#include "observe/workbook_bridge_py.h"
    ;

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kOffice = "/usr/lib/libreoffice/program/soffice.bin";
constexpr int kStartMs = 90000;  // a new profile: the office starts twice
constexpr int kOpenMs = 60000;
constexpr std::size_t kLongestLine = 1 << 20;
constexpr std::size_t kWatched = 64;  // cells read back with every recalculation

// "C6", "ad61" as the office names it ("AD61"); "" when malformed.
std::string CellName(std::string_view ref) {
  std::string out;
  std::size_t i = 0;
  for (; i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])); ++i)
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(ref[i])));
  const std::size_t letters = i;
  if (letters == 0 || letters > 3 || i == ref.size() || ref[i] == '0' || ref.size() - letters > 7) return {};
  for (; i < ref.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(ref[i]))) return {};
    out += ref[i];
  }
  return out;
}

void AppendNumber(std::string& s, double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  s.append(buf, r.ptr);
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && Hex(s[i + 1]) >= 0 && Hex(s[i + 2]) >= 0) {
      out += static_cast<char>(Hex(s[i + 1]) * 16 + Hex(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

class EngineWorkbook final : public Workbook {
 public:
  EngineWorkbook(SpreadsheetEngine* engine, int sheets) : engine_(engine), sheets_(sheets) {}
  ~EngineWorkbook() override {
    // Closed without saving: the user's file is only read.
    std::string reply;
    if (engine_->Running()) engine_->Request("C", &reply, engine_->requestTimeout());
  }

  int SheetCount() const override { return sheets_; }

  bool SetNumber(int sheet, std::string_view cell, double value) override {
    std::string name = CellName(cell);
    if (sheet < 1 || sheet > sheets_ || name.empty()) return false;
    pending_.push_back({sheet, std::move(name), value});
    cached_ = false;
    return true;
  }

  bool Recalculate() override {
    cached_ = Exchange(watch_, &values_);
    return cached_;
  }

  bool Get(int sheet, std::string_view cell, CellValue* value) const override {
    const std::string name = CellName(cell);
    if (sheet < 1 || sheet > sheets_ || name.empty()) return false;
    if (cached_) {
      for (std::size_t i = 0; i < watch_.size(); ++i)
        if (watch_[i].first == sheet && watch_[i].second == name) {
          *value = values_[i];
          return true;
        }
    }
    std::vector<CellValue> one;
    if (!Exchange({{sheet, name}}, &one)) return false;
    *value = one[0];
    // Read again with the next recalculation (while the cache is not valid
    // its values are replaced then).
    if (watch_.size() < kWatched) {
      watch_.emplace_back(sheet, name);
      if (cached_) values_.push_back(one[0]);
    }
    return true;
  }

 private:
  struct Pending {
    int sheet;
    std::string ref;
    double value;
  };

  // Writes the pending numbers, recalculates and reads `cells`.
  bool Exchange(const std::vector<std::pair<int, std::string>>& cells, std::vector<CellValue>* out) const {
    std::string line = "R " + std::to_string(pending_.size());
    for (const Pending& p : pending_) {
      line += ' ' + std::to_string(p.sheet) + ' ' + p.ref + ' ';
      AppendNumber(line, p.value);
    }
    line += ' ' + std::to_string(cells.size());
    for (const auto& c : cells) line += ' ' + std::to_string(c.first) + ' ' + c.second;
    pending_.clear();
    std::string reply;
    return engine_->Request(line, &reply, engine_->requestTimeout()) && ParseCellsReply(reply, cells.size(), out);
  }

  SpreadsheetEngine* engine_;
  int sheets_;
  mutable std::vector<Pending> pending_;
  mutable std::vector<std::pair<int, std::string>> watch_;
  mutable std::vector<CellValue> values_;
  mutable bool cached_ = false;
};

}  // namespace

std::optional<std::filesystem::path> FindTableWorkbook(const std::filesystem::path& folder,
                                                       std::string_view tableName) {
  if (folder.empty() || tableName.empty()) return std::nullopt;
  for (const char* ext : {".xls", ".xlsx", ".ods"}) {
    std::filesystem::path p = ResolvePath(folder, "\\Tab\\" + std::string(tableName) + ext);
    std::error_code ec;
    if (std::filesystem::is_regular_file(p, ec)) return p;
  }
  return std::nullopt;
}

bool ParseCellToken(std::string_view token, CellValue* value) {
  if (token.empty()) return false;
  const std::string_view rest = token.substr(1);
  CellValue v;
  switch (token[0]) {
    case 'E':
      if (!rest.empty()) return false;
      break;
    case 'N': {
      if (rest.empty()) return false;
      const auto r = std::from_chars(rest.data(), rest.data() + rest.size(), v.number);
      if (r.ec != std::errc() || r.ptr != rest.data() + rest.size()) return false;
      break;
    }
    case 'T':
      v.kind = CellKind::Text;
      v.text = Unescape(rest);
      break;
    case 'X':
      for (char c : rest)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
      v.kind = CellKind::Error;
      break;
    default:
      return false;
  }
  *value = std::move(v);
  return true;
}

bool ParseCellsReply(std::string_view line, std::size_t cells, std::vector<CellValue>* values) {
  if (line.empty() || line[0] != 'K') return false;
  std::vector<CellValue> out;
  std::size_t at = 1;
  while (at < line.size()) {
    if (line[at] != ' ' || out.size() >= cells) return false;
    const std::size_t end = std::min(line.find(' ', at + 1), line.size());
    CellValue v;
    if (!ParseCellToken(line.substr(at + 1, end - at - 1), &v)) return false;
    out.push_back(std::move(v));
    at = end;
  }
  if (out.size() != cells) return false;
  *values = std::move(out);
  return true;
}

SpreadsheetEngine::SpreadsheetEngine() = default;
SpreadsheetEngine::~SpreadsheetEngine() { Stop(); }

bool SpreadsheetEngine::Start(std::string* why) {
  if (Running()) return true;
  auto fail = [&](std::string reason) {
    if (why) *why = std::move(reason);
    return false;
  };
  Stop();
  lost_ = false;
  if (access(kPython, X_OK) != 0) return fail(std::string("no ") + kPython + " (python3-uno)");
  if (access(kOffice, X_OK) != 0) return fail(std::string("no ") + kOffice + " (libreoffice-calc-nogui)");
  std::error_code ec;
  std::string tmpl = (std::filesystem::temp_directory_path(ec) / "torvik6-calc-XXXXXX").string();
  if (ec || !mkdtemp(tmpl.data())) return fail("no temporary folder");
  work_ = tmpl;
  const std::filesystem::path script = work_ / "workbook_bridge.py";
  {
    std::ofstream f(script, std::ios::binary);
    f << kBridge;
    if (!f.flush()) {
      Stop();
      return fail("cannot write " + script.string());
    }
  }
  int sv[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
    Stop();
    return fail("no socket");
  }
  // Everything the child needs is made before the fork.
  const std::string scriptText = script.string(), workText = work_.string();
  const char* argv[] = {kPython, "-I", scriptText.c_str(), kOffice, workText.c_str(), nullptr};
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    dup2(sv[1], 0);
    dup2(sv[1], 1);
    if (null >= 0) dup2(null, 2);
    execv(kPython, const_cast<char* const*>(argv));
    _exit(127);
  }
  if (null >= 0) close(null);
  close(sv[1]);
  if (pid < 0) {
    close(sv[0]);
    Stop();
    return fail("cannot start " + std::string(kPython));
  }
  setpgid(pid, pid);
  pid_ = pid;
  fd_ = sv[0];
  buffer_.clear();
  std::string hello;
  if (!ReadLine(&hello, kStartMs) || hello.rfind("H torvik6-cells ", 0) != 0) {
    const bool refused = hello.rfind("F ", 0) == 0;
    Lose();
    lost_ = false;
    return fail(refused ? Unescape(hello.substr(2)) : "LibreOffice did not start");
  }
  return true;
}

std::unique_ptr<Workbook> SpreadsheetEngine::Open(const std::filesystem::path& file, std::string* why) {
  std::string reply;
  std::error_code ec;
  const std::filesystem::path abs = std::filesystem::absolute(file, ec);
  if (ec || abs.string().find('\n') != std::string::npos) {
    if (why) *why = "bad path";
    return nullptr;
  }
  if (!Start(why)) return nullptr;
  if (!Request("O " + abs.string(), &reply, kOpenMs)) {
    if (why) *why = "LibreOffice does not answer";
    return nullptr;
  }
  int sheets = 0;
  if (reply.rfind("K ", 0) == 0) {
    const std::string_view n = std::string_view(reply).substr(2);
    const auto r = std::from_chars(n.data(), n.data() + n.size(), sheets);
    if (r.ec != std::errc() || r.ptr != n.data() + n.size()) sheets = 0;
  }
  if (sheets <= 0) {
    if (why) *why = reply.rfind("F ", 0) == 0 ? Unescape(reply.substr(2)) : "not a workbook";
    return nullptr;
  }
  return std::make_unique<EngineWorkbook>(this, sheets);
}

bool SpreadsheetEngine::Request(std::string_view line, std::string* reply, int timeoutMs) {
  if (!Running()) return false;
  std::string out(line);
  out += '\n';
  std::size_t sent = 0;
  while (sent < out.size()) {
    const ssize_t n = send(fd_, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Lose();
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return ReadLine(reply, timeoutMs);
}

bool SpreadsheetEngine::ReadLine(std::string* line, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    const std::size_t nl = buffer_.find('\n');
    if (nl != std::string::npos) {
      *line = buffer_.substr(0, nl);
      buffer_.erase(0, nl + 1);
      return true;
    }
    if (buffer_.size() > kLongestLine) break;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd_, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(left));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    char buf[4096];
    const ssize_t n = recv(fd_, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    buffer_.append(buf, static_cast<std::size_t>(n));
  }
  Lose();
  return false;
}

void SpreadsheetEngine::Reap(int waitMs) {
  if (pid_ <= 0) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // The launcher ends after its office; once it is reaped the group's number
  // may belong to someone else and is never signalled again.
  pid_ = 0;
}

void SpreadsheetEngine::Lose() {
  lost_ = true;
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    Reap(2000);
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  std::error_code ec;
  if (!work_.empty()) std::filesystem::remove_all(work_, ec);
  work_.clear();
}

void SpreadsheetEngine::Stop() {
  if (pid_ > 0 && !lost_) {
    const char quit[] = "Q\n";
    if (send(fd_, quit, 2, MSG_NOSIGNAL) == 2) Reap(8000);
  }
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    Reap(2000);
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  buffer_.clear();
  std::error_code ec;
  if (!work_.empty()) std::filesystem::remove_all(work_, ec);
  work_.clear();
}

}  // namespace torvik
