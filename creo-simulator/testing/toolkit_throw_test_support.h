// EXPECT_TOOLKIT_THROW(statement, Class): the statement throws the toolkit
// exception Class, by pointer as the toolkit does, and nothing is left behind.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/toolkit_errors.h"
#include "sim_text.h"

template <class Call>
std::string thrownToolkitClass(const Call& call) {
  try {
    call();
  }
  xcatchbegin
  xcatchcip(e) return creosim::textOf(e->getCipTypeName());
  xcatchend
  return "nothing";
}

#define EXPECT_TOOLKIT_THROW(statement, Class) EXPECT_EQ(thrownToolkitClass([&] { statement; }), #Class)
