#pragma once
// A test fixture that runs the framework on a fresh headless backend and, at
// the end, fails the test when scripted steps never ran or a script failure
// was swallowed on the way.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/System.h"
#include "ui/headless/HeadlessBackend.h"

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<ui::headless::HeadlessBackend>();
    headless_ = backend.get();
    ui::Init(std::move(backend));
  }

  void TearDown() override {
    std::string pending;
    for (const std::string& step : headless_->PendingSteps()) pending += "\n  " + step;
    EXPECT_TRUE(pending.empty()) << "scripted steps that never ran:" << pending;
    std::string failures;
    for (const std::string& failure : headless_->Failures()) failures += "\n  " + failure;
    EXPECT_TRUE(failures.empty()) << "script failures:" << failures;
    ui::Shutdown();
  }

  ui::headless::HeadlessBackend& hl() { return *headless_; }

 private:
  ui::headless::HeadlessBackend* headless_ = nullptr;
};
