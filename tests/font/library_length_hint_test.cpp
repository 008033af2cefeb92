#include "font/library_length_hint.h"

#include <gtest/gtest.h>

namespace zentora {
namespace {

TEST(LibraryLengthHintTest, SaysWhenTheChosenSizeDoesNotDivideTheFile) {
  EXPECT_EQ(LibraryLengthHint(3'072, 24, 24),
            "文件长度 3072 字节不是 24×24 字模的整数倍；可用的字模尺寸：8、16、32");
  EXPECT_EQ(LibraryLengthHint(4'097, 16, 24), "文件长度 4097 字节不是 16×24 字模的整数倍");
  EXPECT_EQ(LibraryLengthHint(3'072, 16, 24), "");
  EXPECT_EQ(LibraryLengthHint(282'752, 16, 16), "");
}

}  // namespace
}  // namespace zentora
