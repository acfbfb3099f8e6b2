// Running volkit under the virtual controller and measuring one run.
#pragma once

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

struct RunFigures {
  double WallSeconds = 0;
  // User + system time of the volkit process, which also runs the virtual
  // controller's model in-process (it is loaded with LD_PRELOAD).
  double CpuSeconds = 0;
  long PeakKiB = 0;   // its maximum resident set
  long Requests = 0;  // driver requests in the request log
  int ExitStatus = -1;
};

// A scratch directory for one benchmark's lab, state and log files.
std::string BenchDirectory(const std::string& name);

// Writes `text` to `path`; false on failure.
bool WriteTextFile(const std::string& path, const std::string& text);

// Writes `lab` (JSON text) once into the scratch directory `name` and returns
// the file's path; later calls with the same name return the same path.
const std::string& WriteLabOnce(const std::string& name, const std::string& lab);

// A lab of one SAS controller 0 (DeviceLimit 128) with `disks` SAS disks of
// 286749488 blocks at targets 0.., `per_enclosure` to an enclosure; `serial`
// starts each disk's serial number.  `pages` and `raid` as the lab format has
// them.
nlohmann::json LargeSasLab(int disks, int per_enclosure, const char* serial,
                           const nlohmann::json& pages, const nlohmann::json& raid);

// Starts the state afresh from `lab_path`, then runs volkit with `args`
// under vxtsim with standard output and error discarded.  The state file is
// reset before every run, so each run sees the lab as written.
RunFigures RunVolkit(const std::string& directory, const std::string& lab_path,
                     const std::vector<std::string>& args);

// Runs the command for every benchmark iteration and reports its figures
// as counters (the iteration time is the wall time of the run).  A run that
// exits other than `expected_status` ends the benchmark with an error.
void MeasureCommand(benchmark::State& state, const std::string& directory,
                    const std::string& lab_path, const std::vector<std::string>& args,
                    int expected_status = 0);
