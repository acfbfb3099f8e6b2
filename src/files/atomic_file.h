// Replacing a file so that a reader sees either its old or its new content,
// never a part: collectors such as node_exporter's textfile collector read
// the metrics file at any moment, and a lab half written is no lab.  Shared
// by volkit and vxtsim's capture, so it stands on nothing but POSIX.
#pragma once

#include <string>

// Writes `text` to a temporary file beside `path`, made with mkostemp (a
// hidden name ending in random letters, so neither a collector's `.prom` nor
// another writer's name), flushes it to disk,
// gives it mode 0644 and renames it over `path`.  Returns 1 on success; on
// failure removes the temporary file, leaves `path` as it was, puts the
// reason into `error` and returns 0.
int ReplaceFileAtomically(const std::string& path, const std::string& text, std::string* error);
