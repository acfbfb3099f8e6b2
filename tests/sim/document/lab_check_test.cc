// Reading labs strictly: one line naming the place of each mistake, the
// launcher and the interposer refusing a lab that does not check, and a
// state written back that reads as the lab it was made from.
#include <gtest/gtest.h>

#include <fstream>

#include "document/state_file.h"
#include "sim/firmware/firmware_fixture.h"
#include "support/lab.h"
#include "support/volkit_run.h"

namespace vxtsim_test {
namespace {

using volkit_test::Lab;

std::vector<std::string> Problems(const json& lab) {
  vxtsim::Model model;
  return vxtsim::ReadModel(lab, model);
}

TEST(LabCheck, EachMistakeGivesOneLineNamingItsPlace) {
  struct Case {
    const char* lab;
    const char* line;
  };
  const Case cases[] = {
      {R"({"nodes": {}})",
       "top level: unknown key \"nodes\" (did you mean \"node\"?); allowed: node, controllers, "
       "faults, vxtsim"},
      {R"({"node": {"exist": true}})",
       "node: unknown key \"exist\" (did you mean \"exists\"?); allowed: exists, creatable, "
       "driver_loaded, mode, major, minor"},
      {R"({"controllers": [{"number": 0, "disks": []}]})",
       "controllers[0]: unknown key \"disks\"; allowed: number, kind, pci, ioc_facts, port_facts, "
       "pages, devices, enclosures, device_walk, enclosure_walk, raid, runtime; in controller 0"},
      {R"({"controllers": [{"number": 0, "devices": [{}, {}, {"target": 2, "blokcs": 100}]}]})",
       nullptr},
      {R"({"controllers": [{"number": 0, "pages": {"IocPg2": {"MaxVolume": 2}}}]})", nullptr},
      {R"({"controllers": [{"number": 0, "pages": {"IocPg7": {}}}]})", nullptr},
      {R"({"controllers": [{"number": 0, "raid": {"volumes": [{"id": 0, "resync": {"left": 1}}]}}]})",
       nullptr},
      {R"({"controllers": [{"number": 0, "devices": [{"target": 300}]}]})",
       "controllers[0].devices[0].target: 300 is out of range (0 to 255); in controller 0"},
      {R"({"controllers": [{"number": 0, "pages": {"IocPg1": {"PciSlotNum": 512}}}]})",
       "controllers[0].pages.IocPg1.PciSlotNum: 512 is out of range (0 to 255); in controller 0"},
      {R"({"controllers": [{"number": 0, "devices": [{"target": -1}]}]})",
       "controllers[0].devices[0].target: -1 is out of range (0 to 255); in controller 0"},
      {R"({"controllers": [{"number": 0, "devices": [{"blocks": "many"}]}]})",
       "controllers[0].devices[0].blocks: expected a number, got \"many\"; in controller 0"},
      {R"({"controllers": [{"number": 0, "devices": [{"vendor": 7}]}]})",
       "controllers[0].devices[0].vendor: expected a string, got 7; in controller 0"},
      {R"({"controllers": [{"number": 0, "devices": [{"ssd": "yes"}]}]})",
       "controllers[0].devices[0].ssd: expected true or false, got \"yes\"; in controller 0"},
      {R"({"controllers": [{"number": 0, "devices": [{"protocol": "fc"}]}]})",
       "controllers[0].devices[0].protocol: expected \"sas\" or \"sata\", got \"fc\"; in "
       "controller 0"},
      {R"({"controllers": {"number": 0}})", "controllers: expected a list, got {\"number\":0}"},
      {R"({"controllers": [{"number": 0, "devices": [{"target": 1}, {"target": 1}]}]})",
       "controllers[0].devices[1]: target 1 on bus 0 repeats controllers[0].devices[0]'s; in "
       "controller 0"},
      {R"({"controllers": [{"number": 0}, {"number": 0}]})",
       "controllers[1]: number 0 repeats controllers[0]'s"},
      {R"({"controllers": [{"pci": {}}]})", "controllers[0]: needs a \"number\" from 0 to 255"},
      {R"({"controllers": [{"number": 0, "raid": {"phys_disks": [{"num": 0}],
           "volumes": [{"id": 0, "members": [0, 4]}]}}]})",
       "controllers[0].raid.volumes[0].members[1]: no physical disk has num 4; in controller 0"},
      {R"({"controllers": [{"number": 0, "raid": {"phys_disks": [{"num": 1}, {"num": 1}]}}]})",
       "controllers[0].raid.phys_disks[1]: num 1 repeats controllers[0].raid.phys_disks[0]'s; in "
       "controller 0"},
      {R"({"faults": [{"match": {"scsi_opcod": 18}}]})", nullptr},
      {R"({"faults": [{"match": {"page": "IocPg9"}}]})", nullptr},
      {R"({"faults": [{"effect": {"errno": "EWHAT"}}]})",
       "faults[0].effect.errno: expected an errno number or name, got \"EWHAT\""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> problems = Problems(Lab(c.lab));
    ASSERT_EQ(problems.size(), 1u) << c.lab;
    if (c.line) {
      EXPECT_EQ(problems[0], c.line) << c.lab;
    }
  }
  EXPECT_EQ(Problems(Lab(cases[3].lab))[0].rfind(
                "controllers[0].devices[2]: unknown key \"blokcs\" (did you mean \"blocks\"?); "
                "allowed: handle, kind, target",
                0),
            0u);
  EXPECT_NE(Problems(Lab(cases[4].lab))[0].find("(did you mean \"MaxVolumes\"?)"),
            std::string::npos);
  EXPECT_EQ(Problems(Lab(cases[5].lab))[0].rfind(
                "controllers[0].pages: unknown key \"IocPg7\" (did you mean \"IocPg1\"?)", 0),
            0u);
  EXPECT_EQ(Problems(Lab(cases[6].lab))[0].rfind(
                "controllers[0].raid.volumes[0].resync: unknown key \"left\"; allowed: total, "
                "remaining, step",
                0),
            0u);
  EXPECT_EQ(Problems(Lab(cases[20].lab))[0].rfind(
                "faults[0].match: unknown key \"scsi_opcod\" (did you mean \"scsi_opcode\"?)", 0),
            0u);
  EXPECT_EQ(Problems(Lab(cases[21].lab))[0].rfind(
                "faults[0].match.page: unknown page \"IocPg9\" (did you mean", 0),
            0u);
  // Several mistakes: every one is named.
  EXPECT_EQ(Problems(Lab(R"({"node": {"exist": 1}, "faults": [{"nth": "x"}]})")).size(), 2u);
}

