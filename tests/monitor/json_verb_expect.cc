#include "monitor/json_verb_expect.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "support/lab.h"
#include "support/read_requests.h"
#include "support/run_program.h"

namespace volkit_test {
namespace {

std::string Validate(const VolkitRun& run) {
  const std::string doc = run.dir + "/document.json";
  std::ofstream(doc) << run.out;
  // The real validator of Debian's python3-jsonschema, draft 7.
  const std::string script =
      "import json, sys, jsonschema\n"
      "schema = json.load(open(sys.argv[1]))\n"
      "jsonschema.Draft7Validator.check_schema(schema)\n"
      "jsonschema.Draft7Validator(schema).validate(json.load(open(sys.argv[2])))\n";
  VolkitRun check = RunProgram(
      {"/usr/bin/python3", "-c", script, SourceTreePath("docs/volkit-json.schema.json"), doc});
  return check.status == 0 ? "" : check.err;
}

// DISPLAY's device blocks by target: each label with its value, trimmed.
std::map<int, std::map<std::string, std::string>> DisplayTargets(const std::string& report) {
  std::map<int, std::map<std::string, std::string>> targets;
  std::istringstream in(report);
  std::string line;
  int target = -1;
  while (std::getline(in, line)) {
    if (line.rfind("Target on ID #", 0) == 0) {
      target = std::stoi(line.substr(14));
    } else if (line.rfind("Enclosure#", 0) == 0 || line.rfind("---", 0) == 0) {
      target = -1;
    }
    size_t colon = line.find(" : ");
    if (target < 0 || colon == std::string::npos) continue;
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(' '));
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    targets[target][trim(line.substr(0, colon))] = trim(line.substr(colon + 3));
  }
  return targets;
}

const std::map<std::string, std::string> kStateWords = {
    {"Online (ONL)", "online"},       {"Out of Sync (OSY)", "out_of_sync"},
    {"Hot Spare (HSP)", "hot_spare"}, {"Missing (MIS)", "missing"},
    {"Failed (FLD)", "failed"},       {"Offline Requested (OFLR)", "offline_requested"},
    {"Ready (RDY)", "ready"},         {"Available (AVL)", "available"},
    {"Standby (SBY)", "standby"},
};

}  // namespace

json Document(const VolkitRun& run) {
  EXPECT_EQ(run.out.find("Norvane"), std::string::npos) << "a banner before the document";
  json doc = json::parse(run.out, nullptr, false);
  EXPECT_FALSE(doc.is_discarded()) << run.out;
  if (doc.is_discarded()) return json::object();
  EXPECT_EQ(Validate(run), "");
  EXPECT_EQ(doc["volkit"]["exit_status"], run.status);
  size_t requests = 0;
  for (const json& line : run.Ioctls()) {
    EXPECT_TRUE(IsReadRequest(line)) << line.dump();
    // The budget counts firmware requests; asking the driver which
    // controllers exist is not one.
    if (line["kind"] == "passthrough") ++requests;
  }
  size_t budget = 0;
  for (const json& c : doc["controllers"]) {
    budget += 40 + 10 * c["devices"].size() + 6 * c["volumes"].size();
  }
  EXPECT_LE(requests, std::max<size_t>(budget, 1)) << "over the request budget";
  return doc;
}

json RunJson(const json& lab, const std::vector<std::string>& args, int want_status) {
  VolkitRun run = RunVolkit(lab, args);
  EXPECT_EQ(run.status, want_status) << run.err;
  return Document(run);
}

void ExpectAgreesWithDisplay(const json& lab, const json& doc, int controller) {
  VolkitRun display = RunVolkit(lab, {std::to_string(controller), "display"});
  auto targets = DisplayTargets(display.out);
  json devices;
  for (const json& c : doc["controllers"]) {
    if (c["controller"] == controller) devices = c["devices"];
  }
  for (const auto& [target, shown] : targets) {
    SCOPED_TRACE("target " + std::to_string(target));
    const json* found = nullptr;
    for (const json& d : devices) {
      if (d["target"] == target) found = &d;
    }
    ASSERT_NE(found, nullptr);
    const json& d = *found;
    EXPECT_EQ(d["vendor"], shown.at("Manufacturer"));
    EXPECT_EQ(d["model"], shown.at("Model Number"));
    EXPECT_EQ(d["firmware_revision"], shown.at("Firmware Revision"));
    // A member of an inactive volume is not asked: blank there, unknown here.
    if (shown.count("Serial No") && !d["serial"].is_null()) {
      EXPECT_EQ(d["serial"], shown.at("Serial No"));
    }
    if (shown.count("State")) {
      EXPECT_EQ(d["state"], kStateWords.at(shown.at("State")));
    }
    if (shown.count("Enclosure #")) {
      EXPECT_EQ(d["enclosure"], std::stoi(shown.at("Enclosure #")));
      EXPECT_EQ(d["slot"], std::stoi(shown.at("Slot #")));
    }
    if (shown.count("Size (in MB)/(in sectors)")) {
      const std::string& size = shown.at("Size (in MB)/(in sectors)");
      EXPECT_EQ(std::to_string(d["blocks"].get<uint64_t>()), size.substr(size.find('/') + 1));
    }
    EXPECT_EQ(d["ssd"] == true, shown.at("Drive Type") == "SSD");
    if (shown.count("Protocol")) {
      EXPECT_EQ(d["protocol"], shown.at("Protocol") == "SATA" ? "sata" : "sas");
    }
  }
  EXPECT_EQ(devices.size(), targets.size());
}

}  // namespace volkit_test
