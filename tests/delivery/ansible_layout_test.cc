// volkit.raid.layout run by the real ansible-playbook against vxtsim: check
// mode only reads and shows the diff, a second run changes nothing, nothing
// is destroyed without allow_destroy, the spare comes back after a disk
// swap, a failed apply is reported and the next run converges.
#include <gtest/gtest.h>

#include "delivery/ansible_play.h"
#include "delivery/source_tree.h"
#include "support/lab.h"
#include "support/read_requests.h"

namespace volkit_test {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A mirror of the first two disks of a SasLab and the third as its spare,
// registered as `layout`.
const char* const kMirrorAndSpare = R"(- volkit.raid.layout:
    controllers:
      - controller: 0
        volumes:
          - type: im
            disks: ["1:0", "1:1"]
        hot_spares: ["1:2"]
  register: layout
)";

// Mirror 0 on targets 0 and 1, target 2 its hot spare: kMirrorAndSpare,
// already there.
json MirrorLab() {
  json lab = SasLab(4);
  lab["controllers"][0]["raid"] = Lab(R"({
    "phys_disks": [{"num": 0, "target": 0}, {"num": 1, "target": 1},
                   {"num": 2, "target": 2, "hot_spare_pool": 1}],
    "volumes": [{"id": 0, "type": "IM", "members": [0, 1]}]})");
  return lab;
}

std::vector<std::string> Actions(const json& result) {
  std::vector<std::string> actions;
  for (const json& a : result["plan"]) actions.push_back(a["action"]);
  return actions;
}

TEST(AnsibleLayout, CheckModeFromAnEmptyControllerOnlyReadsAndShowsTheDiff) {
  AnsibleHost host(SasLab(4));
  PlayRun play = host.Play(kMirrorAndSpare, {"layout"}, {"--check", "--diff"});
  ASSERT_EQ(play.status, 0) << play.out << play.err;
  const json& layout = play.results["layout"];
  EXPECT_EQ(layout["changed"], true);
  EXPECT_EQ(Actions(layout), (std::vector<std::string>{"create_volume", "add_hot_spare"}));
  EXPECT_EQ(layout["plan"][1]["controller"], 0);
  EXPECT_EQ(layout["plan"][1]["disk"]["serial"], "SN1002");
  EXPECT_FALSE(layout.contains("report"));
  EXPECT_EQ(layout["diff"]["before"],
            "controllers:\n"
            "- controller: 0\n"
            "  volumes: []\n"
            "  hot_spares: []\n"
            "  prune: false\n");
  EXPECT_EQ(layout["diff"]["after"],
            "controllers:\n"
            "- controller: 0\n"
            "  volumes:\n"
            "  - type: im\n"
            "    disks:\n"
            "    - disk: '1:0'\n"
            "      serial: SN1000\n"
            "    - disk: '1:1'\n"
            "      serial: SN1001\n"
            "    size_mb: max\n"
            "    qsync: false\n"
            "  hot_spares:\n"
            "  - disk: '1:2'\n"
            "    serial: SN1002\n"
            "  prune: false\n");
  // The diff as ansible-playbook shows it.
  EXPECT_TRUE(Has(play.out, "+  - disk: '1:2'\n")) << play.out;
  EXPECT_TRUE(Has(Recap(play), "changed=1")) << play.out;
  EXPECT_FALSE(play.log.empty());
  EXPECT_EQ(RequestsNotReads(play.log), std::vector<json>());
  VolkitRun now = host.Volkit({"0", "layout"});
  EXPECT_EQ(json::parse(now.out)["controllers"][0]["volumes"], json::array()) << now.out;
}

TEST(AnsibleLayout, ApplyThenTheSamePlayAgainChangesNothing) {
  AnsibleHost host(SasLab(4));
  PlayRun first = host.Play(kMirrorAndSpare, {"layout"}, {"--diff"});
  ASSERT_EQ(first.status, 0) << first.out << first.err;
  const json& applied = first.results["layout"];
  EXPECT_EQ(applied["changed"], true);
  EXPECT_TRUE(Has(applied["report"], "controller 0: in sync with the layout.\n"))
      << applied["report"];
  EXPECT_FALSE(RequestsNotReads(first.log).empty());
  // After an apply the diff shows what volkit reads back: the exact size.
  std::string after = applied["diff"]["after"];
  EXPECT_TRUE(Has(after, "    size_mb: 6")) << after;
  EXPECT_TRUE(Has(after, "  hot_spares:\n  - disk: '1:2'\n    serial: SN1002\n")) << after;
  json now = json::parse(host.Volkit({"0", "layout"}).out)["controllers"][0];
  EXPECT_EQ(now["volumes"].size(), 1u);
  EXPECT_EQ(now["hot_spares"].size(), 1u);

  PlayRun second = host.Play(kMirrorAndSpare, {"layout"}, {"--diff"});
  ASSERT_EQ(second.status, 0) << second.out << second.err;
  EXPECT_TRUE(Has(Recap(second), "changed=0")) << second.out;
  EXPECT_EQ(second.results["layout"]["changed"], false);
  EXPECT_EQ(second.results["layout"]["plan"], json::array());
  EXPECT_FALSE(second.results["layout"].contains("report"));
  EXPECT_FALSE(second.log.empty());
  EXPECT_EQ(RequestsNotReads(second.log), std::vector<json>());
}

