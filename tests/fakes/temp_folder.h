// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh folder for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvani::fakes {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Path = std::filesystem::temp_directory_path() /
           (std::string("korvani-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] std::string File(const std::string& name) const { return (Path / name).string(); }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(Path / name, std::ios::binary) << content;
  }
  [[nodiscard]] std::string Read(const std::string& name) const {
    std::ifstream file(Path / name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  [[nodiscard]] bool Exists(const std::string& name) const { return std::filesystem::exists(Path / name); }

  std::filesystem::path Path;
};

}  // namespace korvani::fakes
