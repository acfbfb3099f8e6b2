// Shared texts and helpers of the report tests.  Expected texts are written
// out here, never produced by volkit's own code.
#pragma once

#include <string>

#include "support/banner.h"
#include "support/lab.h"

namespace volkit_test {

inline constexpr char kRule[] =
    "------------------------------------------------------------------------\n";

inline std::string SectionHeader(const std::string& title) { return kRule + title + "\n" + kRule; }

// The part of `text` from the line starting with `first` up to (not
// including) the next line starting with `next`, or to the end.
std::string Slice(const std::string& text, const std::string& first, const std::string& next);

// A fresh directory for files a test asks volkit to write.
std::string TempDir();

std::string ReadFile(const std::string& path);

// A SAS controller 0 with nothing attached and nothing configured.
json EmptySasLab();

// A parallel SCSI controller 0 with nothing attached.
json EmptyScsiLab();

}  // namespace volkit_test
