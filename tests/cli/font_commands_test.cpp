// zentora-cli fonts, glyphs, fontlib and fontview.

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "font/charset.h"
#include "support/temp_dir.h"

namespace zentora::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(FontCommandsTest, FontsMarksOneDefault) {
  const CliRun run = RunCli({"fonts"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  EXPECT_FALSE(lines.empty());
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return l.starts_with("* "); }),
            1);
}

// The first Song face installed stands in for 宋体, whatever fontconfig
// would pick; only without one does fontconfig's choice apply. The fonts are
// a private folder that fontconfig is pointed at, its choice set by an alias.
TEST(FontCommandsTest, DefaultIsASongFaceElseFontconfigsChoiceForSongTi) {
  for (const bool withSong : {true, false}) {
    CTempDir dir;
    std::filesystem::create_directory(dir / "fonts");
    std::filesystem::create_symlink("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
                                    dir / "fonts" / "wqy-zenhei.ttc");
    if (withSong) {
      std::filesystem::create_symlink("/usr/share/fonts/truetype/arphic/uming.ttc",
                                      dir / "fonts" / "uming.ttc");
    }
    WriteBytes(dir / "fonts.conf",
               "<?xml version=\"1.0\"?>\n<fontconfig>\n<dir>" + (dir / "fonts").string() +
                   "</dir>\n<cachedir>" + (dir / "cache").string() +
                   "</cachedir>\n<alias><family>宋体</family>"
                   "<prefer><family>WenQuanYi Zen Hei</family></prefer></alias>\n</fontconfig>\n");
    const CliRun run = RunCli({"fonts"}, {}, {{"FONTCONFIG_FILE", Arg(dir / "fonts.conf")}});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  AR PL UMing TW"), withSong ? 1 : 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         withSong ? "* AR PL UMing CN" : "* WenQuanYi Zen Hei"),
              1)
        << run.out;
  }
}

// --mono reaches the glyphs drawn from outlines, not those of a strike.
TEST(FontCommandsTest, MonoRedrawsOutlinesButNotStrikes) {
  for (const QString size : {"24", "16"}) {
    const QStringList glyphs{
        "glyphs", "库", "--font-file", "/usr/share/fonts/truetype/arphic/uming.ttc",
        "--size", size, "--cell",      size};
    const CliRun grey = RunCli(glyphs);
    const CliRun mono = RunCli(glyphs + QStringList{"--mono"});
    ASSERT_EQ(grey.exitCode + mono.exitCode, 0) << grey.err << mono.err;
    EXPECT_EQ(grey.out == mono.out, size == "16") << grey.out << mono.out;
  }
}

