// Bash completion of volkit: loaded into a real bash, asked as the shell asks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "delivery/source_tree.h"
#include "support/run_program.h"

namespace volkit_test {
namespace {

// What bash offers for the command line `words` (the last one is the word
// being completed), with a file report.txt in the working directory.
std::vector<std::string> Complete(const std::vector<std::string>& words) {
  std::string script =
      "source \"$0\" || exit 3\n"
      "complete -p volkit >/dev/null || exit 4\n"
      "touch report.txt\n"
      "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); COMPREPLY=()\n"
      "_volkit volkit \"${COMP_WORDS[COMP_CWORD]}\" || exit 5\n"
      "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
  std::vector<std::string> argv = {"/bin/bash", "--norc", "--noprofile",
                                   "-c",        script,   VOLKIT_COMPLETION_FILE};
  argv.insert(argv.end(), words.begin(), words.end());
  VolkitRun run = RunProgram(argv);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  std::vector<std::string> offered;
  std::istringstream out(run.out);
  for (std::string line; std::getline(out, line);) {
    if (!line.empty()) offered.push_back(line);
  }
  return offered;
}

using Words = std::vector<std::string>;

TEST(Completion, CommandWordsAreTheTables) {
  Words table = CommandTableWords();
  ASSERT_GE(table.size(), 15u);
  Words with_verbs = table;
  with_verbs.insert(with_verbs.end(), {"json", "health", "metrics", "layout", "plan", "apply"});
  EXPECT_EQ(Complete({"volkit", "0", ""}), with_verbs);
  EXPECT_EQ(Complete({"volkit", "0", "cr"}), Words{"create"});
  EXPECT_EQ(Complete({"volkit", "0", "CR"}), Words{"create"});
  EXPECT_EQ(Complete({"volkit", "0", "set"}), (Words{"setoffline", "setonline"}));
  EXPECT_EQ(Complete({"volkit", "SAS", ""}), (Words{"auto", "auto1"}));
  EXPECT_EQ(Complete({"volkit", "list", ""}), Words{});
  EXPECT_EQ(Complete({"volkit", "all", ""}),
            (Words{"json", "health", "metrics", "layout", "plan", "apply"}));
  EXPECT_EQ(Complete({"volkit", "all", "he"}), Words{"health"});
  EXPECT_EQ(Complete({"volkit", "0", "h"}), (Words{"hotspare", "health"}));
  EXPECT_EQ(Complete({"volkit", "0", "health", ""}), Words{});
  EXPECT_EQ(Complete({"volkit", "ALL", "J"}), Words{"json"});
  EXPECT_EQ(Complete({"volkit", "0", "js"}), Words{"json"});
  EXPECT_EQ(Complete({"volkit", "0", "json", ""}), Words{});
}

TEST(Completion, ControllerNumbersListAndSas) {
  EXPECT_EQ(Complete({"volkit", "li"}), Words{"list"});
  EXPECT_EQ(Complete({"volkit", "s"}), Words{"SAS"});
  EXPECT_EQ(Complete({"volkit", "a"}), Words{"all"});
  struct stat node;
  if (stat("/dev/vxtctl", &node) == 0 && S_ISCHR(node.st_mode)) return;
  // Without the driver's node every controller number is offered.
  Words all = Complete({"volkit", ""});
  ASSERT_EQ(all.size(), 259u);
  EXPECT_EQ(all[3], "0");
  EXPECT_EQ(all.back(), "255");
  EXPECT_EQ(Complete({"volkit", "25"}), (Words{"25", "250", "251", "252", "253", "254", "255"}));
}

TEST(Completion, KeywordsOfEachCommand) {
  Words types = {"im", "ime", "is", "raid0", "raid1", "raid1e"};
  EXPECT_EQ(Complete({"volkit", "0", "create", ""}), types);
  EXPECT_EQ(Complete({"volkit", "0", "auto1", ""}), types);
  EXPECT_EQ(Complete({"volkit", "0", "create", "raid1"}), (Words{"raid1", "raid1e"}));
  EXPECT_EQ(Complete({"volkit", "0", "create", "im", "m"}), Words{"max"});
  EXPECT_EQ(Complete({"volkit", "0", "create", "im", "max", "2", "3", ""}),
            (Words{"qsync", "noprompt"}));
  EXPECT_EQ(Complete({"volkit", "0", "create", "im", "max", "2", "3", "qsync", "n"}),
            Words{"noprompt"});
  EXPECT_EQ(Complete({"volkit", "0", "delete", ""}), Words{"noprompt"});
  EXPECT_EQ(Complete({"volkit", "0", "delete", "noprompt", ""}), Words{});
  EXPECT_EQ(Complete({"volkit", "0", "hotspare", "d"}), Words{"delete"});
  EXPECT_EQ(Complete({"volkit", "0", "locate", "1:4", ""}), (Words{"on", "off"}));
  EXPECT_EQ(Complete({"volkit", "0", "format", "5", ""}), Words{"noprompt"});
  EXPECT_EQ(Complete({"volkit", "0", "status", ""}), Words{});
}

TEST(Completion, DisplayOffersFilesAndTheOptionWord) {
  EXPECT_EQ(Complete({"volkit", "0", "display", "rep"}), Words{"report.txt"});
  EXPECT_EQ(Complete({"volkit", "0", "display", "kv"}), Words{"KVRFRU"});
  EXPECT_EQ(Complete({"volkit", "0", "display", "report.txt", ""}), Words{"KVRFRU"});
  EXPECT_EQ(Complete({"volkit", "all", "metrics", "rep"}), Words{"report.txt"});
  EXPECT_EQ(Complete({"volkit", "all", "metrics", "report.txt", ""}), Words{});
}

TEST(Completion, LayoutVerbsOfferTheFileAndTheirWords) {
  EXPECT_EQ(Complete({"volkit", "all", "pl"}), Words{"plan"});
  EXPECT_EQ(Complete({"volkit", "0", "plan", "rep"}), Words{"report.txt"});
  EXPECT_EQ(Complete({"volkit", "0", "plan", "report.txt", ""}), Words{"json"});
  EXPECT_EQ(Complete({"volkit", "0", "plan", "report.txt", "json", ""}), Words{});
  EXPECT_EQ(Complete({"volkit", "all", "apply", "report.txt", ""}),
            (Words{"allowdestroy", "noprompt"}));
  EXPECT_EQ(Complete({"volkit", "0", "APPLY", "report.txt", "n"}), Words{"noprompt"});
  EXPECT_EQ(Complete({"volkit", "0", "layout", ""}), Words{});
}

}  // namespace
}  // namespace volkit_test
