// Replacing a file so that a reader sees either its old or its new content,
// never a part: collectors such as node_exporter's textfile collector read
// the file at any moment.
#pragma once

#include <string>

// Writes `text` to a temporary file beside `path` (its name never ends in
// `.prom`, so no collector picks it up half written), flushes it to disk,
// gives it mode 0644 and renames it over `path`.  Returns 1 on success; on
// failure removes the temporary file, leaves `path` as it was, puts the
// reason into `error` and returns 0.
int ReplaceFileAtomically(const std::string& path, const std::string& text, std::string* error);
