// Files of the source tree, for tests of what ships beside the programs.
#pragma once

#include <string>
#include <vector>

namespace volkit_test {

// The text of a file given relative to the top of the source tree.
std::string SourceText(const std::string& relative_path);

// The command words of volkit's command table, in table order, read from
// the table's source.
std::vector<std::string> CommandTableWords();

}  // namespace volkit_test
