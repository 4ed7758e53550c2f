#include "common/code_page.h"

#include <gtest/gtest.h>

namespace veltrano {
namespace {

struct CodePageCase {
    const char* utf8;
    std::string cp1251;
};

class CodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, ConvertsBothWays) {
    const CodePageCase& c = GetParam();
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251);
    EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageTest,
    ::testing::Values(CodePageCase{"", ""}, CodePageCase{"X3Z5=1,02", "X3Z5=1,02"},
                      CodePageCase{"УОЗ", "\xD3\xCE\xC7"},
                      CodePageCase{"Name=Поправка ЦН",
                                   "Name=\xCF\xEE\xEF\xF0\xE0\xE2\xEA\xE0 \xD6\xCD"},
                      // Latin c inside a Cyrillic word stays Latin.
                      CodePageCase{"cмеси", "c\xEC\xE5\xF1\xE8"},
                      CodePageCase{"ёЁ№", "\xB8\xA8\xB9"}));

TEST(CodePage, CharacterOutsideTheCodePageBecomesQuestionMark) {
    EXPECT_EQ(Utf8ToCp1251("a\xE2\x82\xAC"
                           "b"),
              "a\x88"
              "b");  // the euro sign exists
    EXPECT_EQ(Utf8ToCp1251("a日b"), "a?b");
    EXPECT_EQ(Utf8ToCp1251("a\xFF"
                           "b"),
              "a?b");                          // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp1251("ab\xD0"), "ab?");  // cut short
}

}  // namespace
}  // namespace veltrano
