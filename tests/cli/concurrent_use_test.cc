// Two volkit processes on one controller: a changing command holds the
// controller (a format only its disk) and every other change is refused at
// once, naming the holder; readers never wait. Real processes share one
// simulated state; each test waits for what it needs to see, never a fixed
// time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/background_run.h"
#include "support/banner.h"
#include "support/lab.h"
#include "support/raid_log.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr char kFirstQuestion[] = "Are you sure you want to proceed (YES/NO)? ";
constexpr char kFormatting[] = "Formatting hard disk drive...\n";

// The requests of a run that could change the controller or a disk: RAID
// actions, enclosure requests, page writes, resets, and every SCSI command
// other than the reads the checks send.
std::vector<json> ChangingRequests(const VolkitRun& run) {
  std::vector<json> changing;
  for (const json& line : run.Ioctls()) {
    if (line.value("kind", "") == "reset") changing.push_back(line);
    int function = line.value("function", -1);
    ByteVector f = FrameBytes(line, 25);
    bool page_write = function == 0x04 && (f[0] == 0x02 || f[0] == 0x04);
    bool scsi_change = (function == 0x00 || function == 0x16) && f[24] != 0x12 && f[24] != 0x25 &&
                       f[24] != 0x08 && f[24] != 0x28;
    if (function == 0x15 || function == 0x18 || page_write || scsi_change) {
      changing.push_back(line);
    }
  }
  return changing;
}

std::string Busy(const BackgroundVolkit& holder, const std::string& words) {
  return "volkit: controller 0 is being changed by another volkit (pid " +
         std::to_string(holder.pid) + ": " + words + "), try again when it has finished\n";
}

std::string TargetBusy(const BackgroundVolkit& holder, int target, const std::string& words) {
  return "volkit: target " + std::to_string(target) +
         " of controller 0 is in use by another volkit (pid " + std::to_string(holder.pid) + ": " +
         words + "), try again when it has finished\n";
}

// A fresh state from `lab` in a scratch directory that the runs then share.
VolkitRun SharedState(const json& lab) {
  VolkitRun base = RunVxtsim(lab, {"reset"});
  EXPECT_EQ(base.status, 0) << base.err;
  return base;
}

TEST(ConcurrentUse, FormatHoldsOnlyItsDisk) {
  json lab = SasLab(6);
  // Long enough never to end on its own while the test looks on.
  lab["controllers"][0]["devices"][4]["format_ms"] = 600000;
  VolkitRun base = SharedState(lab);
  BackgroundVolkit format = StartVolkit(base.dir, "format", {"0", "format", "4", "noprompt"});
  ASSERT_TRUE(WaitForOutput(format, kFormatting));

  const std::string busy = TargetBusy(format, 4, "format 4 noprompt");
  const std::vector<std::vector<std::string>> refused = {
      {"0", "format", "4", "noprompt"},
      {"0", "format", "1:4"},
      {"0", "create", "im", "max", "3", "4", "noprompt"},
      {"0", "hotspare", "4"},
  };
  for (const auto& args : refused) {
    VolkitRun run = RunVolkitAgain(base, args, "YES\nNO\n");
    EXPECT_EQ(run.status, 1) << args[2];
    EXPECT_EQ(run.out.find("You are about to"), std::string::npos) << args[2];
    if (args[2] == "create") {
      EXPECT_EQ(run.err, busy);
      EXPECT_EQ(run.out, kBanner + std::string("volkit: Volume creation failed.\n"));
    } else {
      EXPECT_EQ(run.err, busy) << args[2];
    }
    EXPECT_TRUE(ChangingRequests(run).empty()) << args[2];
  }

  // Everything else on the controller goes on while the disk formats.
  EXPECT_EQ(RunVolkitAgain(base, {"0", "display"}).status, 0);
  VolkitRun locate = RunVolkitAgain(base, {"0", "locate", "1:2", "on"});
  EXPECT_EQ(locate.status, 0) << locate.err;
  EXPECT_FALSE(locate.Ioctls(0x18).empty());
  VolkitRun create = RunVolkitAgain(base, {"0", "create", "im", "max", "0", "1", "noprompt"});
  EXPECT_EQ(create.status, 0) << create.err;
  VolkitRun status = RunVolkitAgain(base, {"0", "status"});
  EXPECT_EQ(status.status, 0) << status.err;
  EXPECT_EQ(RunVolkitAgain(base, {"0", "format", "5", "noprompt"}).status, 0);

  VolkitRun ended = KillVolkit(&format);
  EXPECT_EQ(ended.status, 128 + SIGKILL);
  VolkitRun spare = RunVolkitAgain(base, {"0", "hotspare", "4"});
  EXPECT_EQ(spare.status, 0) << spare.err;
}

