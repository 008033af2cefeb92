#include "base/file_kind.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "base/regular_file.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;

// A path that exists but is no regular file is named as what it is, both
// where it is read and where it would be written over.
TEST(FileKindTest, NamesWhatAPathIs) {
  CTempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_directory(dir / "folder");
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socketPath = (dir / "socket").string();
  ASSERT_LT(socketPath.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

  struct Row {
    fs::path path;
    const char* reason;
  };
  for (const Row& row :
       {Row{dir / "pipe", "是命名管道（FIFO），不是普通文件"},
        Row{"/dev/null", "是设备，不是普通文件"}, Row{dir / "socket", "是套接字，不是普通文件"},
        Row{dir / "folder", "是文件夹，不是文件"}}) {
    SCOPED_TRACE(row.path.string());
    EXPECT_EQ(CheckOutputKind(row.path).message(), row.reason);
    if (row.path != dir / "socket") {  // a socket cannot be opened at all
      EXPECT_EQ(OpenRegularFile(row.path).error(), row.reason);
    }
  }
  ::close(listener);
}

}  // namespace
}  // namespace zentora
