// A signal that ends the command-line tool takes the run's temporary files
// with it; a later writer removes those that dead processes left.

#include "base/temporary_registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "base/atomic_file_writer.h"
#include "base/output_folder.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::FolderContents;

class SignalTest : public ::testing::TestWithParam<int> {};

// The child starts an atomic write and a set of resource files, then gets
// the signal.
TEST_P(SignalTest, RemovesTheRunsTemporariesAndEndsBySignal) {
  testing::CTempDir dir;
  const auto run = [&] {
    RemoveTemporariesOnSignals();
    Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(dir / "font.bin");
    Result<COutputFolderLock> held = COutputFolderLock::Take(dir.Path());
    CFileSetReplacement set(held.value());
    if (!writer || !set.Add(dir / "image.bin")) {
      ::_exit(3);
    }
    ::raise(GetParam());
  };
  EXPECT_EXIT(run(), ::testing::KilledBySignal(GetParam()), "");
  EXPECT_EQ(FolderContents(dir.Path()), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(TemporaryRegistry, SignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP));

TEST(TemporaryRegistryTest, LaterWriterRemovesOnlyWhatDeadProcessesLeft) {
  testing::CTempDir dir;
  const pid_t dead = ::fork();
  if (dead == 0) {
    ::_exit(0);
  }
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  // Process 1 and this test's parent run on.
  const std::set<std::string> live = {".a.tmp-1-3", ".b.tmp-" + std::to_string(::getppid()) + "-0"};
  for (const std::string& name : live) {
    testing::WriteBytes(dir / name, "");
  }
  testing::WriteBytes(dir / (".b.tmp-" + std::to_string(dead) + "-0"), "");
  ASSERT_TRUE(WriteFileAtomically(dir / "b", {}));
  std::set<std::string> expected = live;
  expected.insert("b");
  EXPECT_EQ(FolderContents(dir.Path()), expected);
}

}  // namespace
}  // namespace zentora
