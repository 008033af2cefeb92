// Dependency files as Make reads them.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "base/depfile.h"

namespace zentora {
namespace {

struct EscapeCase {
  const char* name;
  std::string path;
  std::string escaped;
};

void PrintTo(const EscapeCase& row, std::ostream* out) {
  *out << row.name;
}

class DepfileEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(DepfileEscapeTest, ReadsBackAsTheSamePath) {
  EXPECT_EQ(EscapeDepfilePath(GetParam().path), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(Depfile, DepfileEscapeTest,
                         ::testing::Values(EscapeCase{"Space", "my pictures/a b.png",
                                                      "my\\ pictures/a\\ b.png"},
                                           EscapeCase{"Tab", "a\tb", "a\\\tb"},
                                           EscapeCase{"Dollar", "$HOME/x$.png", "$$HOME/x$$.png"},
                                           EscapeCase{"Hash", "#1.png", "\\#1.png"},
                                           // A backslash before a blank would end the name.
                                           EscapeCase{"BackslashBeforeSpace", "a\\ b", "a\\\\\\ b"},
                                           EscapeCase{"ChineseNameUnchanged", "图片/开机画面.png",
                                                      "图片/开机画面.png"}));

TEST(Depfile, TargetsThenPrerequisitesThenAnEmptyRuleForEachPicture) {
  const Dependencies dependencies{{"out/image.bin", "out/image.idx"},
                                  {"Demo.zentoraprj", "a b.png", "gone.png"}};
  EXPECT_EQ(FormatDepfile(dependencies),
            "out/image.bin out/image.idx: \\\n Demo.zentoraprj \\\n a\\ b.png \\\n gone.png\n"
            "\na\\ b.png:\n\ngone.png:\n");
}

TEST(Depfile, APathWithALineBreakIsRefused) {
  EXPECT_FALSE(CheckDepfilePath("two\nlines.png"));
}

}  // namespace
}  // namespace zentora
