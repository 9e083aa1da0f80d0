// Lookup order of stock files: working directory, PUNKTIVO_DATA_DIR, installed folder.
#include "storage/data_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/temp_dir.h"

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

// The installed folder follows the program when the tree was moved to another prefix.
TEST(DataFiles, InstalledFolderIsFoundBesideTheProgram) {
  TempDir prefix;
  const std::filesystem::path program = prefix / "games/punktivo";
  const std::filesystem::path compiledIn = "/compiled/in/share/games/punktivo";
  const std::vector<std::filesystem::path> fromGames{"../share/games/punktivo"};
  std::filesystem::create_directories(prefix / "games");

  // No data folder beside the program: the compiled-in one.
  EXPECT_EQ(installedDataDir(program, fromGames, compiledIn), compiledIn);
  // A file of that name is not the folder.
  std::filesystem::create_directories(prefix / "share/games");
  writeBytes(prefix / "share/games/punktivo", {1});
  EXPECT_EQ(installedDataDir(program, fromGames, compiledIn), compiledIn);
  std::filesystem::remove(prefix / "share/games/punktivo");

  std::filesystem::create_directories(prefix / "share/games/punktivo");
  const std::filesystem::path found = installedDataDir(program, fromGames, compiledIn);
  EXPECT_EQ(found, (prefix.path() / "share/games/punktivo").lexically_normal());
  EXPECT_TRUE(std::filesystem::equivalent(found, prefix / "share/games/punktivo"));

  // The game and the tool sit in different folders (here the tool one level deeper) and
  // share one list: each finds the folder through the entry that fits its place, whichever
  // comes first.
  std::filesystem::create_directories(prefix / "bin/x86");
  const std::vector<std::filesystem::path> both{"../share/games/punktivo", "../../share/games/punktivo"};
  EXPECT_EQ(installedDataDir(program, both, compiledIn), found);
  EXPECT_EQ(installedDataDir(prefix / "bin/x86/punktivo-tool", both, compiledIn), found);
  EXPECT_EQ(installedDataDir(prefix / "bin/x86/punktivo-tool", {"", both[1]}, compiledIn), found);

  // Without a usable program path (no /proc) or relative part: the compiled-in folder.
  EXPECT_EQ(installedDataDir({}, fromGames, compiledIn), compiledIn);
  EXPECT_EQ(installedDataDir("punktivo", fromGames, compiledIn), compiledIn);
  EXPECT_EQ(installedDataDir(program, {}, compiledIn), compiledIn);
  EXPECT_EQ(installedDataDir(program, {""}, compiledIn), compiledIn);
}

// Run from the build tree, no data folder lies beside the test program, so the lookup
// ends in the compiled-in folder (the installed tree is checked by the install tests).
TEST(DataFiles, RunningProgramFallsBackToTheCompiledInFolder) {
  EXPECT_EQ(installedDataDir(), std::filesystem::path(PUNKTIVO_INSTALLED_DATA_DIR));
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
