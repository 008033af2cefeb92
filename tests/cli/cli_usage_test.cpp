// The command line itself: help, and the arguments that end with status 2.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "cli_runner.h"

namespace zentora::testing {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliUsage, HelpListsTheCommandsOnStdout) {
  for (const char* option : {"--help", "-h", "help"}) {
    SCOPED_TRACE(option);
    const CliRun run = RunCli({option});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("用法：zentora-cli 命令", 0), 0u) << run.out;
    EXPECT_TRUE(Contains(run.out, "  compile PROJECT")) << run.out;
    EXPECT_TRUE(Contains(run.out, "  project create PROJECT")) << run.out;
    EXPECT_TRUE(Contains(run.out, "  project show PROJECT")) << run.out;
    EXPECT_TRUE(Contains(run.out, "  export PROJECT FILE")) << run.out;
    EXPECT_TRUE(Contains(run.out, "  adjust FILE... --width W --height H")) << run.out;
    EXPECT_EQ(run.err, "");
  }
}

TEST(CliUsage, EachCommandHasItsOwnHelp) {
  struct Case {
    QStringList arguments;
    const char* mentions;
  };
  for (const Case& c :
       {Case{{"compile", "--help"}, "--out <DIR>"}, Case{{"compile", "--help"}, "--depth <bits>"},
        Case{{"compile", "--help"}, "--column-first"},
        Case{{"project", "create", "--help"}, "--picture <FILE>"},
        Case{{"project", "create", "--help"}, "--sound <FILE>"},
        Case{{"project", "show", "--help"}, "PROJECT"},
        Case{{"export", "--help"}, "--column-first"},
        Case{{"adjust", "--help"}, "--no-keep-aspect"},
        Case{{"project", "--help"}, "zentora-cli project show PROJECT"}}) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(Contains(run.out, c.mentions)) << run.out;
    EXPECT_EQ(run.err, "");
  }
}

// The usage line names the program as it is known, not the path it was
// started by, and the command with its whole synopsis.
TEST(CliUsage, EachCommandsUsageLineNamesIt) {
  for (const QStringList& command : {QStringList{"compile"},
                                     {"build"},
                                     {"download"},
                                     {"export"},
                                     {"adjust"},
                                     {"project", "create"},
                                     {"project", "show"},
                                     {"fonts"},
                                     {"glyphs"},
                                     {"fontlib"},
                                     {"fontview"},
                                     {"inspect"},
                                     {"preview"}}) {
    const CliRun run = RunCli(command + QStringList{"--help"});
    const std::string usage = run.out.substr(0, run.out.find('\n'));
    EXPECT_TRUE(usage.starts_with("用法：zentora-cli " + command.join(' ').toStdString())) << usage;
  }
}

TEST(CliUsage, UsageLinesShowTheWholeSynopsis) {
  struct Case {
    QStringList arguments;
    const char* usage;  // up to the description
  };
  for (const Case& c : {
           Case{{"compile", "--help"},
                "用法：zentora-cli compile PROJECT [--out DIR] [--depfile DEPFILE] [图片选项]\n"},
           Case{{"build", "--help"},
                "用法：zentora-cli build PROJECT [--out DIR] [--depfile DEPFILE] [图片选项]\n"},
           Case{{"fontview", "--help"},
                "用法：zentora-cli fontview LIB --width W --height H [--vertical] [--bit0-first]\n"
                "                           [--glyph N | --png FILE]\n"},
       }) {
    const CliRun run = RunCli(c.arguments);
    EXPECT_TRUE(run.out.starts_with(c.usage)) << run.out;
  }
}

TEST(CliUsage, VersionOnStdout) {
  const CliRun run = RunCli({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "zentora-cli " ZENTORA_VERSION "\n");
}

TEST(CliUsage, NoArgumentsPrintsUsageOnStderr) {
  const CliRun run = RunCli({});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("用法：zentora-cli 命令", 0), 0u) << run.err;
}

struct BadArguments {
  const char* label;
  QStringList arguments;
  const char* firstErrorLine;  // the whole first line of stderr
};

void PrintTo(const BadArguments& c, std::ostream* os) {
  *os << c.label;
}

class CliBadArgumentsTest : public ::testing::TestWithParam<BadArguments> {};

