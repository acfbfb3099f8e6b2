// The line volkit prints before every report and most messages, written out
// here rather than taken from volkit's own code.
#pragma once

namespace volkit_test {

inline constexpr char kBanner[] = "Norvane IR Configuration Utility 5.01.03.00\n";

}  // namespace volkit_test
