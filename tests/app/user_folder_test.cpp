// The user's folder that the launcher prepares: seeded once, never overwritten, whole copies.
#include "app/user_folder.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

class UserFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "installed");
    for (const char* name : kReferenceFiles)
      dir.write(std::string("installed/") + name, std::string("installed ") + name + "\n");
  }
  fs::path installed() const { return dir / "installed"; }
  std::string read(const fs::path& file) const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // No temporary copy is left in the folder.
  bool only_reference_names(const fs::path& folder) const {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().filename().string().front() == '.') return false;
    }
    return true;
  }

  TempDir dir;
  std::string error;
};

TEST_F(UserFolder, AFirstStartMakesTheFolderWithEveryReferenceFile) {
  const fs::path folder = dir / "home" / "AppData" / "Vantrel";
  ASSERT_TRUE(seed_user_folder(installed(), folder, error)) << error;
  for (const char* name : kReferenceFiles)
    EXPECT_EQ(read(folder / name), read(installed() / name)) << name;
  EXPECT_TRUE(only_reference_names(folder));
  EXPECT_TRUE(seed_user_folder(installed(), folder, error)) << "a second start is no error";
}

TEST_F(UserFolder, WhatTheUserHasThereStaysAndOnlyMissingFilesAreCopied) {
  const fs::path folder = dir / "Vantrel";
  fs::create_directories(folder);
  dir.write("Vantrel/fao-crop_databse.csv", "my own crops\n");
  fs::create_directories(folder / "Soil_texture_default.csv");  // even a folder of that name
  ASSERT_TRUE(seed_user_folder(installed(), folder, error)) << error;
  EXPECT_EQ(read(folder / "fao-crop_databse.csv"), "my own crops\n");
  EXPECT_TRUE(fs::is_directory(folder / "Soil_texture_default.csv"));
  EXPECT_EQ(read(folder / "Soil_WRC.csv"), read(installed() / "Soil_WRC.csv"));
}

TEST_F(UserFolder, FailuresNameTheirCauseAndLeaveNoPartialCopy) {
  struct Case {
    const char* what;
    const char* remove;   // an installed file taken away, or none
    const char* blocker;  // a file standing where the folder should be, or none
    const char* says;
  };
  const Case cases[] = {
      {"an installed file missing", "Soil_texture_default.csv", nullptr,
       "cannot read the reference file"},
      {"a file where the folder goes", nullptr, "Vantrel", "cannot create the folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir own;
    fs::create_directories(own / "installed");
    for (const char* name : kReferenceFiles)
      own.write(std::string("installed/") + name, "data\n");
    if (c.remove != nullptr) fs::remove(own / "installed" / c.remove);
    if (c.blocker != nullptr) own.write(c.blocker, "not a folder");
    error.clear();
    EXPECT_FALSE(seed_user_folder(own / "installed", own / "Vantrel", error));
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
    if (fs::is_directory(own / "Vantrel")) {
      EXPECT_TRUE(only_reference_names(own / "Vantrel"));
    }
  }
}

}  // namespace
}  // namespace vantrel
