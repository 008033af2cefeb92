// What the commands refuse to write: onto the files they read, and onto
// paths that are no regular files; and the reasons they give.

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kFont = "/usr/share/fonts/truetype/arphic/uming.ttc";

// A canonical WAV: 8-bit mono at 8000 Hz with three sample bytes.
const std::string kBeep =
    std::string("RIFF\x27\x00\x00\x00WAVEfmt \x10\x00\x00\x00", 20) +
    std::string("\x01\x00\x01\x00\x40\x1F\x00\x00\x40\x1F\x00\x00\x01\x00\x08\x00", 16) +
    std::string("data\x03\x00\x00\x00\x10\x20\x30", 11);

// D/p/Demo.zentoraprj with the picture D/p/b.png and the sound D/p/s.wav,
// compiled into D/out.
struct Folder {
  CTempDir dir;
  fs::path project = dir / "p" / "Demo.zentoraprj";

  void MakeProject() {
    SavePicture(dir / "b.png", 2, 1, {0xFFFF0000, 0xFF0000FF});
    WriteBytes(dir / "s.wav", kBeep);
    const CliRun created = RunCli({"project", "create", Arg(project), "--picture",
                                   Arg(dir / "b.png"), "--sound", Arg(dir / "s.wav")});
    ASSERT_EQ(created.exitCode, 0) << created.err;
    const CliRun compiled = RunCli({"compile", Arg(project), "--out", Arg(dir / "out")});
    ASSERT_EQ(compiled.exitCode, 0) << compiled.err;
  }
  // A library of 16 glyphs of 16 × 16, which nobody may write.
  void MakeLibrary() {
    WriteBytes(dir / "lib.bin", std::string(16 * 32, '\x5A'));
    fs::permissions(dir / "lib.bin",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
};

struct RefusalRow {
  const char* name;
  // Prepares the folder and returns the arguments.
  std::function<QStringList(Folder&)> prepare;
  int exitCode;
  const char* said;  // the first line of stderr, D for the folder
  const char* kept;  // a file whose bytes the run must not change, under D
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
  *os << row.name;
}

fs::path In(Folder& f, const char* name) {
  return f.dir / name;
}

const RefusalRow kRefusals[] = {
    {"CompileOntoTheProjectFile",
     [](Folder& f) {
       f.MakeProject();
       fs::create_symlink(f.project, f.dir / "p" / "image.bin");
       return QStringList{"compile", Arg(f.project), "--out", Arg(f.dir / "p")};
     },
     2, "zentora-cli: 不能写入“D/p/image.bin”：它就是要读取的文件“D/p/Demo.zentoraprj”",
     "p/Demo.zentoraprj"},
    {"CompileOntoAPicture",
     [](Folder& f) {
       f.MakeProject();
       fs::remove(f.dir / "out" / "image.idx");
       fs::create_symlink(f.dir / "p" / "b.png", f.dir / "out" / "image.idx");
       return QStringList{"compile", Arg(f.project), "--out", Arg(f.dir / "out")};
     },
     2, "zentora-cli: 不能写入“D/out/image.idx”：它就是要读取的文件“D/p/b.png”", "p/b.png"},
    {"BuildOntoASound",
     [](Folder& f) {
       f.MakeProject();
       fs::remove(f.dir / "out" / "wave.bin");
       fs::create_hard_link(f.dir / "p" / "s.wav", f.dir / "out" / "wave.bin");
       return QStringList{"build", Arg(f.project), "--out", Arg(f.dir / "out")};
     },
     2, "zentora-cli: 不能写入“D/out/wave.bin”：它就是要读取的文件“D/p/s.wav”", "p/s.wav"},
    {"FontViewPictureOntoItsLibrary",
     [](Folder& f) {
       f.MakeLibrary();
       fs::create_symlink(f.dir / "lib.bin", f.dir / "table.png");
       return QStringList{"fontview", Arg(In(f, "lib.bin")),  "--width", "16", "--height", "16",
                          "--png",    Arg(In(f, "table.png"))};
     },
     2, "zentora-cli: 不能写入“D/table.png”：它就是要读取的文件“D/lib.bin”", "lib.bin"},
    {"FontLibraryOntoItsFontFile",
     [](Folder& f) {
       fs::copy_file(kFont, f.dir / "font.ttc");
       return QStringList{"fontlib",     Arg(In(f, "font.ttc")),
                          "--font-file", Arg(In(f, "font.ttc")),
                          "--charset",   "ascii"};
     },
     2, "zentora-cli: 不能写入要读取的文件：D/font.ttc", "font.ttc"},
    {"InspectPicturesOntoTheIndex",
     [](Folder& f) {
       f.MakeProject();
       fs::create_directory(f.dir / "png");
       fs::create_symlink(f.dir / "out" / "image.idx", f.dir / "png" / "0000.png");
       return QStringList{"inspect", Arg(In(f, "out")), "--png", Arg(In(f, "png"))};
     },
     2, "zentora-cli: 不能写入“D/png/0000.png”：它就是要读取的文件“D/out/image.idx”",
     "out/image.idx"},
    {"InspectSoundsOntoTheSoundData",
     [](Folder& f) {
       f.MakeProject();
       fs::create_directory(f.dir / "wav");
       fs::create_hard_link(f.dir / "out" / "wave.bin", f.dir / "wav" / "0000.wav");
       return QStringList{"inspect", Arg(In(f, "out")), "--wav", Arg(In(f, "wav"))};
     },
     2, "zentora-cli: 不能写入“D/wav/0000.wav”：它就是要读取的文件“D/out/wave.bin”",
     "out/wave.bin"},
    {"FontLibraryOntoAFifo",
     [](Folder& f) {
       ::mkfifo(In(f, "fifo").c_str(), 0600);
       return QStringList{"fontlib", Arg(In(f, "fifo")), "--charset", "ascii"};
     },
     1, "zentora-cli: 操作失败：D/fifo（是命名管道（FIFO），不是普通文件）", nullptr},
    {"FontLibraryOntoADevice",
     [](Folder&) {
       return QStringList{"fontlib", "/dev/null", "--charset", "ascii"};
     },
     1, "zentora-cli: 操作失败：/dev/null（是设备，不是普通文件）", nullptr},
    {"FontViewPictureOntoAFolder",
     [](Folder& f) {
       f.MakeLibrary();
       fs::create_directory(f.dir / "folder");
       return QStringList{"fontview", Arg(In(f, "lib.bin")), "--width", "16", "--height", "16",
                          "--png",    Arg(In(f, "folder"))};
     },
     1, "zentora-cli: 无法写入文件：D/folder（是文件夹，不是文件）", "lib.bin"},
    {"MissingFontFile",
     [](Folder& f) {
       return QStringList{"glyphs", "A", "--font-file", Arg(In(f, "none.ttf"))};
     },
     2, "zentora-cli: 无法加载字体文件“D/none.ttf”（文件或文件夹不存在）", nullptr},
    {"FontFileThatIsNoFont",
     [](Folder& f) {
       WriteBytes(f.dir / "text.ttf", "plain text");
       return QStringList{"fontlib", Arg(In(f, "lib.bin")), "--font-file", Arg(In(f, "text.ttf"))};
     },
     2, "zentora-cli: 无法加载字体文件“D/text.ttf”（不是字体文件）", "text.ttf"},
};

class WriteRefusalTest : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(WriteRefusalTest, RefusesWithTheFileAndTheReason) {
  Folder folder;
  const QStringList arguments = GetParam().prepare(folder);
  const fs::path kept = GetParam().kept ? folder.dir / GetParam().kept : fs::path();
  const std::string before = kept.empty() ? std::string() : ReadText(kept);
  const CliRun run = RunCli(arguments);
  std::string said = run.err.substr(0, run.err.find('\n'));
  for (std::size_t at; (at = said.find(folder.dir.Path().string())) != std::string::npos;) {
    said.replace(at, folder.dir.Path().string().size(), "D");
  }
  EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
  EXPECT_EQ(said, GetParam().said);
  if (!kept.empty()) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(kept)));
    EXPECT_EQ(ReadText(kept), before);
  }
}

INSTANTIATE_TEST_SUITE_P(Cli, WriteRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

// Standard output opened onto the font file (1<> or >>) would take the
// arrays into the font.
TEST(WriteRefusalTest, GlyphsOntoTheirFontFile) {
  CTempDir dir;
  fs::copy_file(kFont, dir / "font.ttc");
  const std::string before = ReadText(dir / "font.ttc");
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  environment.remove(QStringLiteral("LANGUAGE"));
  process.setProcessEnvironment(environment);
  process.setStandardOutputFile(Arg(dir / "font.ttc"), QIODevice::Append);
  process.start(QString::fromUtf8(ZENTORA_CLI),
                {"glyphs", "A", "--font-file", Arg(dir / "font.ttc")});
  ASSERT_TRUE(process.waitForFinished(-1));
  EXPECT_EQ(process.exitCode(), 2);
  const std::string font = (dir / "font.ttc").string();
  EXPECT_EQ(process.readAllStandardError().toStdString(),
            std::string("zentora-cli: 不能把输出写入要读取的文件：") + font + "\n");
  EXPECT_TRUE(ReadText(dir / "font.ttc") == before);
}

}  // namespace
}  // namespace zentora::testing