TEST(AnsibleLayout, AVolumeIsDeletedOnlyWithAllowDestroy) {
  AnsibleHost host(MirrorLab());
  // Another mirror, and nothing else: volume 0 and its spare must go.
  const std::string other = R"(  volkit.raid.layout:
    controllers:
      - controller: 0
        volumes:
          - type: im
            disks: ["1:2", "1:3"]
        prune: true
)";
  std::string tasks = "- name: Checked\n";
  tasks += other + "  check_mode: true\n  register: checked\n  ignore_errors: true\n";
  tasks += "- name: Run\n";
  tasks += other + "  register: run\n  ignore_errors: true\n";
  tasks += "- name: Foreseen\n";
  tasks += other + "    allow_destroy: true\n  check_mode: true\n  register: foreseen\n";
  PlayRun refused = host.Play(tasks, {"checked", "run", "foreseen"}, {"--diff"});
  EXPECT_EQ(refused.status, 0) << refused.out << refused.err;
  const std::string message =
      "the plan destroys data (delete volume 0 (im on 1:0 (target 0, serial SN1000), 1:1 "
      "(target 1, serial SN1001)), destroying its data); nothing was changed: set allow_destroy "
      "to carry it out";
  for (const char* name : {"checked", "run"}) {
    SCOPED_TRACE(name);
    const json& result = refused.results[name];
    EXPECT_EQ(result["failed"], true);
    EXPECT_EQ(result["changed"], false);
    EXPECT_EQ(result["msg"], message);
    EXPECT_EQ(Actions(result),
              (std::vector<std::string>{"remove_hot_spare", "delete_volume", "create_volume"}));
  }
  // Check mode with allow_destroy foresees the controller without them.
  EXPECT_EQ(refused.results["foreseen"]["changed"], true);
  EXPECT_EQ(refused.results["foreseen"]["diff"]["after"],
            "controllers:\n"
            "- controller: 0\n"
            "  volumes:\n"
            "  - type: im\n"
            "    disks:\n"
            "    - disk: '1:2'\n"
            "      serial: SN1002\n"
            "    - disk: '1:3'\n"
            "      serial: SN1003\n"
            "    size_mb: max\n"
            "    qsync: false\n"
            "  hot_spares: []\n"
            "  prune: false\n");
  EXPECT_EQ(RequestsNotReads(refused.log), std::vector<json>());

  tasks = "- name: Allowed\n";
  tasks += other + "    allow_destroy: true\n  register: run\n";
  PlayRun allowed = host.Play(tasks, {"run"});
  ASSERT_EQ(allowed.status, 0) << allowed.out << allowed.err;
  EXPECT_EQ(allowed.results["run"]["changed"], true);
  json now = json::parse(host.Volkit({"0", "layout"}).out)["controllers"][0];
  ASSERT_EQ(now["volumes"].size(), 1u) << now.dump();
  EXPECT_EQ(now["volumes"][0]["disks"][0]["disk"], "1:2");
  EXPECT_EQ(now["hot_spares"], json::array());
}

