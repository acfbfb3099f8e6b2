#include "bench_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// The log also records opens and closes of the node; only ioctl lines are
// driver requests.
long CountDriverRequests(const std::string& path) {
  std::ifstream in(path);
  long requests = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.find("\"call\":\"ioctl\"") != std::string::npos) ++requests;
  }
  return requests;
}

// Runs `argv` with output discarded; fills status and the child's usage.
int Spawn(const std::vector<std::string>& words, rusage* usage) {
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (wait4(pid, &status, 0, usage) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string BenchDirectory(const std::string& name) {
  static std::vector<std::string>* made = [] {
    auto* dirs = new std::vector<std::string>;
    std::atexit([] {
      for (const std::string& d : *made) {
        std::error_code ec;
        std::filesystem::remove_all(d, ec);
      }
    });
    return dirs;
  }();
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/volkit_bench_" +
                    std::to_string(getpid()) + "_" + name;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  made->push_back(dir);
  return dir;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

const std::string& WriteLabOnce(const std::string& name, const std::string& lab) {
  static std::map<std::string, std::string> paths;
  auto [it, added] = paths.emplace(name, BenchDirectory(name) + "/lab.json");
  if (added) WriteTextFile(it->second, lab);
  return it->second;
}

nlohmann::json LargeSasLab(int disks, int per_enclosure, const char* serial,
                           const nlohmann::json& pages, const nlohmann::json& raid) {
  nlohmann::json devices = nlohmann::json::array();
  for (int t = 0; t < disks; ++t) {
    devices.push_back({{"target", t},
                       {"enclosure", 1 + t / per_enclosure},
                       {"slot", t % per_enclosure},
                       {"serial", serial + std::to_string(5000 + t)},
                       {"vendor", "ORBITAL"},
                       {"product", "OD146SAS10K"},
                       {"blocks", 286749488}});
  }
  nlohmann::json enclosures = nlohmann::json::array();
  for (int e = 0; e * per_enclosure < disks; ++e) {
    enclosures.push_back({{"num_slots", per_enclosure}, {"start_target", e * per_enclosure}});
  }
  return {{"controllers",
           {{{"number", 0},
             {"pci", {{"device_id", "0x54"}}},
             {"port_facts", {{"device_limit", 128}}},
             {"pages", pages},
             {"enclosures", enclosures},
             {"devices", devices},
             {"raid", raid}}}}};
}

RunFigures RunVolkit(const std::string& dir, const std::string& lab_path,
                     const std::vector<std::string>& args) {
  RunFigures figures;
  const std::string state = dir + "/state.json";
  const std::string log = dir + "/requests.jsonl";
  rusage usage{};
  if (Spawn({VOLKIT_BENCH_VXTSIM, "--lab", lab_path, "--state", state, "reset"}, &usage) != 0) {
    return figures;
  }
  std::remove(log.c_str());
  std::vector<std::string> words = {VOLKIT_BENCH_VXTSIM, "--state", state, "--log", log, "--",
                                    VOLKIT_BENCH_VOLKIT};
  words.insert(words.end(), args.begin(), args.end());
  auto start = std::chrono::steady_clock::now();
  figures.ExitStatus = Spawn(words, &usage);
  figures.WallSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  figures.CpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  figures.PeakKiB = usage.ru_maxrss;
  figures.Requests = CountDriverRequests(log);
  return figures;
}

void MeasureCommand(benchmark::State& state, const std::string& dir, const std::string& lab_path,
                    const std::vector<std::string>& args, int expected_status) {
  RunFigures last;
  double cpu = 0;
  for (auto _ : state) {
    last = RunVolkit(dir, lab_path, args);
    if (last.ExitStatus != expected_status) {
      state.SkipWithError("volkit did not exit as expected");
      return;
    }
    state.SetIterationTime(last.WallSeconds);
    cpu += last.CpuSeconds;
  }
  double runs = static_cast<double>(state.iterations());
  state.counters["requests"] = static_cast<double>(last.Requests);
  state.counters["cpu_ms"] = cpu * 1000 / runs;
  // The model runs inside the volkit process, so its CPU time per request
  // is what a request costs in vxtsim (volkit's own share is small).
  if (last.Requests > 0) {
    state.counters["cpu_us_per_request"] = cpu * 1e6 / runs / static_cast<double>(last.Requests);
  }
  state.counters["peak_KiB"] = static_cast<double>(last.PeakKiB);
}
