// FORMAT through the binary: arguments, the target checks, the dialogue, the
// FORMAT UNIT request, and the elapsed-time line on a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kUsage[] =
    "volkit <controller #> FORMAT <SCSI Id>/(Encl:Bay) [noprompt]\n"
    "  where\n"
    "    <controller #> is a number between 0 and 255\n"
    "    <SCSI Id> target Id of drive to format\n"
    "    <Encl:Bay> Enclosure and Bay # of the drive to format\n"
    "    [noprompt] is an option argument that eliminates warnings and prompts\n\n";
constexpr char kPrompts[] =
    "You are about to format a hard disk drive. This operation will erase\n"
    "all data on the disk. It may take a considerable length of time to\n"
    "complete this operation depending on disk drive model and capacity (e.g.,\n"
    "20 minutes to an hour or more). Once this operation starts,\n"
    "DO NOT INTERRUPT IT OR YOU MAY PERMANENTLY DAMAGE YOUR DISK DRIVE!!!!!\n\n"
    "WARNING: This operation will permanently erase all data on the disk!\n"
    "         Are you sure you want to proceed (YES/NO)? "
    "\nWARNING: This is you last chance to abort this operation. Do you wish\n"
    "         to abort (YES/NO)? ";
constexpr char kFormatting[] = "Formatting hard disk drive...\n";

// Three disks; disk 1 holds data in block 0.
json FormatLab() {
  json lab = SasLab(3);
  lab["controllers"][0]["devices"][1]["block_data"] = {{"0", std::string(1024, 'a')}};
  return lab;
}

json WithFault(json lab, const char* fault) {
  lab["faults"] = json::array({Lab(fault)});
  return lab;
}

// The SCSI requests of the run with CDB byte 0 `opcode`.
std::vector<json> ScsiRequests(const VolkitRun& run, int opcode) {
  std::vector<json> lines;
  for (const json& line : run.Ioctls(0x00)) {
    if (FrameBytes(line, 25)[24] == opcode) lines.push_back(line);
  }
  return lines;
}

void ExpectTargetRefused(const VolkitRun& run, const std::string& message) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, kBanner);
  EXPECT_EQ(run.err, message);
  EXPECT_TRUE(ScsiRequests(run, 0x04).empty());
}

TEST(FormatCommand, Arguments) {
  const std::string count = "volkit: incorrect number of command line arguments!\n\n";
  const std::string last = "volkit: last command line argument must be \"noprompt\" or absent!\n\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"0", "format"}, count + kUsage},
      {{"0", "format", "1", "noprompt", "now"}, count + kUsage},
      {{"0", "format", "1", "prompt"}, last + kUsage},
      {{"0", "format", "1", "noprompt!"}, last + kUsage},
  };
  for (const Case& c : cases) {
    VolkitRun run = RunVolkit(FormatLab(), c.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, kBanner);
    EXPECT_EQ(run.err, c.err);
    EXPECT_TRUE(run.Ioctls(0x00).empty());
  }
}

