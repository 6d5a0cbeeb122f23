// startup_watch: starts a program and watches it from outside, as a user at the screen would,
// for tools/bench_startup.sh. The program does not time itself.
//
//   startup_watch --size WxH [--voices FOLDER] [--server PID] [--timeout S] [--end-at-window]
//                 -- COMMAND [ARGS...]
//
// From the moment just before COMMAND is started it measures:
// - window: until a top-level window of the X server (no window manager: Wine's windows are
//   children of the root) of exactly W x H pixels is mapped, that is viewable;
// - voice: until the first read of a "*.wav" file in FOLDER (inotify IN_ACCESS). Only a player
//   reads a WAV: the decoder writes it, the existence test and the deletion read nothing;
// - wav: until the first "*.wav" is created in FOLDER (the decoding of a clip begins);
// - at the window and at the voice, besides the wall time: the CPU time that the process has
//   had so far and the time its threads waited for a CPU (/proc/PID/task/*/schedstat, in ns),
//   and the CPU time that the process PID of --server (the prefix's wineserver) has had since
//   the start. On a machine that other work keeps busy, the wall time mostly grows by waiting;
//   the CPU times tell the work itself;
// - at both moments too, the process's minor page faults so far (first touches of new pages);
// - memory: the peak resident set (VmHWM) and the largest anonymous resident set (RssAnon) of
//   the Windows program, sampled from /proc/PID/status every 2 ms while it runs. `wine` runs
//   the program in the process it was started as (script and loader exec it), so the process
//   counts once its command line names a ".exe", and the peak resident set that the kernel
//   reports when it ends (ru_maxrss) is printed too.
// It waits for COMMAND to end (killing it after the timeout, or as soon as the window is there
// with --end-at-window, so that a profiler run with it sees the start alone) and prints one line:
//   window_ms=F window_cpu_ms=F window_wait_ms=F window_server_ms=F window_faults=N voice_ms=F
//   voice_cpu_ms=F voice_wait_ms=F voice_server_ms=F voice_faults=N wav_ms=F hwm_kb=N anon_kb=N
//   maxrss_kb=N status=N
// where a moment that never came is "-".
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>

namespace {

double NowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

bool EndsWithWav(const char* name) {
  const size_t n = std::strlen(name);
  return n >= 4 && strcasecmp(name + n - 4, ".wav") == 0;
}

struct Options {
  int width = 0, height = 0;
  std::string voices;
  pid_t server = 0;
  bool endAtWindow = false;
  double timeoutMs = 120000;
  char** command = nullptr;
};

[[noreturn]] void Usage() {
  std::fprintf(stderr, "usage: startup_watch --size WxH [--voices FOLDER] [--server PID] [--timeout S] [--end-at-window] -- COMMAND [ARGS...]\n");
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") {
      if (i + 1 < argc) o.command = argv + i + 1;
      break;
    }
    if (a == "--end-at-window") {
      o.endAtWindow = true;
      continue;
    }
    if (i + 1 >= argc) Usage();
    if (a == "--size" && std::sscanf(argv[i + 1], "%dx%d", &o.width, &o.height) == 2) ++i;
    else if (a == "--voices") o.voices = argv[++i];
    else if (a == "--server") o.server = static_cast<pid_t>(std::atol(argv[++i]));
    else if (a == "--timeout") o.timeoutMs = std::atof(argv[++i]) * 1e3;
    else Usage();
  }
  if (!o.command || o.width <= 0 || o.height <= 0) Usage();
  return o;
}

// The X windows of the root and whether one of the wanted size is mapped.
class WindowWatch {
 public:
  WindowWatch(int width, int height) : width_(width), height_(height) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
      std::fprintf(stderr, "startup_watch: cannot open the X display\n");
      std::exit(1);
    }
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
  }
  ~WindowWatch() { XCloseDisplay(display_); }
  int Fd() const { return ConnectionNumber(display_); }

  // Handles the pending events; true once a window of the size is mapped.
  bool Poll() {
    while (XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
      switch (e.type) {
        case CreateNotify: Track(e.xcreatewindow.window).Size(e.xcreatewindow.width, e.xcreatewindow.height); break;
        case ConfigureNotify: Track(e.xconfigure.window).Size(e.xconfigure.width, e.xconfigure.height); break;
        case MapNotify: Track(e.xmap.window).mapped = true; break;
        case UnmapNotify: Track(e.xunmap.window).mapped = false; break;
        case DestroyNotify: windows_.erase(e.xdestroywindow.window); break;
      }
    }
    for (const auto& [id, w] : windows_)
      if (w.mapped && w.width == width_ && w.height == height_) return true;
    return false;
  }

 private:
  struct Known {
    int width = 0, height = 0;
    bool mapped = false;
    void Size(int w, int h) { width = w, height = h; }
  };
  Known& Track(Window w) { return windows_[w]; }

  Display* display_;
  int width_, height_;
  std::map<Window, Known> windows_;
};

// The first creation and the first read of a WAV file in a folder.
class VoiceWatch {
 public:
  explicit VoiceWatch(const std::string& folder) {
    if (folder.empty()) return;
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0 || inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_ACCESS) < 0) {
      std::fprintf(stderr, "startup_watch: cannot watch %s: %s\n", folder.c_str(), std::strerror(errno));
      std::exit(1);
    }
  }
  ~VoiceWatch() {
    if (fd_ >= 0) close(fd_);
  }
  int Fd() const { return fd_; }

  void Poll(double now, double& created, double& read) {
    if (fd_ < 0) return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) return;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        if (e->len > 0 && EndsWithWav(e->name)) {
          if ((e->mask & IN_CREATE) && created < 0) created = now;
          if ((e->mask & IN_ACCESS) && read < 0) read = now;
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      }
    }
  }

 private:
  int fd_ = -1;
};