TEST(LabCheck, BuiltInLabChecksAndSurvivesARoundTrip) {
  json lab = volkit_test::DefaultLab();
  EXPECT_TRUE(Problems(lab).empty());
  vxtsim::Model model = vxtsim::ModelOf(lab, "built-in lab");
  EXPECT_EQ(vxtsim::WriteModel(model), lab);
  // Through a state and back: the same document plus the state's own key.
  json state = vxtsim::StateFromLab(lab);
  json again = vxtsim::WriteModel(vxtsim::ModelOf(state, "state"));
  EXPECT_EQ(again, state);
  again.erase("vxtsim");
  EXPECT_EQ(again, lab);
}

TEST(LabCheck, StateWrittenBackAfterAChangeKeepsTheRestAsTheLabHadIt) {
  json lab = volkit_test::DefaultLab();
  Firmware fw(vxtsim::StateFromLab(lab));
  Bytes page = fw.ReadPage(0, 1, 1, 1).data;  // IocPg1
  page[13] = 7;
  ASSERT_EQ(fw.WritePage(0, 2, page).status(), 0);
  json ctl = fw.state()["controllers"][0];
  EXPECT_EQ(ctl["pages"]["IocPg1"]["PciSlotNum"], 7);
  EXPECT_EQ(ctl["pages"]["IocPg1"]["nvram"]["PciSlotNum"], 2);
  ctl["pages"]["IocPg1"] = lab["controllers"][0]["pages"]["IocPg1"];
  EXPECT_EQ(ctl, lab["controllers"][0]);
  EXPECT_EQ(fw.state()["controllers"][1], lab["controllers"][1]);
}

