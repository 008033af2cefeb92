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
    EXPECT_EQ(run.out.rfind("Usage: zentora-cli COMMAND", 0), 0u) << run.out;
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

TEST(CliUsage, VersionOnStdout) {
  const CliRun run = RunCli({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "zentora-cli 0.1.0\n");
}

TEST(CliUsage, NoArgumentsPrintsUsageOnStderr) {
  const CliRun run = RunCli({});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind("Usage: zentora-cli COMMAND", 0), 0u) << run.err;
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
                     "zentora-cli: unknown command 'frobnicate'; 'zentora-cli --help' lists the "
                     "commands"},
        BadArguments{"CompileWithoutProject", {"compile"}, "zentora-cli: missing arguments"},
        BadArguments{"CompileWithTwoProjects",
                     {"compile", "a.zentoraprj", "b.zentoraprj"},
                     "zentora-cli: too many arguments"},
        BadArguments{"CompileWithUnknownOption",
                     {"compile", "a.zentoraprj", "--colour"},
                     "zentora-cli: Unknown option 'colour'."},
        BadArguments{"DepthEight",
                     {"compile", "a.zentoraprj", "--depth", "8"},
                     "zentora-cli: --depth takes 16 or 24, not '8'"},
        BadArguments{"DepthWord",
                     {"compile", "a.zentoraprj", "--depth=high"},
                     "zentora-cli: --depth takes 16 or 24, not 'high'"},
        BadArguments{"DepthWithoutValue",
                     {"compile", "a.zentoraprj", "--depth"},
                     "zentora-cli: Missing value after '--depth'."},
        BadArguments{"SideOutOfRange",
                     {"adjust", "a.png", "--width", "2001", "--height", "10"},
                     "zentora-cli: --width takes an integer from 1 to 2000, not '2001'"},
        BadArguments{"SizeWord",
                     {"glyphs", "A", "--size", "big"},
                     "zentora-cli: --size takes an integer of 1 or more, not 'big'"},
        BadArguments{"CellBetweenSteps",
                     {"glyphs", "A", "--cell", "12"},
                     "zentora-cli: --cell takes 8, 16, 24, 32, 40 or 48, not '12'"},
        BadArguments{"ExtentNegative",
                     {"fontview", "a.bin", "--width", "-16", "--height", "16"},
                     "zentora-cli: --width takes 8, 16, 24, 32, 40 or 48, not '-16'"},
        BadArguments{
            "ProjectWithoutAction", {"project"}, "zentora-cli: project: say create or show"},
        BadArguments{"ProjectUnknownAction",
                     {"project", "delete", "a.zentoraprj"},
                     "zentora-cli: project: unknown action 'delete'"},
        BadArguments{
            "CreateWithoutProject", {"project", "create"}, "zentora-cli: missing arguments"},
        BadArguments{"CreateWithOnlyPictures",
                     {"project", "create", "--picture", "a.png"},
                     "zentora-cli: missing arguments"},
        BadArguments{"CreatePictureWithoutFile",
                     {"project", "create", "a.zentoraprj", "--picture"},
                     "zentora-cli: Missing value after '--picture'."},
        BadArguments{"ShowWithoutProject", {"project", "show"}, "zentora-cli: missing arguments"},
        BadArguments{"ShowWithTwoProjects",
                     {"project", "show", "a.zentoraprj", "b.zentoraprj"},
                     "zentora-cli: too many arguments"}),
    [](const ::testing::TestParamInfo<BadArguments>& param) { return param.param.label; });

}  // namespace
}  // namespace zentora::testing
