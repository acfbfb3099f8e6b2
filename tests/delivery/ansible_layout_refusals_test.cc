// volkit.raid.layout run by the real ansible-playbook against vxtsim, where
// it must not go ahead: volkit's refusals fail the task with their places
// in the task's parameters, what YAML may have garbled is refused before
// volkit runs, and the layout file the module writes does not outlive the
// task.
#include <gtest/gtest.h>

#include <filesystem>

#include "delivery/ansible_play.h"
#include "support/lab.h"
#include "support/read_requests.h"

namespace volkit_test {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Files the module left anywhere under the host's directory.
std::vector<std::string> LayoutFilesLeft(const AnsibleHost& host) {
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(host.Dir())) {
    if (entry.path().filename().string().rfind("volkit-layout-", 0) == 0) {
      left.push_back(entry.path().string());
    }
  }
  return left;
}

TEST(AnsibleLayout, WhatVolkitRefusesFailsTheTaskWithItsReasons) {
  AnsibleHost host(SasLab(4));
  PlayRun play = host.Play(R"(- name: A disk pinned to another serial number
  volkit.raid.layout:
    controllers:
      - controller: 0
        hot_spares: [{disk: "1:2", serial: "WRONG"}]
  register: pinned
  ignore_errors: true
- name: A controller the host does not have
  volkit.raid.layout:
    controllers:
      - controller: 7
        hot_spares: ["1:2"]
  register: absent
  ignore_errors: true
- name: A type volkit does not know
  volkit.raid.layout:
    controllers:
      - controller: 0
        volumes:
          - type: raid5
            disks: ["1:0", "1:1", "1:2"]
  register: invalid
  ignore_errors: true
)",
                           {"pinned", "absent", "invalid"}, {"--diff"});
  EXPECT_EQ(play.status, 0) << play.out << play.err;
  EXPECT_EQ(play.results["pinned"]["msg"],
            "volkit cannot carry out the layout: controller 0: controllers[0].hot_spares[0]: the "
            "disk in 1:2 has serial SN1002, the layout pins WRONG");
  EXPECT_EQ(play.results["absent"]["msg"],
            "volkit found no driver or not every controller named: controller 7 not found");
  EXPECT_EQ(play.results["invalid"]["msg"],
            "volkit cannot carry out the layout: controllers[0].volumes[0].type: must be im, "
            "raid1, ime, raid1e, is or raid0");
  for (const char* name : {"pinned", "absent", "invalid"}) {
    EXPECT_EQ(play.results[name]["failed"], true) << name;
    EXPECT_EQ(play.results[name]["changed"], false) << name;
  }
  EXPECT_TRUE(Has(Recap(play), "ignored=3")) << play.out;
  EXPECT_FALSE(play.log.empty());
  EXPECT_EQ(RequestsNotReads(play.log), std::vector<json>());
}

TEST(AnsibleLayout, DriveSpecifiersYamlTurnedIntoNumbersAreRefused) {
  AnsibleHost host(DefaultLab());
  // Ansible then keeps its own temporary files: only the module removes the
  // layout file it wrote.
  host.Configure("keep_remote_files = true\n");
  PlayRun play = host.Play(R"(- name: Encl:Bay left unquoted
  volkit.raid.layout:
    controllers:
      - controller: 0
        volumes:
          - type: im
            disks: [1:2, "1:3"]
  register: sexagesimal
  ignore_errors: true
- name: A serial number YAML reads as an octal number
  volkit.raid.layout:
    controllers:
      - controller: 0
        hot_spares: [{disk: "1:9", serial: 0012}]
  register: octal
  ignore_errors: true
- name: A target ID below 60 is one
  volkit.raid.layout:
    controllers:
      - controller: 0
        hot_spares: [9]
    volkit_path: /nonexistent/volkit
  register: target
  ignore_errors: true
)",
                           {"sexagesimal", "octal", "target"});
  EXPECT_EQ(play.status, 0) << play.out << play.err;
  EXPECT_EQ(play.results["sexagesimal"]["failed"], true);
  EXPECT_EQ(play.results["sexagesimal"]["msg"],
            "controllers[0].volumes[0].disks[0]: the number 62 is refused as a disk: YAML reads "
            "an unquoted Encl:Bay such as 1:2 as a number (62); quote drive specifiers (\"1:2\"), "
            "and write a target ID of 60 or more as a string (\"62\")");
  EXPECT_EQ(play.results["octal"]["failed"], true);
  EXPECT_EQ(play.results["octal"]["msg"],
            "controllers[0].hot_spares[0].serial: 10 is not a string; quote the serial number, "
            "or YAML may read it as a number");
  // Accepted, and then stopped only by the missing program.
  EXPECT_EQ(play.results["target"]["msg"],
            "volkit cannot be run: /nonexistent/volkit is not an executable file");
  EXPECT_TRUE(play.log.empty()) << "volkit ran";
  EXPECT_TRUE(LayoutFilesLeft(host).empty());
}

}  // namespace
}  // namespace volkit_test
