// A GoogleTest fixture for form tests: a headless session per test whose unanswered modal calls
// and unused scripted answers fail the test.
#pragma once

#include <gtest/gtest.h>

#include "vcl/headless.h"

namespace vcl::headless {

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    gui.responder().SetFailureHandler([](const std::string& message) { ADD_FAILURE() << message; });
  }
  void TearDown() override {
    EXPECT_EQ(gui.responder().Pending(), 0u) << "scripted answers were not used";
  }
  Responder& responder() { return gui.responder(); }

  Session gui;
};

}  // namespace vcl::headless