TEST_P(CliBadArgumentsTest, EndWithStatusTwoAndAMessage) {
  const CliRun run = RunCli(GetParam().arguments);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.substr(0, run.err.find('\n')), GetParam().firstErrorLine) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliBadArgumentsTest,
    ::testing::Values(
        BadArguments{"UnknownCommand",
                     {"frobnicate"},
                     "zentora-cli: 未知的命令“frobnicate”；“zentora-cli --help”列出全部命令"},
        BadArguments{"CompileWithoutProject", {"compile"}, "zentora-cli: 缺少参数"},
        BadArguments{"CompileWithTwoProjects",
                     {"compile", "a.zentoraprj", "b.zentoraprj"},
                     "zentora-cli: 参数过多"},
        BadArguments{"CompileWithUnknownOption",
                     {"compile", "a.zentoraprj", "--colour"},
                     "zentora-cli: 未知选项“colour”。"},
        BadArguments{"DepthEight",
                     {"compile", "a.zentoraprj", "--depth", "8"},
                     "zentora-cli: --depth 只接受 16 或 24，而不是“8”"},
        BadArguments{"DepthWord",
                     {"compile", "a.zentoraprj", "--depth=high"},
                     "zentora-cli: --depth 只接受 16 或 24，而不是“high”"},
        BadArguments{"DitherWord",
                     {"compile", "a.zentoraprj", "--dither", "random"},
                     "zentora-cli: --dither 只接受 none、ordered 或 diffusion，而不是“random”"},
        BadArguments{"DitherAt24Bits",
                     {"build", "a.zentoraprj", "--depth", "24", "--dither", "ordered"},
                     "zentora-cli: --dither 只用于 16 位色彩深度"},
        BadArguments{"DepthWithoutValue",
                     {"compile", "a.zentoraprj", "--depth"},
                     "zentora-cli: “--depth”之后缺少值。"},
        BadArguments{"SideOutOfRange",
                     {"adjust", "a.png", "--width", "2001", "--height", "10"},
                     "zentora-cli: --width 只接受 1 到 2000 的整数，而不是“2001”"},
        BadArguments{"SizeWord",
                     {"glyphs", "A", "--size", "big"},
                     "zentora-cli: --size 只接受 1 到 192 的整数，而不是“big”"},
        BadArguments{"SizeTooLarge",
                     {"fontlib", "a.bin", "--size", "100000"},
                     "zentora-cli: --size 只接受 1 到 192 的整数，而不是“100000”"},
        BadArguments{"CellBetweenSteps",
                     {"glyphs", "A", "--cell", "12"},
                     "zentora-cli: --cell 只接受 8、16、24、32、40 或 48，而不是“12”"},
        BadArguments{"ExtentNegative",
                     {"fontview", "a.bin", "--width", "-16", "--height", "16"},
                     "zentora-cli: --width 只接受 8、16、24、32、40 或 48，而不是“-16”"},
        BadArguments{
            "ProjectWithoutAction", {"project"}, "zentora-cli: project：请给出 create 或 show"},
        BadArguments{"ProjectUnknownAction",
                     {"project", "delete", "a.zentoraprj"},
                     "zentora-cli: project：未知的操作“delete”"},
        BadArguments{"CreateWithoutProject", {"project", "create"}, "zentora-cli: 缺少参数"},
        BadArguments{"CreateWithOnlyPictures",
                     {"project", "create", "--picture", "a.png"},
                     "zentora-cli: 缺少参数"},
        BadArguments{"CreatePictureWithoutFile",
                     {"project", "create", "a.zentoraprj", "--picture"},
                     "zentora-cli: “--picture”之后缺少值。"},
        BadArguments{"ShowWithoutProject", {"project", "show"}, "zentora-cli: 缺少参数"},
        BadArguments{"ShowWithTwoProjects",
                     {"project", "show", "a.zentoraprj", "b.zentoraprj"},
                     "zentora-cli: 参数过多"}),
    [](const ::testing::TestParamInfo<BadArguments>& param) { return param.param.label; });

// The language: Chinese unless the user's locale or --lang says English.
struct LanguageCase {
  const char* label;
  QStringList arguments;
  CliEnvironment environment;  // on top of the C.UTF-8 locale
  const char* firstErrorLine;
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
  *os << c.label;
}

class CliLanguageTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(CliLanguageTest, ChoosesTheLanguageOfTheMessages) {
  const CliRun run = RunCli(GetParam().arguments, {}, GetParam().environment);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err.substr(0, run.err.find('\n')), GetParam().firstErrorLine) << run.err;
}

const CliEnvironment kEnglishLocale{{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}};

INSTANTIATE_TEST_SUITE_P(
    Cli, CliLanguageTest,
    ::testing::Values(
        LanguageCase{"CLocaleIsChinese", {"compile"}, {}, "zentora-cli: 缺少参数"},
        LanguageCase{
            "LanguageIsIgnoredUnderC", {"compile"}, {{"LANGUAGE", "en"}}, "zentora-cli: 缺少参数"},
        LanguageCase{
            "EnglishLocale", {"compile"}, kEnglishLocale, "zentora-cli: missing arguments"},
        LanguageCase{"OptionBeforeTheCommand",
                     {"--lang", "en", "compile"},
                     {},
                     "zentora-cli: missing arguments"},
        LanguageCase{"OptionOverridesTheLocale",
                     {"compile", "--lang=zh"},
                     kEnglishLocale,
                     "zentora-cli: 缺少参数"},
        LanguageCase{"QtTextsFollow",
                     {"--lang", "en", "compile", "a.zentoraprj", "--colour"},
                     {},
                     "zentora-cli: Unknown option 'colour'."},
        LanguageCase{"UnknownLanguage",
                     {"--lang", "fr", "compile"},
                     {},
                     "zentora-cli: --lang 只接受 zh 或 en，而不是“fr”"}),
    [](const ::testing::TestParamInfo<LanguageCase>& param) { return param.param.label; });

}  // namespace
}  // namespace zentora::testing