// What other processes change while a format runs outlives the format: the
// simulator saves the format's own change when the format starts, and each
// process reads the state again once another has replaced it.
TEST(ConcurrentUse, ChangesBesideAFormatAreKept) {
  json lab = SasLab(4);
  lab["controllers"][0]["devices"][3]["format_ms"] = 3000;
  VolkitRun base = SharedState(lab);
  BackgroundVolkit format = StartVolkit(base.dir, "format", {"0", "format", "3", "noprompt"});
  ASSERT_TRUE(WaitForOutput(format, kFormatting));
  EXPECT_EQ(RunVolkitAgain(base, {"0", "locate", "1:2", "on"}).status, 0);
  EXPECT_EQ(RunVolkitAgain(base, {"0", "create", "im", "max", "0", "1", "noprompt"}).status, 0);
  VolkitRun done = FinishVolkit(&format);
  EXPECT_EQ(done.status, 0) << done.err;
  const json& controller = done.state["controllers"][0];
  EXPECT_EQ(controller["raid"]["volumes"].size(), 1u);
  const json& slot = controller["enclosures"][0]["slot_status"]["2"];
  ASSERT_TRUE(slot.is_number()) << slot;
  EXPECT_NE(slot.get<uint64_t>() & 0x00020000u, 0u) << "the locate LED of slot 2 is lit";
}

TEST(ConcurrentUse, ChangeAtItsPromptHoldsTheController) {
  VolkitRun base = SharedState(SasLab(4));
  BackgroundVolkit first = StartVolkit(base.dir, "first", {"0", "create", "im", "max", "0", "1"});
  ASSERT_TRUE(WaitForOutput(first, kFirstQuestion));

  const std::string busy = Busy(first, "create im max 0 1");
  const std::vector<std::vector<std::string>> refused = {
      {"0", "create", "im", "max", "2", "3", "noprompt"},
      {"0", "CREATE", "is", "max", "2"},
      {"0", "delete", "noprompt"},
      {"0", "defaults"},
      {"0", "hotspare", "3"},
      {"0", "auto", "is", "max", "noprompt"},
      {"0", "setoffline", "0"},
      {"0", "rebuild", "0"},
      {"0", "disableir"},
  };
  for (const auto& args : refused) {
    // Refused before the first question: the answers are never read.
    VolkitRun run = RunVolkitAgain(base, args, "YES\nNO\n");
    EXPECT_EQ(run.status, 1) << args[2];
    EXPECT_EQ(run.out, kBanner) << args[2];
    EXPECT_EQ(run.err, busy) << args[2];
    EXPECT_TRUE(ChangingRequests(run).empty()) << args[2];
  }
  EXPECT_EQ(RunVolkitAgain(base, {"0", "display"}).status, 0);
  EXPECT_EQ(RunVolkitAgain(base, {"0", "locate", "1:3", "on"}).status, 0);

  // A holder that is killed leaves nothing behind that blocks the next one.
  VolkitRun killed = KillVolkit(&first);
  EXPECT_EQ(killed.status, 128 + SIGKILL);
  EXPECT_TRUE(killed.state["controllers"][0].value("raid", json::object()).empty());
  VolkitRun again = RunVolkitAgain(base, {"0", "create", "im", "max", "0", "1"}, "YES\nNO\n");
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.state["controllers"][0]["raid"]["volumes"].size(), 1u);
}

TEST(ConcurrentUse, SasModeSkipsOnlyTheBusyController) {
  json lab = SasLab(2);
  json second = SasLab(2)["controllers"][0];
  second["number"] = 1;
  lab["controllers"].push_back(second);
  VolkitRun base = SharedState(lab);
  BackgroundVolkit holder = StartVolkit(base.dir, "holder", {"0", "delete"});
  ASSERT_TRUE(WaitForOutput(holder, kFirstQuestion));

  VolkitRun run = RunVolkitAgain(base, {"sas", "auto", "im", "max", "noprompt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, Busy(holder, "delete") + "volkit: command failed for controller 0!\n");
  for (const json& line : ChangingRequests(run)) EXPECT_EQ(line["controller"], 1);
  EXPECT_FALSE(run.state["controllers"][0].contains("raid"));
  EXPECT_EQ(run.state["controllers"][1]["raid"]["volumes"].size(), 1u);

  VolkitRun answered = FinishVolkit(&holder, "NO\n");
  EXPECT_EQ(answered.status, 1);
}

TEST(ConcurrentUse, HolderWordsArePrintedSafely) {
  VolkitRun base = SharedState(SasLab(2));
  BackgroundVolkit first =
      StartVolkit(base.dir, "first", {"0", "create", "im", "max", "0", "1\x1b[2J\ttail"});
  ASSERT_TRUE(WaitForOutput(first, kFirstQuestion));
  VolkitRun run = RunVolkitAgain(base, {"0", "delete", "noprompt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, Busy(first, "create im max 0 1?[2j?tail"));
  KillVolkit(&first);
}

}  // namespace
}  // namespace volkit_test
