// The syntax check of a layout document before its values are read: well-
// formed JSON, no key twice in one object, nesting within reason.
#pragma once

#include <string>

// 1 when `text` passes; 0 with `error` saying where it does not.
int CheckLayoutSyntax(const std::string& text, std::string* error);