// A field of /proc/PID/status in kB, or -1.
long StatusKb(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  const size_t n = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1);
  return -1;
}

// True once the process runs a Windows program: Wine gives it the program's command line, whose
// first word ends in ".exe". Before that it is still the `wine` script or loader.
bool RunsWindowsProgram(pid_t pid) {
  std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
  std::string first;
  std::getline(cmdline, first, '\0');
  return first.size() >= 4 && strcasecmp(first.c_str() + first.size() - 4, ".exe") == 0;
}

// CPU time and run-queue wait of all threads of a process, in ms (0 when it is gone).
struct Schedule {
  double cpu = 0, wait = 0;
};

Schedule ScheduleOf(pid_t pid) {
  Schedule total;
  if (pid <= 0) return total;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return total;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
    double cpu = 0, wait = 0;
    if (stat >> cpu >> wait) {
      total.cpu += cpu / 1e6;
      total.wait += wait / 1e6;
    }
  }
  closedir(dir);
  return total;
}

// The page faults of a process so far that needed no disk (/proc/PID/stat, field 10), or -1.
// Mostly the first touch of each fresh page of memory, which costs several microseconds on a
// virtual machine: the amount of new memory a start touches shows in its time.
long MinorFaults(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (pid <= 0 || !std::getline(stat, line)) return -1;
  const size_t end = line.rfind(')');  // the command's name may hold spaces and parentheses
  if (end == std::string::npos) return -1;
  const char* p = line.c_str() + end + 1;
  for (int field = 3; field <= 10; ++field) {  // field 3 (state) follows the name
    while (*p == ' ') ++p;
    if (field == 10) return std::atol(p);
    while (*p && *p != ' ') ++p;
  }
  return -1;
}

// A moment of the run: when it came, and what the process and the server had used by then.
struct Moment {
  double wall = -1, cpu = -1, wait = -1, server = -1, faults = -1;
  bool Came() const { return wall >= 0; }
};

void Print(const char* name, double value) {
  if (value < 0)
    std::printf("%s=- ", name);
  else
    std::printf("%s=%.1f ", name, value);
}

void Print(const std::string& name, const Moment& m) {
  Print((name + "_ms").c_str(), m.wall);
  Print((name + "_cpu_ms").c_str(), m.cpu);
  Print((name + "_wait_ms").c_str(), m.wait);
  Print((name + "_server_ms").c_str(), m.server);
  if (m.faults < 0)
    std::printf("%s_faults=- ", name.c_str());
  else
    std::printf("%s_faults=%.0f ", name.c_str(), m.faults);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  WindowWatch windows(options.width, options.height);
  VoiceWatch voices(options.voices);
  windows.Poll();  // whatever was there before the start does not count

  const double serverBefore = ScheduleOf(options.server).cpu;
  const double start = NowMs();
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    // The program's output goes nowhere: whoever reads ours (a shell's command substitution)
    // must not wait for the processes that Wine starts and that keep what they inherit.
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDOUT_FILENO);
    dup2(nowhere, STDERR_FILENO);
    execvp(options.command[0], options.command);
    _exit(127);
  }
  // The moment `at` (wall time in ms since the start), with the CPU figures read now.
  const auto take = [&](double at) {
    const Schedule own = ScheduleOf(child);
    const double server = options.server > 0 ? ScheduleOf(options.server).cpu - serverBefore : -1;
    return Moment{at, own.cpu, own.wait, server, static_cast<double>(MinorFaults(child))};
  };

  Moment window, voice;
  double wav = -1;
  long hwm = -1, anon = -1;
  bool windowsProgram = false;
  int status = 0;
  rusage usage{};
  for (;;) {
    pollfd fds[2] = {{windows.Fd(), POLLIN, 0}, {voices.Fd(), POLLIN, 0}};
    poll(fds, voices.Fd() >= 0 ? 2 : 1, 2);
    const double now = NowMs();
    if (!window.Came() && windows.Poll()) window = take(now - start);
    double created = wav < 0 ? -1 : wav + start, read = -1;
    voices.Poll(now, created, read);
    if (created >= 0) wav = created - start;
    if (!voice.Came() && read >= 0) voice = take(read - start);
    if (windowsProgram || (windowsProgram = RunsWindowsProgram(child))) {
      if (const long kb = StatusKb(child, "VmHWM"); kb > hwm) hwm = kb;
      if (const long kb = StatusKb(child, "RssAnon"); kb > anon) anon = kb;
    }
    if (options.endAtWindow && window.Came()) kill(child, SIGKILL);
    const pid_t ended = wait4(child, &status, WNOHANG, &usage);
    if (ended == child) break;
    if (now - start > options.timeoutMs) {
      std::fprintf(stderr, "startup_watch: %s still runs after the timeout; ending it\n", options.command[0]);
      kill(child, SIGTERM);
      wait4(child, &status, 0, &usage);
      break;
    }
  }
  if (!windowsProgram) std::fprintf(stderr, "startup_watch: the process never ran a Windows program\n");
  Print("window", window);
  Print("voice", voice);
  Print("wav_ms", wav);
  std::printf("hwm_kb=%ld anon_kb=%ld maxrss_kb=%ld status=%d\n", hwm, anon, usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
