// EXPECT_HAS_PARTS(text, {part, ...}): each part appears in what a person saw
// (a transcript, a program's output, a log), which is shown when one is missing.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

inline void expectHasParts(const std::string& text, std::initializer_list<std::string> parts) {
  for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << "\nis not in:\n" << text;
}

#define EXPECT_HAS_PARTS(text, ...)    \
  do {                                 \
    SCOPED_TRACE(#text);               \
    expectHasParts(text, __VA_ARGS__); \
  } while (false)
