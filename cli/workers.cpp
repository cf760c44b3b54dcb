#include "cli/workers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "cli/run_loop.h"
#include "model/run_view.h"

extern char** environ;

namespace torvik::cli {
namespace {

struct Worker {
  int j = 0;
  pid_t pid = -1;
  int err = -1;        // read end of the worker's stderr
  int out = -1;        // read end of its stdout when kept
  std::string pending;  // a stderr line not yet complete
  std::string last;     // the last line the worker printed
  std::string stdoutText;
  std::chrono::steady_clock::time_point start;
};

// Starts one worker with its stderr on a pipe and its stdout on a second pipe
// or discarded. The worker ends with this process: it gets SIGKILL when its
// parent dies (a killed plan run leaves no orphans writing orbit files).
bool Spawn(const WorkerPlan& plan, int j, Worker* w, std::string* err) {
  int e[2], o[2] = {-1, -1};
  if (pipe2(e, O_CLOEXEC) != 0 || (plan.keepStdout && pipe2(o, O_CLOEXEC) != 0)) {
    *err = std::strerror(errno);
    return false;
  }
  std::vector<std::string> argv = plan.argv(j);
  argv.insert(argv.begin(), "torvik6-cli");
  std::vector<char*> cargv;
  for (auto& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  const pid_t parent = getpid();
  // Only async-signal-safe calls between fork and exec.
  const pid_t pid = fork();
  if (pid == 0) {
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
    if (dup2(e[1], STDERR_FILENO) < 0) _exit(127);
    if (plan.keepStdout) {
      if (dup2(o[1], STDOUT_FILENO) < 0) _exit(127);
    } else {
      const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
      if (null < 0 || dup2(null, STDOUT_FILENO) < 0) _exit(127);
    }
    execve("/proc/self/exe", cargv.data(), environ);
    _exit(127);
  }
  const int forkErr = errno;
  close(e[1]);
  if (o[1] >= 0) close(o[1]);
  if (pid < 0) {
    close(e[0]);
    if (o[0] >= 0) close(o[0]);
    *err = std::strerror(forkErr);
    return false;
  }
  w->pid = pid;
  w->j = j;
  w->err = e[0];
  w->out = o[0];
  w->start = std::chrono::steady_clock::now();
  return true;
}

// Shows the complete lines the worker has written.
void Relay(Worker& w, const char* data, std::size_t n, bool quiet) {
  w.pending.append(data, n);
  std::size_t nl;
  while ((nl = w.pending.find('\n')) != std::string::npos) {
    std::string line = w.pending.substr(0, nl);
    w.pending.erase(0, nl + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    w.last = line;
    if (quiet) continue;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
  }
}

}  // namespace

int CoreCount() {
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return cores > 0 ? static_cast<int>(cores) : 1;
}

bool RunWorkers(const WorkerPlan& plan, std::vector<WorkerResult>* results, double* wallSeconds) {
  const auto t0 = std::chrono::steady_clock::now();
  const int total = plan.to - plan.from + 1;
  std::vector<Worker> running;
  results->clear();
  int next = plan.from, done = 0;
  auto finish = [&](WorkerResult r) {
    ++done;
    if (plan.quiet) {
      results->push_back(std::move(r));
      return;
    }
    const double left = Seconds(t0) * (total - done) / done;
    if (r.failure.empty())
      std::fprintf(stderr, "experiment %d: done in %.1f s; %d of %d done, plan left %s\n", r.j, r.seconds, done,
                   total, DurationText(left).c_str());
    else
      std::fprintf(stderr, "experiment %d: FAILED: %s; %d of %d done, plan left %s\n", r.j, r.failure.c_str(), done,
                   total, DurationText(left).c_str());
    std::fflush(stderr);
    results->push_back(std::move(r));
  };
  bool ok = true;
  while (ok && (next <= plan.to || !running.empty())) {
    while (next <= plan.to && static_cast<int>(running.size()) < plan.jobs) {
      Worker w;
      std::string err;
      if (Spawn(plan, next, &w, &err))
        running.push_back(std::move(w));
      else
        finish({next, "cannot start a worker process: " + err, {}, 0.0});
      ++next;
    }
    if (running.empty()) continue;
    // fds[2i] the stderr, fds[2i + 1] the stdout of worker i (−1 when closed
    // or not kept: poll skips it).
    std::vector<pollfd> fds;
    for (const auto& w : running) {
      fds.push_back(pollfd{w.err, POLLIN, 0});
      fds.push_back(pollfd{w.out, POLLIN, 0});
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "torvik6-cli %s: poll: %s\n", plan.label.c_str(), std::strerror(errno));
      ok = false;
      break;
    }
    for (std::size_t i = running.size(); i-- > 0;) {
      Worker& w = running[i];
      for (int k = 0; k < 2; ++k) {
        const pollfd& p = fds[2 * i + static_cast<std::size_t>(k)];
        if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buf[4096];
        const ssize_t n = read(p.fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) {
          if (k == 0)
            Relay(w, buf, static_cast<std::size_t>(n), plan.quiet);
          else
            w.stdoutText.append(buf, static_cast<std::size_t>(n));
          continue;
        }
        close(p.fd);
        if (k == 0) {
          Relay(w, "\n", 1, plan.quiet);
          w.err = -1;
        } else {
          w.out = -1;
        }
      }
      if (w.err >= 0 || w.out >= 0) continue;
      // Both streams have ended: the worker has ended (or is ending).
      int status = 0;
      while (waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
      }
      std::string failure;
      if (WIFSIGNALED(status))
        failure = "killed by signal " + std::to_string(WTERMSIG(status));
      else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        failure = w.last.empty() ? "exit status " + std::to_string(WEXITSTATUS(status)) : w.last;
      finish({w.j, failure, std::move(w.stdoutText), Seconds(w.start)});
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  // After a failed poll the workers still running are stopped: nothing would
  // read their results.
  for (auto& w : running) {
    kill(w.pid, SIGKILL);
    int status = 0;
    while (waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
    }
    finish({w.j, "stopped: the pool failed", {}, Seconds(w.start)});
  }
  std::sort(results->begin(), results->end(), [](const WorkerResult& a, const WorkerResult& b) { return a.j < b.j; });
  if (wallSeconds) *wallSeconds = Seconds(t0);
  return ok;
}

}  // namespace torvik::cli