TEST(FormatCommand, FormatsTheDiskWithOneFormatUnit) {
  for (const char* drive : {"1", "1:1"}) {
    VolkitRun run = RunVolkit(FormatLab(), {"0", "FORMAT", drive, "NOPROMPT"});
    EXPECT_EQ(run.status, 0) << drive;
    EXPECT_EQ(run.out, std::string(kBanner) + kFormatting);
    EXPECT_EQ(run.err, "") << "no elapsed time without a terminal";
    std::vector<json> formats = ScsiRequests(run, 0x04);
    ASSERT_EQ(formats.size(), 1u);
    ByteVector f = FrameBytes(formats[0], 48);
    EXPECT_EQ(f[0], 1);   // target
    EXPECT_EQ(f[4], 6);   // CDB length
    EXPECT_EQ(f[13], 0);  // LUN
    EXPECT_EQ(ByteVector(f.begin() + 24, f.begin() + 30), (ByteVector{4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(formats[0].value("timeout", 0), 18000);
    EXPECT_EQ(formats[0].value("direction", ""), "none");
    EXPECT_FALSE(run.state["controllers"][0]["devices"][1].contains("block_data"));
  }
}

TEST(FormatCommand, Dialogue) {
  VolkitRun run = RunVolkit(FormatLab(), {"0", "format", "1"}, "YES\nno\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kPrompts + kFormatting);
  EXPECT_EQ(ScsiRequests(run, 0x04).size(), 1u);

  run = RunVolkit(FormatLab(), {"0", "format", "1"}, "no\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "volkit: you must answer \"YES\" or \"yes\" to proceed; operation aborted!\n");
  EXPECT_TRUE(ScsiRequests(run, 0x04).empty());
  EXPECT_TRUE(run.state["controllers"][0]["devices"][1].contains("block_data"));
}

TEST(FormatCommand, TargetRefusals) {
  json mirror = FormatLab();
  mirror["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  VolkitRun run = RunVolkit(mirror, {"0", "format", "0", "noprompt"});
  ExpectTargetRefused(run, "volkit: target at Id 0 is a IR volume!\n");
  EXPECT_TRUE(run.Ioctls(0x00).empty()) << "nothing may reach a volume";

  const std::string missing = " doesn't exist, is a hot spare or isn't powered on!\n";
  ExpectTargetRefused(RunVolkit(FormatLab(), {"0", "format", "5", "noprompt"}),
                      "volkit: SCSI device at Id 5" + missing);
  // A member disk is hidden from plain I/O.
  ExpectTargetRefused(RunVolkit(mirror, {"0", "format", "1", "noprompt"}),
                      "volkit: SCSI device at Id 1" + missing);
  ExpectTargetRefused(RunVolkit(WithFault(FormatLab(), R"({"match": {"scsi_opcode": 18},
                                           "effect": {"not_ready": true}})"),
                                {"0", "format", "1", "noprompt"}),
                      "volkit: could not retrieve information about SCSI device at Id 1!\n");

  for (const char* device : {R"({"type": 1})", R"({"removable": true})", R"({"type": "0x20"})"}) {
    json lab = FormatLab();
    lab["controllers"][0]["devices"][2].merge_patch(Lab(device));
    ExpectTargetRefused(RunVolkit(lab, {"0", "format", "2", "noprompt"}),
                        "volkit: SCSI device at Id 2 can't be formatted; it's not an HDD or it "
                        "has removable media!\n");
  }
  json simplified = FormatLab();
  simplified["controllers"][0]["devices"][2]["type"] = "0x0E";
  EXPECT_EQ(RunVolkit(simplified, {"0", "format", "2", "noprompt"}).status, 0);

  // Without the volume list nothing is known; the read's failure speaks.
  run = RunVolkit(WithFault(FormatLab(), R"({"match": {"page": "IocPg2"},
                                             "effect": {"errno": "EIO"}})"),
                  {"0", "format", "1", "noprompt"});
  ExpectTargetRefused(run, "");
  EXPECT_TRUE(run.Ioctls(0x00).empty());
}

TEST(FormatCommand, FailedFormatUnitNeverPassesForSuccess) {
  struct Case {
    const char* fault;
    size_t tries;
  } cases[] = {
      {R"({"match": {"scsi_opcode": 4}, "effect": {"sense_key": 5, "asc": 36}})", 1},
      {R"({"match": {"scsi_opcode": 4}, "effect": {"sense_key": 3, "asc": 49}})", 2},
      // The channel tries a request the driver failed once more.
      {R"({"match": {"scsi_opcode": 4}, "effect": {"errno": "ETIMEDOUT"}})", 2},
      {R"({"match": {"scsi_opcode": 4}, "effect": {"ioc_status": "0x0045"}})", 1},
      {R"({"match": {"scsi_opcode": 4}, "effect": {"ioc_status": "0x0004"}})", 1},
  };
  for (const Case& c : cases) {
    VolkitRun run = RunVolkit(WithFault(FormatLab(), c.fault), {"0", "format", "1", "noprompt"});
    EXPECT_EQ(run.status, 1) << c.fault;
    EXPECT_EQ(run.out, std::string(kBanner) + kFormatting);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ScsiRequests(run, 0x04).size(), c.tries) << c.fault;
  }
  // One retry when the disk asks for it.
  VolkitRun run = RunVolkit(WithFault(FormatLab(), R"({"match": {"scsi_opcode": 4}, "first": 1,
                                                      "effect": {"unit_attention": true}})"),
                            {"0", "format", "1", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ScsiRequests(run, 0x04).size(), 2u);
}

// Runs volkit under the launcher with standard error on a pseudo-terminal and
// standard output in a file; `tty` gets what the terminal received.
struct TtyRun {
  int status = -1;
  std::string out, tty;
};

TtyRun RunWithTerminalStderr(const json& lab, const std::vector<std::string>& args) {
  TtyRun result;
  std::string dir = MakeScratchDir();
  std::ofstream(dir + "/lab.json") << lab.dump();
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    ADD_FAILURE() << "no pseudo-terminal";
    return result;
  }
  std::string slave = ptsname(master);
  std::vector<std::string> argv = {VxtsimPath(),        "--lab", dir + "/lab.json", "--state",
                                   dir + "/state.json", "--",    VolkitPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = fork();
  if (pid == 0) {
    int err = open(slave.c_str(), O_RDWR | O_NOCTTY);
    int out = open((dir + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int in = open("/dev/null", O_RDONLY);
    if (err < 0 || out < 0 || in < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    close_range(3, ~0u, 0);
    std::vector<char*> cargs;
    for (const std::string& a : argv) cargs.push_back(const_cast<char*>(a.c_str()));
    cargs.push_back(nullptr);
    execv(cargs[0], cargs.data());
    _exit(127);
  }
  // Read while it runs, so that nothing waits on a full terminal buffer.
  fcntl(master, F_SETFL, O_NONBLOCK);
  auto drain = [&] {
    char buf[256];
    for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) result.tty.append(buf, n);
  };
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) != pid) {
    drain();
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      if (waitpid(pid, &status, 0) != pid) status = -1;
      ADD_FAILURE() << "run did not finish";
      break;
    }
    usleep(10000);
  }
  drain();
  close(master);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(dir + "/stdout");
  std::ostringstream text;
  text << in.rdbuf();
  result.out = text.str();
  return result;
}

TEST(FormatCommand, ElapsedTimeOnATerminalOnly) {
  TtyRun run = RunWithTerminalStderr(FormatLab(), {"0", "format", "1", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kFormatting);
  const std::string blank = "\r" + std::string(40, ' ') + "\r";
  EXPECT_EQ(run.tty.rfind("\rElapsed time: 0:00:00", 0), 0u) << run.tty;
  ASSERT_GE(run.tty.size(), blank.size());
  EXPECT_EQ(run.tty.substr(run.tty.size() - blank.size()), blank);

  // A refused target never starts it.
  run = RunWithTerminalStderr(FormatLab(), {"0", "format", "5", "noprompt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.tty.find("Elapsed"), std::string::npos);
}

TEST(FormatCommand, ElapsedTimeCountsWhileTheDiskFormats) {
  json lab = FormatLab();
  lab["controllers"][0]["devices"][1]["format_ms"] = 2300;
  auto start = std::chrono::steady_clock::now();
  TtyRun run = RunWithTerminalStderr(lab, {"0", "format", "1", "noprompt"});
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2300));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kBanner) + kFormatting);
  EXPECT_NE(run.tty.find("\rElapsed time: 0:00:01"), std::string::npos) << run.tty;
  EXPECT_NE(run.tty.find("\rElapsed time: 0:00:02"), std::string::npos) << run.tty;
}

TEST(FormatCommand, FormatLongerThanTheTimeoutFailsWithoutWaitingForIt) {
  json lab = FormatLab();
  lab["controllers"][0]["devices"][1]["format_ms"] = 18000001;  // past the 18000 s limit
  auto start = std::chrono::steady_clock::now();
  VolkitRun run = RunVolkit(lab, {"0", "format", "1", "noprompt"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kBanner) + kFormatting);
  std::vector<json> formats = ScsiRequests(run, 0x04);
  ASSERT_EQ(formats.size(), 2u);  // the channel tries once more
  for (const json& f : formats) EXPECT_EQ(f.value("error", ""), "ETIMEDOUT");
}

}  // namespace
}  // namespace volkit_test
