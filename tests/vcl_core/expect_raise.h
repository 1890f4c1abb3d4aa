// Checks that a call raises the class library exception E with exactly this message.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "vcl/sysutils.h"

template <class E, class Call>
void ExpectRaise(Call&& call, const AnsiString& message, const std::string& what) {
  try {
    call();
    ADD_FAILURE() << "no exception: " << what;
  } catch (const E& e) {
    EXPECT_EQ(e.Message, message) << what;
  }
}
