#include "delivery/source_tree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace volkit_test {

std::string SourceText(const std::string& relative_path) {
  std::ifstream in(std::string(VOLKIT_SOURCE_DIR) + "/" + relative_path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << relative_path;
  std::ostringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

std::vector<std::string> CommandTableWords() {
  std::string table = SourceText("src/cli/command_table.cc");
  std::vector<std::string> words;
  std::regex row(R"re(\{"([a-z0-9]+)",)re");
  for (std::sregex_iterator it(table.begin(), table.end(), row), end; it != end; ++it) {
    words.push_back((*it)[1]);
  }
  return words;
}

}  // namespace volkit_test
