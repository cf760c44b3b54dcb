// Shared set-up of the parameter tests: a start-up model and a scratch program
// folder per test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/model.h"
#include "params/startup.h"

namespace torvik::test {

class StartedModel : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(StartUp(m).has_value());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("torvik6_params_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  Model m;
  std::filesystem::path folder;
};

}  // namespace torvik::test
