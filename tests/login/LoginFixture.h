#pragma once
// The login screen on the headless desktop, in a sandboxed home (the login
// window runs the first-run setup), with a headless page behind every browser
// and the process exit caught: ExitProcessNow throws ProcessEnded. The sandbox
// lives as long as the test suite, because the client keeps its install
// folder for the life of the process.
#include <gtest/gtest.h>

#include <functional>

#include "login/WebFormLogin.h"
#include "platform/Process.h"
#include "support/Sandbox.h"
#include "ui/HeadlessFixture.h"
#include "ui/headless/HeadlessBrowser.h"

struct ProcessEnded {
  int code;
};

class LoginTest : public HeadlessTest {
 protected:
  static void SetUpTestSuite() { sandbox_ = new zorv::test::Sandbox(); }
  static void TearDownTestSuite() {
    delete sandbox_;
    sandbox_ = nullptr;
  }

  void SetUp() override {
    HeadlessTest::SetUp();
    ui::headless::InstallHeadlessBrowser();
    platform::SetExitHook([](int code) { throw ProcessEnded{code}; });
    SetLoginUpdateCheck([this] { ++updateChecks; });
  }

  void TearDown() override {
    SetLoginUpdateCheck({});
    platform::SetExitHook({});
    HeadlessTest::TearDown();
  }

  zorv::test::Sandbox& Sandbox() { return *sandbox_; }

  int updateChecks = 0;

 private:
  static inline zorv::test::Sandbox* sandbox_ = nullptr;
};