TEST(AnsibleLayout, AfterADiskSwapOneRunRestoresTheHotSpare) {
  AnsibleHost host(MirrorLab());
  ASSERT_EQ(host.Vxtsim({"fail", "0:1"}).status, 0);
  // The spare takes over; its resync ends after a few progress reads.
  VolkitRun status = host.Volkit({"0", "status"});
  for (int i = 0; i < 10 && Has(status.out, "Synchronize"); ++i)
    status = host.Volkit({"0", "status"});
  ASSERT_FALSE(Has(status.out, "Synchronize")) << status.out;
  VolkitRun replaced = host.Vxtsim({"replace", "0:1"});
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  json before = json::parse(host.Volkit({"0", "layout"}).out)["controllers"][0];
  EXPECT_EQ(before["hot_spares"], json::array());

  PlayRun play = host.Play(kMirrorAndSpare, {"layout"});
  ASSERT_EQ(play.status, 0) << play.out << play.err;
  const json& layout = play.results["layout"];
  EXPECT_EQ(layout["changed"], true);
  ASSERT_EQ(Actions(layout), std::vector<std::string>{"add_hot_spare"});
  EXPECT_EQ(layout["plan"][0]["text"],
            "add hot spare 1:1 (target 1, serial SN1001R), in place of 1:2, now a member of "
            "volume 0");
  EXPECT_EQ(layout["drift"],
            json::array({{{"controller", 0},
                          {"text", "volume 0 (im): members 1:0 1:2, the layout lists 1:0 1:1"}}}));
  json after = json::parse(host.Volkit({"0", "layout"}).out)["controllers"][0];
  EXPECT_EQ(after["hot_spares"], Lab(R"([{"disk": "1:1", "serial": "SN1001R"}])"));
  VolkitRun health = host.Volkit({"0", "health"});
  EXPECT_EQ(health.status, 0) << health.out;
  EXPECT_TRUE(Has(health.out, "VOLKIT OK")) << health.out;

  PlayRun again = host.Play(kMirrorAndSpare, {"layout"});
  EXPECT_TRUE(Has(Recap(again), "changed=0")) << again.out;
  EXPECT_EQ(RequestsNotReads(again.log), std::vector<json>());
}

TEST(AnsibleLayout, AFailedApplyIsReportedAndTheNextRunConverges) {
  json lab = SasLab(4);
  lab["faults"] =
      Lab(R"([{"match": {"raid_action": 2}, "effect": {"action_status": 1}, "nth": 1}])");
  AnsibleHost host(lab);
  PlayRun failed = host.Play(kMirrorAndSpare, {"layout"});
  EXPECT_NE(failed.status, 0);
  const json& layout = failed.results["layout"];
  EXPECT_EQ(layout["failed"], true);
  std::string message = layout["msg"];
  EXPECT_EQ(message.rfind("volkit all apply failed (exit status 1):\n", 0), 0u) << message;
  for (const char* part :
       {"controller 0: apply stopped at a failure.\n",
        "  failed: create volume im on 1:0 (target 0, serial SN1000), 1:1 (target 1, serial "
        "SN1001), size max\n",
        "  not attempted: add hot spare 1:2 (target 2, serial SN1002)\n"}) {
    EXPECT_TRUE(Has(message, part)) << part << "\n" << message;
  }
  // CREATE rolled its physical disks back: the controller is as it was.
  EXPECT_EQ(layout["changed"], false);
  EXPECT_EQ(layout["remaining"], layout["plan"]);
  EXPECT_TRUE(Has(Recap(failed), "failed=1")) << failed.out;

  PlayRun converged = host.Play(kMirrorAndSpare, {"layout"});
  ASSERT_EQ(converged.status, 0) << converged.out << converged.err;
  EXPECT_EQ(converged.results["layout"]["changed"], true);
  PlayRun again = host.Play(kMirrorAndSpare, {"layout"});
  EXPECT_TRUE(Has(Recap(again), "changed=0")) << again.out;
}

// The example play of a README: its first YAML block.
std::string ExamplePlay(const std::string& readme) {
  std::string text = SourceText(readme);
  size_t begin = text.find("```yaml\n");
  if (begin == std::string::npos) return "";
  begin += 8;
  return text.substr(begin, text.find("```", begin) - begin);
}

TEST(AnsibleLayout, TheDocumentedPlaysConvergeTheBuiltInLab) {
  for (const char* readme : {"README.md", "ansible/ansible_collections/volkit/raid/README.md"}) {
    SCOPED_TRACE(readme);
    std::string play = ExamplePlay(readme);
    ASSERT_NE(play, "");
    AnsibleHost host(DefaultLab());
    // root here already, and maybe without sudo
    const std::vector<std::string> options = {"-e", "ansible_become=false"};
    PlayRun first = host.PlayAsWritten(play, options);
    EXPECT_EQ(first.status, 0) << first.out << first.err;
    EXPECT_TRUE(Has(Recap(first), "changed=1")) << first.out;
    json now = json::parse(host.Volkit({"0", "layout"}).out)["controllers"][0];
    EXPECT_EQ(now["volumes"].size(), 2u) << now.dump();
    PlayRun second = host.PlayAsWritten(play, options);
    EXPECT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_TRUE(Has(Recap(second), "changed=0")) << second.out;
    EXPECT_EQ(RequestsNotReads(second.log), std::vector<json>());
  }
}

}  // namespace
}  // namespace volkit_test
