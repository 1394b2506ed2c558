#include "classlib/Files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"

namespace {

// Folders made at the same moment by several threads, as parallel runs of a tool make
// the same output folder: the folder that another maker made meanwhile counts as made.
TEST(Files, FoldersMadeAtOnceByManyMakersAllSucceed) {
  TempFolder dir;
  constexpr int kThreads = 8;
  constexpr int kRounds = 40;
  for (bool nested : {false, true}) {
    SCOPED_TRACE(nested ? "ForceDirectories" : "CreateDir");
    for (int round = 0; round < kRounds; ++round) {
      const std::string path = dir.Path((nested ? "n" : "c") + std::to_string(round) + (nested ? "\\a\\b" : ""));
      std::atomic<int> ready{0};
      std::atomic<int> failures{0};
      std::vector<std::thread> makers;
      for (int t = 0; t < kThreads; ++t) {
        makers.emplace_back([&] {
          ++ready;
          while (ready < kThreads) std::this_thread::yield();
          if (!(nested ? file::ForceDirectories(path) : file::CreateDir(path))) ++failures;
        });
      }
      for (std::thread& m : makers) m.join();
      ASSERT_EQ(failures, 0) << path << ": " << file::LastErrorText();
      ASSERT_TRUE(file::DirExists(path));
    }
  }
}

TEST(Files, AFolderWhereAFileIsFails) {
  TempFolder dir;
  ASSERT_TRUE(file::WriteAtomic(dir.Path("f"), "x"));
  EXPECT_FALSE(file::CreateDir(dir.Path("f")));
  EXPECT_FALSE(file::ForceDirectories(dir.Path("f\\g")));
}

}  // namespace
