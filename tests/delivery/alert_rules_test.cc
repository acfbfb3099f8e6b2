// The alert rules the volkit package ships, held to the real promtool: the
// unit tests beside them pass, every rule carries a severity and its texts
// and has cases that fire it and that must not, and on the metrics volkit
// itself writes the rules fire as meant.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "support/lab.h"
#include "support/run_program.h"
#include "support/spare_takeover.h"
#include "support/volkit_run.h"

namespace volkit_test {
namespace {

const std::string kRulesDir = std::string(VOLKIT_SOURCE_DIR) + "/prometheus";

std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

VolkitRun Promtool(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"/usr/bin/promtool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

// Each rule's entry in the rules file, by alert name.
std::map<std::string, std::string> Rules() {
  std::map<std::string, std::string> rules;
  const std::string text = ReadFile(kRulesDir + "/volkit-alerts.yml");
  const std::string mark = "\n      - alert: ";
  for (size_t at = text.find(mark); at != std::string::npos;) {
    size_t next = text.find(mark, at + 1);
    std::string entry = text.substr(at + mark.size(), next - at - mark.size());
    rules[entry.substr(0, entry.find('\n'))] = entry;
    at = next;
  }
  return rules;
}

TEST(AlertRules, PromtoolUnitTestsPass) {
  VolkitRun run = Promtool({"test", "rules", kRulesDir + "/volkit-alerts.test.yml"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("SUCCESS"), std::string::npos) << run.out;
}

TEST(AlertRules, EachRuleHasASeverityItsTextsAndCasesBothWays) {
  const std::map<std::string, std::string> rules = Rules();
  VolkitRun check = Promtool({"check", "rules", kRulesDir + "/volkit-alerts.yml"});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_NE(check.out.find("SUCCESS: " + std::to_string(rules.size()) + " rules found"),
            std::string::npos)
      << check.out;
  EXPECT_GE(rules.size(), 7u);

  const std::string tests = ReadFile(kRulesDir + "/volkit-alerts.test.yml");
  std::map<std::string, std::pair<int, int>> cases;  // firing, quiet
  static const std::regex kCase(R"(alertname: (\w+)\n *exp_alerts:( \[\])?\n)");
  for (std::sregex_iterator it(tests.begin(), tests.end(), kCase), end; it != end; ++it) {
    auto& count = cases[(*it)[1]];
    ++((*it)[2].matched ? count.second : count.first);
  }
  for (const auto& [name, entry] : rules) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(std::regex_search(entry, std::regex("\n          severity: (critical|warning)\n")));
    EXPECT_NE(entry.find("\n          summary: "), std::string::npos);
    EXPECT_NE(entry.find("\n          description: "), std::string::npos);
    EXPECT_GT(cases[name].first, 0) << "no case fires it";
    EXPECT_GT(cases[name].second, 0) << "no case where it must stay quiet";
  }
  for (const auto& [name, count] : cases) EXPECT_EQ(rules.count(name), 1u) << name;
}

// A promtool unit test that feeds `metrics` in, unchanged for half an hour
// from one host, and expects exactly `firing` (ALERTS series, one a line) at
// `eval_time`.
std::string AlertsTest(const std::string& metrics, const std::string& eval_time,
                       const std::vector<std::string>& firing) {
  std::string text = "rule_files:\n  - " + kRulesDir +
                     "/volkit-alerts.yml\nevaluation_interval: 1m\ntests:\n"
                     "  - interval: 1m\n    input_series:\n";
  std::istringstream lines(metrics);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    size_t blank = line.rfind(' ');
    std::string series = line.substr(0, blank), value = line.substr(blank + 1);
    size_t brace = series.find('{');
    series = brace == std::string::npos
                 ? series + R"({instance="db1:9100",job="node"})"
                 : series.substr(0, brace) + R"({instance="db1:9100",job="node",)" +
                       series.substr(brace + 1);
    std::string values;
    for (int minute = 0; minute <= 30; ++minute) values += (minute ? " " : "") + value;
    text += "      - series: '" + std::regex_replace(series, std::regex("'"), "''") + "'\n";
    text += "        values: '" + values + "'\n";
  }
  text += "    promql_expr_test:\n      - expr: ALERTS{alertstate=\"firing\"}\n";
  text += "        eval_time: " + eval_time + "\n        exp_samples:";
  if (firing.empty()) text += " []";
  text += "\n";
  for (const std::string& alert : firing) {
    text += "          - labels: '" + alert + "'\n            value: 1\n";
  }
  return text;
}

VolkitRun RunAlertsTest(const std::string& test) {
  std::string dir = MakeScratchDir();
  std::ofstream(dir + "/alerts.test.yml") << test;
  return Promtool({"test", "rules", dir + "/alerts.test.yml"});
}

TEST(AlertRules, OnVolkitsOwnMetricsTheDiskTheSpareReplacedFiresAndAResyncDoesNot) {
  VolkitRun metrics = RunVolkitAgain(SpareTookOverAndResynced(), {"all", "metrics"});
  ASSERT_EQ(metrics.status, 0) << metrics.err;
  std::string test = AlertsTest(
      metrics.out, "20m",
      {R"(ALERTS{alertname="VolkitDiskFailedInNoVolume",alertstate="firing",instance="db1:9100",)"
       R"(job="node",controller="0",physical_disk="1",target="1",role="none",state="failed",)"
       R"(severity="warning"})"});
  VolkitRun run = RunAlertsTest(test);
  EXPECT_EQ(run.status, 0) << run.out << run.err << test;

  // The built-in lab as it comes: a mirror resynchronising, 20 minutes on.
  metrics = RunVolkit(DefaultLab(), {"all", "metrics"});
  ASSERT_EQ(metrics.status, 0) << metrics.err;
  ASSERT_NE(metrics.out.find("volkit_volume_resync_active{controller=\"0\",volume=\"0\"} 1\n"),
            std::string::npos);
  test = AlertsTest(metrics.out, "20m", {});
  run = RunAlertsTest(test);
  EXPECT_EQ(run.status, 0) << run.out << run.err << test;
}

}  // namespace
}  // namespace volkit_test
