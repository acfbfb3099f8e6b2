// volkit.raid.facts run by the real ansible-playbook against vxtsim: the
// facts are the document `volkit all json` prints and the verdict `volkit
// all health` gives, read with reads only; a host without controllers, a
// read that fails and a volkit that cannot be run each end as a fleet needs.
#include <gtest/gtest.h>

#include <cctype>

#include "delivery/ansible_play.h"
#include "support/lab.h"
#include "support/read_requests.h"

namespace volkit_test {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(AnsibleFacts, TheDocumentAndHealthOfVolkitOnTheBuiltInLab) {
  AnsibleHost host(DefaultLab());
  // Every read moves the lab's resync on: the plain runs below read the
  // state the play started from.
  json start = host.State();
  PlayRun play = host.Play("- volkit.raid.facts:\n  register: facts\n", {"facts"});
  ASSERT_EQ(play.status, 0) << play.out << play.err;
  EXPECT_NE(Recap(play).find("changed=0"), std::string::npos) << play.out;
  const json& facts = play.results["facts"];
  EXPECT_EQ(facts["changed"], false);
  EXPECT_EQ(facts["volkit_exit_status"], 0);
  EXPECT_FALSE(facts.contains("warnings")) << facts.dump(1);
  EXPECT_TRUE(RequestsNotReads(play.log).empty());
  EXPECT_FALSE(play.log.empty());

  host.SetState(start);
  VolkitRun document = host.Volkit({"all", "json"});
  ASSERT_EQ(document.status, 0) << document.err;
  EXPECT_EQ(facts["ansible_facts"]["volkit"], json::parse(document.out));

  host.SetState(start);
  VolkitRun health = host.Volkit({"all", "health"});
  const json& verdict = facts["ansible_facts"]["volkit_health"];
  EXPECT_EQ(verdict["state"], "warning");
  ASSERT_EQ(verdict["reasons"].size(), 1u) << verdict.dump();
  EXPECT_EQ(health.status, 1);
  EXPECT_EQ(health.out.rfind("VOLKIT " + Upper(verdict["state"]) + " - " +
                                 verdict["reasons"][0].get<std::string>() + " | ",
                             0),
            0u)
      << health.out << verdict.dump();
}

TEST(AnsibleFacts, HostsWithoutControllersAndVolkitsThatCannotRun) {
  AnsibleHost host(Lab(R"({"controllers": []})"));
  PlayRun play = host.Play(R"(- name: A server of the fleet without these adapters
  volkit.raid.facts:
  register: bare
- name: A server that must have one
  volkit.raid.facts:
    fail_on_missing: true
  register: demanded
  ignore_errors: true
- name: A server without volkit
  volkit.raid.facts:
    volkit_path: /nonexistent/volkit
  register: absent
  ignore_errors: true
)",
                           {"bare", "demanded", "absent"});
  EXPECT_EQ(play.status, 0) << play.out << play.err;
  const json& bare = play.results["bare"];
  EXPECT_FALSE(bare.value("failed", false)) << bare.dump(1);
  EXPECT_EQ(bare["volkit_exit_status"], 2);
  EXPECT_EQ(bare["ansible_facts"]["volkit"]["controllers"], json::array());
  EXPECT_EQ(bare["ansible_facts"]["volkit_health"]["state"], "unknown");

  const json& demanded = play.results["demanded"];
  EXPECT_EQ(demanded["failed"], true);
  EXPECT_EQ(demanded["msg"], "no RAID controller: no controllers found");

  const json& absent = play.results["absent"];
  EXPECT_EQ(absent["failed"], true);
  EXPECT_EQ(absent["msg"], "volkit cannot be run: /nonexistent/volkit is not an executable file");
  EXPECT_NE(Recap(play).find("ignored=2"), std::string::npos) << play.out;
}

TEST(AnsibleFacts, AReadThatFailsWarnsAndStillReturnsTheDocument) {
  json lab = DefaultLab();
  lab["faults"] = json::array(
      {{{"match", {{"controller", 0}, {"page", "RaidVolPg0"}}}, {"effect", {{"ioc_status", 4}}}}});
  AnsibleHost host(lab);
  PlayRun play = host.Play("- volkit.raid.facts:\n  register: facts\n", {"facts"});
  ASSERT_EQ(play.status, 0) << play.out << play.err;
  const json& facts = play.results["facts"];
  EXPECT_EQ(facts["volkit_exit_status"], 1);
  ASSERT_TRUE(facts["warnings"].is_array()) << facts.dump(1);
  EXPECT_EQ(facts["warnings"][0].get<std::string>().rfind("volkit: ", 0), 0u);
  EXPECT_NE(play.err.find("[WARNING]: volkit: "), std::string::npos) << play.err;
  const json& controllers = facts["ansible_facts"]["volkit"]["controllers"];
  ASSERT_EQ(controllers.size(), 2u);
  EXPECT_EQ(controllers[0]["complete"], false);
  EXPECT_EQ(controllers[1]["complete"], true);
  EXPECT_NE(facts["ansible_facts"]["volkit_health"]["state"], "ok");
}

}  // namespace
}  // namespace volkit_test
