#include "ArgumentList.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    std::string text;
    std::vector<std::string> tokens;
};

class ArgumentListSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(ArgumentListSplit, GivesTheTokens) {
    const ArgumentList list(GetParam().text);
    EXPECT_EQ(list.Tokens(), GetParam().tokens);
    EXPECT_EQ(list.Count(), GetParam().tokens.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArgumentListSplit,
    testing::Values(
        SplitCase{"a \"b c\" d", {"a", "b c", "d"}},
        SplitCase{"\"\" x", {"", "x"}},
        SplitCase{"-Dx=\"a b\"", {"-Dx=\"a", "b\""}},
        SplitCase{"\"unclosed text", {"unclosed text"}},
        SplitCase{"a  ", {"a"}},
        SplitCase{"", {}},
        SplitCase{" \t\r\n\v\f", {}},
        // A quote is special only at a token's start and as a closing quote before whitespace or the end.
        SplitCase{"\"a\"b\" c", {"a\"b", "c"}},
        SplitCase{"\"a b\"", {"a b"}},
        SplitCase{"\"", {""}},
        SplitCase{"\"\"", {""}},
        SplitCase{"x\"", {"x\""}},
        SplitCase{"\"a\"\"", {"a\""}},
        SplitCase{"\"\"\" a", {"\"", "a"}},
        SplitCase{"\"C:\\Some Dir\\my.ini\"", {"C:\\Some Dir\\my.ini"}},
        SplitCase{"a\tb\nc\vd\fe\rf", {"a", "b", "c", "d", "e", "f"}},
        // Bytes above 127 are never whitespace (0xA0 is a blank in some code pages).
        SplitCase{"a\xA0" "b \x85z", {"a\xA0" "b", "\x85z"}},
        // The whitespace right after a closing quote is consumed; the next token starts after it.
        SplitCase{"\"a\"  b", {"a", "b"}},
        SplitCase{"\"a\" \"b", {"a", "b"}}));

TEST(ArgumentList, LongTextOfManyTokens) {
    std::string text;
    for (int i = 0; i < 50000; ++i) text += (i % 3 == 0) ? "\"q q\" " : "t ";
    const ArgumentList list(text);
    ASSERT_EQ(list.Count(), 50000u);
    EXPECT_EQ(list.Token(0), "q q");
    EXPECT_EQ(list.Token(1), "t");
}

}  // namespace