TEST(LabCheck, LauncherRefusesALabThatDoesNotCheck) {
  json lab = volkit_test::SasLab();
  lab["controllers"][0]["devices"][1]["blokcs"] = 100;
  volkit_test::VolkitRun run =
      volkit_test::RunVxtsim(lab, {"--", volkit_test::VolkitPath(), "0", "display"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("lab.json: controllers[0].devices[1]: unknown key \"blokcs\" (did you "
                         "mean \"blocks\"?)"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(run.log.empty());

  volkit_test::VolkitRun check = volkit_test::RunVxtsim(lab, {"check"});
  EXPECT_EQ(check.status, 2);
  EXPECT_EQ(check.out, "");
  EXPECT_NE(check.err.find("blokcs"), std::string::npos);
  volkit_test::VolkitRun fine = volkit_test::RunVxtsim(volkit_test::SasLab(), {"check"});
  EXPECT_EQ(fine.status, 0) << fine.err;
  EXPECT_EQ(fine.out, "ok\n");
}

TEST(LabCheck, InterposerRefusesTheNodeOnAStateThatDoesNotCheck) {
  volkit_test::VolkitRun run = volkit_test::RunVxtsim(volkit_test::SasLab(), {"reset"});
  ASSERT_EQ(run.status, 0) << run.err;
  json state = run.state;
  state["controllers"][0]["devices"][0]["blokcs"] = 1;
  {
    std::ofstream out(run.dir + "/state.json", std::ios::trunc);
    out << state.dump(1);
  }
  // The launcher is bypassed, as by a program started with the environment
  // a launcher set.
  volkit_test::VolkitRun probe = volkit_test::RunLauncher(
      {"--state", run.dir + "/launcher.json", "--", "/usr/bin/env",
       "VXTSIM_STATE=" + run.dir + "/state.json", VXTSIM_PROBE_BIN, "open"});
  EXPECT_NE(probe.out.find("open -1"), std::string::npos) << probe.out << probe.err;
  EXPECT_NE(probe.err.find("vxtsim: open /dev/vxtctl refused: " + run.dir +
                           "/state.json: controllers[0].devices[0]: unknown key \"blokcs\""),
            std::string::npos)
      << probe.err;
}

Firmware VpdFirmware() {
  return Firmware(vxtsim::StateFromLab(Lab(R"({"controllers": [{"number": 0, "devices": [
    {"target": 0, "serial": "S0", "blocks": 2048, "vpd_pages": [0, "0xB1"]},
    {"target": 1, "serial": "S1", "blocks": 2048}]}],
    "faults": [{"match": {"vpd_page": "0x80", "target": 1}, "effect": {"sense_key": 5, "asc": 36}}]})")));
}

Exchange Inquiry(Firmware& fw, uint8_t target, uint8_t evpd, uint8_t page) {
  Bytes f(48, 0);
  f[0] = target;
  f[3] = 0x00;
  f[4] = 6;
  f[24] = 0x12;
  f[25] = evpd;
  f[26] = page;
  f[28] = 255;
  PassThroughArgs args(0, f, 255);
  args.sge_words = 12;
  return fw.Send(args);
}

TEST(LabCheck, DisksAnswerTheVpdPagesTheyListAndFaultsMatchAPageCode) {
  Firmware fw = VpdFirmware();
  Exchange list = Inquiry(fw, 0, 1, 0x00);
  ASSERT_EQ(list.log["data_in_written"], 6);
  EXPECT_EQ(list.data[3], 2);
  EXPECT_EQ(list.data[4], 0x00);
  EXPECT_EQ(list.data[5], 0xB1);
  EXPECT_EQ(Inquiry(fw, 0, 1, 0xB1).log["data_in_written"], 64);
  EXPECT_EQ(Inquiry(fw, 0, 1, 0x80).log["data_in_written"], 0);  // no serial number page
  EXPECT_EQ(Inquiry(fw, 1, 1, 0x00).data[3], 3);                 // today's three pages
  Exchange refused = Inquiry(fw, 1, 1, 0x80);
  EXPECT_EQ(refused.log["fault"], 0);
  EXPECT_EQ(Inquiry(fw, 1, 1, 0xB1).log.contains("fault"), false);
  EXPECT_EQ(Inquiry(fw, 1, 0, 0x80).log.contains("fault"), false);  // not a VPD request
  EXPECT_EQ(fw.state()["faults"][0]["hits"], 1);
}

TEST(LabCheck, ShowMarksAnInactiveVolume) {
  json lab = Lab(R"({"controllers": [{"number": 0, "devices": [{"target": 0, "blocks": 2048}],
    "raid": {"phys_disks": [{"num": 0, "target": 0}],
             "volumes": [{"id": 3, "type": "IS", "members": [0], "inactive": true,
                          "max_lba": 99}]}}]})");
  volkit_test::VolkitRun show = volkit_test::RunVxtsim(lab, {"show"});
  EXPECT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("  volume 3: IS, 100 blocks, state 0, inactive, members 0\n"),
            std::string::npos)
      << show.out;
}

}  // namespace
}  // namespace vxtsim_test
