// Programming-error checks that stay armed in release builds and end the
// program with the C library's assertion message, naming the condition as
// written in the request layer's contract.
#pragma once

#include <cassert>

// <cassert> leaves this undeclared under NDEBUG; the checks stay armed in
// release builds all the same.
extern "C" [[noreturn]] void __assert_fail(const char* assertion, const char* file,
                                           unsigned int line, const char* function) noexcept;

#define VXT_ASSERT(condition, text) \
  ((condition) ? static_cast<void>(0) : __assert_fail(text, __FILE_NAME__, __LINE__, __func__))