TEST(FontCommandsTest, GlyphsPrintsOneLinePerCharacter) {
  const CliRun run = RunCli({"glyphs", "AB", "--charset", "ascii", "--cell", "8"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4U) << run.out;
  EXPECT_EQ(lines[0], "char data[]={\r");
  EXPECT_EQ(lines[3], "};");
  for (const std::string& line : {lines[1], lines[2]}) {
    EXPECT_EQ(line.size(), 4 + 8 * 5 + 1U) << line;
    EXPECT_TRUE(line.starts_with("    0x") && line.ends_with(",\r")) << line;
  }
  EXPECT_NE(lines[1], lines[2]);
}

// The ASCII library at 16 pixels, then the viewer's reading of it.
TEST(FontCommandsTest, FontlibThenFontview) {
  CTempDir dir;
  const QString library = Arg(dir / "字库.bin");
  const CliRun made = RunCli({"fontlib", library, "--charset", "ascii", "--size", "16"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(std::filesystem::file_size(dir / "字库.bin"), 4'096U);

  const QStringList view{"fontview", library, "--width", "16", "--height", "16"};
  const CliRun glyph = RunCli(view + QStringList{"--glyph", "65"});
  ASSERT_EQ(glyph.exitCode, 0) << glyph.err;
  const std::vector<std::string> lines = Lines(glyph.out);
  EXPECT_EQ(lines.size(), 16U);
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.size() == 16 && line.find_first_not_of(".#") == std::string::npos) << line;
  }
  EXPECT_NE(glyph.out.find('#'), std::string::npos);

  const CliRun table = RunCli(view + QStringList{"--png", Arg(dir / "table.png")});
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(QImage(Arg(dir / "table.png")).width(), 70 + 16 * 50);
}

// Blank glyphs of a font without the characters are written as before,
// named on stderr, and end the run with 1.
TEST(FontCommandsTest, CharactersTheFontLacksAreNamedAndEndWithOne) {
  CTempDir dir;
  const QString dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  const CliRun glyphs = RunCli({"glyphs", "中A文", "--font-file", dejaVu, "--cell", "8"});
  const CliRun library = RunCli({"fontlib", Arg(dir / "gb.bin"), "--font-file", dejaVu});
  EXPECT_EQ(glyphs.exitCode + library.exitCode, 2) << glyphs.err << library.err;
  EXPECT_TRUE(glyphs.err.ends_with(": 字体缺少这些字符的字形：中文\n")) << glyphs.err;
  EXPECT_TRUE(library.err.ends_with(": 字体缺少这些字符的字形：　、。〃々～〔〕〈〉 等 7157 个\n"))
      << library.err;
  EXPECT_EQ(Lines(glyphs.out).at(3), "    0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,\r");
  EXPECT_EQ(std::filesystem::file_size(dir / "gb.bin"), 282'752U);
}

// The header of a text file's characters as a firmware compiles it: each
// character once in code order (ASCII by its own byte), the BOM, line ends
// and tab passed over, characters the set lacks named; and each glyph the
// bytes the library of the same font holds at its code.
TEST(FontCommandsTest, GlyphHeaderCompilesAndMatchesTheLibrary) {
  CTempDir dir;
  WriteBytes(dir / "strings.txt", "\xEF\xBB\xBF温度 2A℃\r\n温\t囍한😀A\n");
  WriteBytes(dir / "print.c",
             "#include <stdio.h>\n#include \"glyphs.h\"\nint main(void) {\n  int i;\n"
             "  FILE* data = fopen(\"data.bin\", \"wb\");\n"
             "  fwrite(glyphs_data, 1, sizeof glyphs_data, data);\n  fclose(data);\n"
             "  printf(\"%d %d\", GLYPHS_WIDTH * GLYPHS_HEIGHT / 8, GLYPHS_BYTES);\n"
             "  for (i = 0; i < GLYPHS_COUNT; ++i) printf(\" %x\", glyphs_codes[i]);\n"
             "  return 0;\n}\n");
  const struct {
    CharsetKind charset;
    QStringList options;
    std::vector<std::uint16_t> codes;
    std::string unencodable;
  } rows[] = {
      {CharsetKind::kGb2312, {"--cell", "16"}, {0x20, 0x32, 0x41, 0xA1E6, 0xB6C8, 0xCEC2}, "囍한😀"},
      {CharsetKind::kGbk,
       {"--cell", "24", "--vertical", "--bit0-first"},
       {0x20, 0x32, 0x41, 0x87D6, 0xA1E6, 0xB6C8, 0xCEC2},
       "한😀"},
      {CharsetKind::kAscii, {"--cell", "8"}, {0x20, 0x32, 0x41}, "温度℃囍한😀"},
  };
  for (const auto& row : rows) {
    const std::string set(CharsetName(row.charset));
    SCOPED_TRACE(set);
    const QStringList font =
        QStringList{"--font-file", "/usr/share/fonts/truetype/arphic/uming.ttc", "--charset",
                    QString::fromStdString(set)} +
        row.options;
    const CliRun made = RunCli(QStringList{"glyphs", "--text-file", Arg(dir / "strings.txt"),
                                           "--header", Arg(dir / "glyphs.h")} +
                               font);
    EXPECT_EQ(made.exitCode, 1);
    EXPECT_TRUE(
        made.err.ends_with("字符集 " + set + " 中没有这些字符，未取模：" + row.unencodable + "\n"))
        << made.err;
    const CliRun compiled = RunProgram(
        ZENTORA_C_COMPILER,
        {"-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror", "print.c", "-o", "print"},
        dir.Path());
    ASSERT_EQ(compiled.exitCode, 0) << compiled.err;

    // Each glyph is the library's at its code: the set's library, or the
    // ASCII one for the one-byte codes.
    const std::size_t bytes =
        static_cast<std::size_t>(row.options[1].toInt() * row.options[1].toInt() / 8);
    std::map<bool, std::vector<std::uint8_t>> libraries;
    for (const CharsetKind kind : {row.charset, CharsetKind::kAscii}) {
      RunCli(QStringList{"fontlib", Arg(dir / "lib.bin")} + font +
             QStringList{"--charset", QString::fromLatin1(CharsetName(kind))});
      libraries[kind == CharsetKind::kAscii] = ReadBytes(dir / "lib.bin");
    }
    std::string printed = std::to_string(bytes) + " " + std::to_string(bytes);
    std::vector<std::uint8_t> glyphs;
    for (const std::uint16_t code : row.codes) {
      const bool ascii = code < 0x80;
      const auto at = static_cast<std::ptrdiff_t>(
          *GlyphNumberOfCode(ascii ? CharsetKind::kAscii : row.charset, code) * bytes);
      ASSERT_LE(at + static_cast<std::ptrdiff_t>(bytes), std::ssize(libraries[ascii]));
      glyphs.insert(glyphs.end(), libraries[ascii].begin() + at,
                    libraries[ascii].begin() + at + static_cast<std::ptrdiff_t>(bytes));
      printed += (std::ostringstream() << ' ' << std::hex << code).str();
    }
    EXPECT_EQ(RunProgram(Arg(dir / "print"), {}, dir.Path()).out, printed);
    EXPECT_EQ(ReadBytes(dir / "data.bin"), glyphs);
  }
}

TEST(FontCommandsTest, BadOptionsAreUsageErrors) {
  CTempDir dir;
  WriteBytes(dir / "not-a-font.ttf", "plain text");
  const QStringList runs[] = {
      {"glyphs", "A", "--cell", "12"},
      {"fontlib", Arg(dir / "a.bin"), "--cell", "64"},
      {"glyphs", "A", "--font-file", Arg(dir / "not-a-font.ttf")},
      {"fontlib", Arg(dir / "b.bin"), "--charset", "big5"},
      {"fontview", Arg(dir / "not-a-font.ttf"), "--width", "12", "--height", "16"},
  };
  for (const QStringList& arguments : runs) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(FolderContents(dir.Path()), std::set<std::string>{"not-a-font.ttf"});
}

}  // namespace
}  // namespace zentora::testing
