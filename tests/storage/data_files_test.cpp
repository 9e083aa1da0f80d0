// Lookup order of stock files: working directory, PUNKTIVO_DATA_DIR, installed folder.
#include "storage/data_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "temp_dir.h"

namespace punktivo {
namespace {

using testing::TempDir;
using testing::WorkingDir;
using testing::writeBytes;

class DataDirEnv {
 public:
  explicit DataDirEnv(const char* value) {
    if (const char* old = std::getenv("PUNKTIVO_DATA_DIR")) old_ = old, hadOld_ = true;
    if (value)
      ::setenv("PUNKTIVO_DATA_DIR", value, 1);
    else
      ::unsetenv("PUNKTIVO_DATA_DIR");
  }
  ~DataDirEnv() {
    if (hadOld_)
      ::setenv("PUNKTIVO_DATA_DIR", old_.c_str(), 1);
    else
      ::unsetenv("PUNKTIVO_DATA_DIR");
  }

 private:
  std::string old_;
  bool hadOld_ = false;
};

TEST(DataFiles, SearchPathOrder) {
  {
    DataDirEnv env("/some/where");
    const auto folders = dataSearchPath();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], std::filesystem::path());
    EXPECT_EQ(folders[1], std::filesystem::path("/some/where"));
    EXPECT_EQ(folders[2], std::filesystem::path(PUNKTIVO_INSTALLED_DATA_DIR));
  }
  for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
    DataDirEnv env(unset);
    const auto folders = dataSearchPath();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1], std::filesystem::path(PUNKTIVO_INSTALLED_DATA_DIR));
  }
}

TEST(DataFiles, FirstFolderHoldingTheFileWins) {
  TempDir work, envDir, installed;
  WorkingDir cwd(work.path());
  const std::vector<std::filesystem::path> folders{std::filesystem::path(), envDir.path(),
                                                   installed.path()};
  const std::string name = "leicht.ptv";

  EXPECT_EQ(findDataFile(name, folders), std::filesystem::path(name));  // nowhere: bare name
  writeBytes(installed / name, {1});
  EXPECT_EQ(findDataFile(name, folders), installed / name);
  writeBytes(envDir / name, {1});
  EXPECT_EQ(findDataFile(name, folders), envDir / name);
  // A folder of that name in the working directory is not the file.
  std::filesystem::create_directory(work / name);
  EXPECT_EQ(findDataFile(name, folders), envDir / name);
  std::filesystem::remove(work / name);
  writeBytes(work / name, {1});
  EXPECT_EQ(findDataFile(name, folders), std::filesystem::path(name));
}

TEST(DataFiles, EnvironmentFolderIsSearchedAfterTheWorkingDirectory) {
  TempDir work, envDir;
  WorkingDir cwd(work.path());
  DataDirEnv env(envDir.path().c_str());
  const std::string name = "punktivo-test-only.ptv";
  EXPECT_EQ(findDataFile(name), std::filesystem::path(name));
  writeBytes(envDir / name, {1});
  EXPECT_EQ(findDataFile(name), envDir / name);
  writeBytes(work / name, {1});
  EXPECT_EQ(findDataFile(name), std::filesystem::path(name));
}

TEST(DataFiles, CollectionNamesByDifficulty) {
  EXPECT_STREQ(collectionFileName(0), "leicht.ptv");
  EXPECT_STREQ(collectionFileName(1), "mittel.ptv");
  EXPECT_STREQ(collectionFileName(2), "schwer.ptv");
  EXPECT_STREQ(collectionFileName(3), "extrem.ptv");
  EXPECT_STREQ(collectionFileName(7), "leicht.ptv");
}

}  // namespace
}  // namespace punktivo
