// A signal that ends the command-line tool takes the temporary files of the
// run with it; a later writer removes what dead processes left.

#include "base/temporary_registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ostream>
#include <set>
#include <string>

#include "base/atomic_file_writer.h"
#include "base/output_folder.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::FolderContents;
using testing::WriteBytes;

struct SignalCase {
  const char* name;
  int signal;
};

void PrintTo(const SignalCase& row, std::ostream* out) {
  *out << row.name;
}

class SignalTest : public ::testing::TestWithParam<SignalCase> {};

// The child starts an atomic write and a set of resource files, then gets
// the signal.
TEST_P(SignalTest, RemovesTheRunsTemporariesAndEndsBySignal) {
  CTempDir dir;
  WriteBytes(dir / "kept.txt", "kept");
  const auto run = [&] {
    RemoveTemporariesOnSignals();
    Result<CAtomicFileWriter> writer = CAtomicFileWriter::Begin(dir / "font.bin");
    Result<COutputFolderLock> held = COutputFolderLock::Take(dir.Path());
    if (!writer || !held) {
      ::_exit(3);
    }
    CFileSetReplacement set(held.value());
    if (!set.Add(dir / "image.bin") || !set.Add(dir / "image.idx")) {
      ::_exit(4);
    }
    ::raise(GetParam().signal);
    ::_exit(0);
  };
  EXPECT_EXIT(run(), ::testing::KilledBySignal(GetParam().signal), "");
  EXPECT_EQ(FolderContents(dir.Path()), std::set<std::string>{"kept.txt"});
}

INSTANTIATE_TEST_SUITE_P(TemporaryRegistry, SignalTest,
                         ::testing::Values(SignalCase{"Interrupt", SIGINT},
                                           SignalCase{"Terminate", SIGTERM},
                                           SignalCase{"HangUp", SIGHUP}),
                         [](const ::testing::TestParamInfo<SignalCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(TemporaryRegistryTest, LaterWriterRemovesOnlyWhatDeadProcessesLeft) {
  CTempDir dir;
  const pid_t dead = ::fork();
  ASSERT_NE(dead, -1);
  if (dead == 0) {
    ::_exit(0);
  }
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  const std::string deadName = ".font.bin.tmp-" + std::to_string(dead) + "-0";
  // Process 1 always runs; the parent of this test runs too.
  const std::string liveName = ".other.bin.tmp-1-3";
  const std::string parentName = ".font.bin.tmp-" + std::to_string(::getppid()) + "-0";
  for (const std::string& name : {deadName, liveName, parentName}) {
    WriteBytes(dir / name, "left");
  }
  ASSERT_TRUE(WriteFileAtomically(dir / "font.bin", {}));
  EXPECT_EQ(FolderContents(dir.Path()), (std::set<std::string>{"font.bin", liveName, parentName}));
}

}  // namespace
}  // namespace zentora
