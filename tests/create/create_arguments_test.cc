// CREATE's argument, capability and dialogue checks, run through the binary.
// None of these may change the controller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/banner.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

constexpr int kRaidAction = 0x15;

VolkitRun Create(const json& lab, std::vector<std::string> words, const std::string& input = "") {
  words.insert(words.begin(), {"0", "create"});
  return RunVolkit(lab, words, input);
}

void ExpectRefused(const VolkitRun& run, const std::string& err, const std::string& out = "") {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, err);
  EXPECT_EQ(run.out, kBanner + out);
  EXPECT_TRUE(run.Ioctls(kRaidAction).empty());
}

TEST(CreateArguments, NoDriveWordPrintsUsage) {
  VolkitRun run = Create(SasLab(), {"im", "max"});
  ExpectRefused(run, "volkit: Incorrect number of command line parameters for 'CREATE' command!\n",
                "  The format of the CREATE command is\n"
                "    volkit <controller #> create <volume type> <size>\n"
                "    {<SCSI ID>/<Encl:Bay>} [qsync] [noprompt]\n"
                "      where <controller #> is:\n"
                "          A controller number between 0 and 255.\n"
                "      where <volume type> is:\n"
                "          The type of the volume to create and is either IM/RAID1 (or)\n"
                "          IME/RAID1E (or) IS/RAID0.\n"
                "      where <size> is:\n"
                "          The size of the volume to create. It should be given in Mbytes\n"
                "          e.g. 2048 or 'MAX' to use the maximum size possible.\n"
                "      where {<SCSI ID>/<Encl:Bay>} is:\n"
                "          A list of SCSI Ids or Encl:Bay pairs identifying the disk drives you\n"
                "          wish to include in the volume being created. If the volume type is\n"
                "          'IM', the first drive will be selected as the primary and the\n"
                "          second as the secondary drive.\n"
                "          For a type 'IM' volume exactly 2 disks must be specified.\n"
                "          For a type 'IME' volume 3 to 10 disks must be specified.\n"
                "          For a type 'IS' volume minimum of 1 disk must be specified.\n"
                "      where qsync specifies that the user desires a quick\n"
                "          synchronization of the two drives in an IM volume\n"
                "      where noprompt is an optional argument that eliminates\n"
                "          warnings and prompts\n\n");
}

TEST(CreateArguments, TypeWords) {
  ExpectRefused(Create(SasLab(), {"RAID5", "max", "0", "1", "noprompt"}),
                "volkit: Invalid RAID volume type specified  \"raid5\"!\n");
  json no_ime = SasLab(3);
  no_ime["controllers"][0]["pages"]["IocPg2"] = {{"CapabilityFlags", 0x5}};
  ExpectRefused(Create(no_ime, {"RaId1E", "max", "0", "1", "2", "noprompt"}),
                "volkit: Requested volume type \"raid1e\" cannot be supported by\n"
                "    current controller firmware\n");
}

TEST(CreateArguments, SizeWords) {
  ExpectRefused(Create(SasLab(), {"im", "Maximum", "0", "1", "noprompt"}),
                "volkit: Invalid size specification. It must be either \n"
                "    'MAX' or a valid size in mega bytes.\n");
  for (const char* size : {"0", "-5", " 5", "5M", "99999999999999999999999", "+5"}) {
    ExpectRefused(Create(SasLab(), {"im", size, "0", "1", "noprompt"}),
                  std::string("volkit: Invalid size specification \"") + size + "\"!\n");
  }
}

TEST(CreateArguments, SyncAndNoPromptPositions) {
  // Dropping noprompt drops the last word, so noprompt before qsync is read
  // as the sync option.
  ExpectRefused(Create(SasLab(), {"im", "max", "0", "1", "noprompt", "qsync"}),
                "volkit: Invalid sync option specified  \"noprompt\"!\n");
  ExpectRefused(Create(SasLab(), {"im", "max", "noprompt"}),
                "volkit: Invalid sync option specified  \"max\"!\n");
  ExpectRefused(Create(SasLab(), {"im", "max", "0", "1", "fast", "noprompt"}),
                "volkit: Invalid sync option specified  \"fast\"!\n");
}

TEST(CreateArguments, DialogueComesFirstAndAbortsCleanly) {
  const std::string prompt =
      "You are about to create an IR volume. \n\n"
      "WARNING: Proceeding with this operation may cause data loss or data\n"
      "         corruption. Are you sure you want to proceed (YES/NO)? ";
  VolkitRun run = Create(SasLab(), {"bogus", "max", "0", "1"}, "Yes\n");
  ExpectRefused(run, "volkit: you must answer \"YES\" or \"yes\" to proceed; operation aborted!\n",
                prompt);
  run = Create(SasLab(), {"im", "max", "0", "1"}, "yes\n");
  ExpectRefused(run, "volkit: you must answer \"NO\" or \"no\" to proceed; operation aborted!\n",
                prompt +
                    "\nWARNING: This is you last chance to abort this operation. Do you wish\n"
                    "         to abort (YES/NO)? ");
}

TEST(CreateArguments, ControllerCapability) {
  json lab = SasLab();
  lab["controllers"][0]["pages"]["IocPg2"] = {{"CapabilityFlags", 0}};
  ExpectRefused(Create(lab, {"im", "max", "0", "1", "noprompt"}),
                "volkit: Controller specified by controller number \"0\"\n"
                "        has either IR capaability disabled OR has initiator-only firmware.\n"
                "        If you wish to create a RAID volume, enable IR capability or please\n"
                "        flash IR firmware before attempting this operation again\n");
}

}  // namespace
}  // namespace volkit_test
