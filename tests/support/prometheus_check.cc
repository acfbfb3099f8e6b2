#include "support/prometheus_check.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "support/run_program.h"

namespace volkit_test {
namespace {

struct Sample {
  std::string Name, Labels, Value, Rest;
};

// Splits `name{labels} value [rest]`, labels holding quoted values with
// backslash escapes; false when the line is no sample.
bool ParseSample(const std::string& line, Sample* s) {
  size_t i = 0;
  while (i < line.size() && line[i] != '{' && line[i] != ' ') ++i;
  s->Name = line.substr(0, i);
  s->Labels.clear();
  if (i < line.size() && line[i] == '{') {
    size_t start = i;
    bool quoted = false;
    for (++i; i < line.size(); ++i) {
      if (quoted && line[i] == '\\') {
        ++i;
      } else if (line[i] == '"') {
        quoted = !quoted;
      } else if (!quoted && line[i] == '}') {
        break;
      }
    }
    if (i == line.size()) return false;
    s->Labels = line.substr(start, i + 1 - start);
    ++i;
  }
  if (i >= line.size() || line[i] != ' ') return false;
  std::string tail = line.substr(i + 1);
  size_t blank = tail.find(' ');
  s->Value = tail.substr(0, blank);
  s->Rest = blank == std::string::npos ? "" : tail.substr(blank);
  return !s->Name.empty() && !s->Value.empty();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace

void ExpectWellFormedExposition(const std::string& text) {
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n') << "no final newline";
  std::set<std::string> families_seen, series_seen;
  std::string family;  // the family whose group is open
  std::string expect;  // "TYPE" after a HELP line, else ""
  for (const std::string& line : Lines(text)) {
    if (line.rfind("# HELP ", 0) == 0) {
      family = line.substr(7, line.find(' ', 7) - 7);
      EXPECT_TRUE(families_seen.insert(family).second) << "family opened twice: " << line;
      expect = "TYPE";
      continue;
    }
    if (line.rfind("# TYPE ", 0) == 0) {
      EXPECT_EQ(expect, "TYPE") << "TYPE without HELP first: " << line;
      EXPECT_EQ(line, "# TYPE " + family + " gauge");
      expect.clear();
      continue;
    }
    EXPECT_TRUE(expect.empty()) << "HELP without TYPE before " << line;
    Sample s;
    ASSERT_TRUE(ParseSample(line, &s)) << "not a sample: " << line;
    EXPECT_EQ(s.Name, family) << "series outside its family's group: " << line;
    EXPECT_EQ(s.Rest, "") << "timestamp or trailing text: " << line;
    EXPECT_TRUE(series_seen.insert(s.Name + s.Labels).second) << "series twice: " << line;
  }
}

void ExpectStateSetsHoldOneOne(const std::string& text, const std::string& family) {
  std::map<std::string, std::pair<int, int>> groups;  // ones, others
  for (const std::string& line : Lines(text)) {
    Sample s;
    if (line[0] == '#' || !ParseSample(line, &s) || s.Name != family) continue;
    size_t state = s.Labels.find(",state=\"");
    ASSERT_NE(state, std::string::npos) << line;
    std::string group = s.Labels.substr(0, state);
    if (s.Value == "1") {
      ++groups[group].first;
    } else {
      EXPECT_EQ(s.Value, "0") << line;
      ++groups[group].second;
    }
  }
  EXPECT_FALSE(groups.empty()) << "no " << family;
  for (const auto& [group, count] : groups) {
    EXPECT_EQ(count.first, 1) << family << group;
    EXPECT_GT(count.second, 0) << family << group;
  }
}

std::string SeriesValue(const std::string& text, const std::string& series) {
  for (const std::string& line : Lines(text)) {
    Sample s;
    if (line[0] != '#' && ParseSample(line, &s) && s.Name + s.Labels == series) return s.Value;
  }
  return "";
}

VolkitRun PromtoolCheck(const std::string& text) {
  return RunProgram({"/usr/bin/promtool", "check", "metrics"}, text);
}

}  // namespace volkit_test
