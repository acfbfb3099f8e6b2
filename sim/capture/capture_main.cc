// `vxtsim capture`: the command line, the controllers to read, and the lab
// written only once every controller has been read.
#include "capture_main.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "capture.h"
#include "document/state_file.h"
#include "files/atomic_file.h"
#include "lab_text.h"
#include "request_gate.h"
#include "vxt/driver_records.h"

namespace capture {

namespace {

struct CaptureOptions {
  bool one = false;
  uint32_t controller = 0;
  std::string out;  // empty: standard output
};

void PrintCaptureUsage(FILE* out) {
  std::fputs(
      "usage: vxtsim capture [--controller N | --all] [--out FILE]\n"
      "Reads the controllers on /dev/vxtctl and writes them as a lab.\n"
      "  --controller N  only controller N (default: every controller)\n"
      "  --all           every controller\n"
      "  --out FILE      write the lab to FILE (default: standard output)\n",
      out);
}

bool ParseNumber(const std::string& word, uint32_t* value) {
  if (word.empty() || word[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long v = std::strtoul(word.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v > kLastControllerNumber) return false;
  *value = static_cast<uint32_t>(v);
  return true;
}

// 0: go on; 1: stop with success (help); 2: usage error, message printed.
int ParseCaptureOptions(int argc, char** argv, CaptureOptions* opts) {
  bool all = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string name = arg.substr(0, arg.find('='));
    bool inline_value = arg.find('=') != std::string::npos;
    if (arg == "-h" || arg == "--help") {
      PrintCaptureUsage(stdout);
      return 1;
    }
    if (arg == "--all") {
      all = true;
      continue;
    }
    if (name != "--controller" && name != "--out") {
      std::fprintf(stderr, "vxtsim capture: unknown argument %s\n", arg.c_str());
      return 2;
    }
    std::string value;
    if (inline_value) {
      value = arg.substr(arg.find('=') + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    }
    if (name == "--out") {
      if (value.empty()) {
        std::fprintf(stderr, "vxtsim capture: --out needs a file name\n");
        return 2;
      }
      opts->out = value;
    } else {
      if (!ParseNumber(value, &opts->controller)) {
        std::fprintf(stderr, "vxtsim capture: --controller needs a number from 0 to %u\n",
                     kLastControllerNumber);
        return 2;
      }
      opts->one = true;
    }
  }
  if (all && opts->one) {
    std::fprintf(stderr, "vxtsim capture: give --controller N or --all, not both\n");
    return 2;
  }
  return 0;
}

void Report(const ControllerCapture& cc) {
  std::fprintf(stderr, "vxtsim capture: controller %u (%s): %s, %s, %s, %s\n",
               cc.adapter.ControllerNumber, cc.sas ? "SAS" : "parallel SCSI",
               Counted(cc.ctl.devices.size(), "device").c_str(),
               Counted(cc.ctl.raid.volumes.size(), "volume").c_str(),
               Counted(cc.ctl.raid.phys_disks.size(), "physical disk").c_str(),
               Counted(cc.ctl.enclosures.size(), "enclosure").c_str());
  for (const std::string& note : cc.notes) {
    std::fprintf(stderr, "vxtsim capture: controller %u: %s\n", cc.adapter.ControllerNumber,
                 note.c_str());
  }
}

// False after a message.
bool ReadController(int handle, const AdapterEntry& adapter, vxtsim::Controller* ctl) {
  ControllerCapture cc;
  cc.adapter = adapter;
  cc.c = new (std::nothrow) ControllerInfo{};
  if (cc.c == nullptr) {
    std::fprintf(stderr, "vxtsim capture: out of memory\n");
    return false;
  }
  cc.c->DriverHandle = handle;
  cc.c->Adapter = adapter;
  bool done = VxtSetupIoc(cc.c) ? CaptureController(cc)
                                : cc.Fail("its controller and port facts could not be read");
  ReleaseController(cc.c);
  if (!done) {
    std::fprintf(stderr, "vxtsim capture: controller %u: %s\n", adapter.ControllerNumber,
                 cc.failure.c_str());
    return false;
  }
  Report(cc);
  *ctl = std::move(cc.ctl);
  return true;
}

// The controllers asked for; false after a message.
bool FindControllers(int handle, const CaptureOptions& opts, std::vector<AdapterEntry>* found) {
  uint32_t first = opts.one ? opts.controller : 0;
  uint32_t last = opts.one ? opts.controller : kLastControllerNumber;
  for (uint32_t n = first; n <= last; ++n) {
    AdapterEntry entry{};
    int result = GetAdapterInfo(handle, n, &entry);
    if (result == kAdapterFound) found->push_back(entry);
    if (result == 0) {
      std::fprintf(stderr,
                   "vxtsim capture: the adapter information of controller %u could "
                   "not be read: %s\n",
                   n, std::strerror(errno));
      return false;
    }
  }
  if (found->empty()) {
    if (opts.one) {
      std::fprintf(stderr, "vxtsim capture: there is no controller %u\n", opts.controller);
    } else {
      std::fprintf(stderr, "vxtsim capture: no controller answers on %s\n", kDriverNodePath);
    }
    return false;
  }
  return true;
}

// Through a temporary file, so that FILE never holds half a lab.
bool WriteLab(const std::string& text, const std::string& path) {
  if (path.empty()) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
        std::fflush(stdout) == 0) {
      return true;
    }
    std::fprintf(stderr, "vxtsim capture: cannot write the lab: %s\n", std::strerror(errno));
    return false;
  }
  std::string error;
  if (ReplaceFileAtomically(path, text, &error) != 1) {
    std::fprintf(stderr, "vxtsim capture: cannot write %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int CaptureMain(int argc, char** argv) {
  CaptureOptions opts;
  int parsed = ParseCaptureOptions(argc, argv, &opts);
  if (parsed == 1) return 0;
  if (parsed == 2) {
    PrintCaptureUsage(stderr);
    return 2;
  }
  // Opened as volkit opens it, but never created: capture changes nothing.
  int handle = open(kDriverNodePath, O_RDWR);
  if (handle < 0) {
    std::fprintf(stderr, "vxtsim capture: cannot open %s: %s\n", kDriverNodePath,
                 std::strerror(errno));
    return 1;
  }
  std::vector<AdapterEntry> found;
  vxtsim::Model lab;
  lab.controllers_given = true;
  bool ok = FindControllers(handle, opts, &found);
  for (size_t i = 0; ok && i < found.size(); ++i) {
    vxtsim::Controller ctl;
    ok = ReadController(handle, found[i], &ctl);
    if (ok) lab.controllers.push_back(std::move(ctl));
  }
  close(handle);
  if (ok && RefusedRequests() > 0) {
    std::fprintf(stderr, "vxtsim capture: a request that is not a read was refused\n");
    ok = false;
  }
  if (!ok) {
    std::fprintf(stderr, "vxtsim capture: no lab written\n");
    return 1;
  }
  std::string text =
      vxtsim::WriteModel(lab).dump(1, ' ', false, vxtsim::json::error_handler_t::replace) + "\n";
  return WriteLab(text, opts.out) ? 0 : 1;
}

}  // namespace capture
