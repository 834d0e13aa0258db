#include "core/text.h"

#include <gtest/gtest.h>

#include "core/table.h"

namespace {

// ~ in the case names stands for CR LF.
constexpr std::string_view kCrLf = "\r\n";

TEST(AnsiTextTest, ChineseTextsAreGbkBytes) {
  EXPECT_EQ(AnsiText(StatusLiked), "\xD2\xD1\xB5\xE3\xD4\xDE");
  EXPECT_EQ(AnsiText("的资料"), "\xB5\xC4\xD7\xCA\xC1\xCF");
}

TEST(ConcatTextTest, JoinsInOrder) {
  EXPECT_EQ(ConcatText({"tencent://x?uin=", ""}), "tencent://x?uin=");
  EXPECT_EQ(ConcatText({"a", "bc", "", "d"}), "abcd");
  EXPECT_EQ(ConcatText({"", ""}), "");
}

TEST(TextEqualsTest, ComparesBytesExactly) {
  EXPECT_TRUE(TextEquals("", ""));
  EXPECT_FALSE(TextEquals("", StatusLiked));
  EXPECT_TRUE(TextEquals(StatusLiked, "\xD2\xD1\xB5\xE3\xD4\xDE"));
  EXPECT_FALSE(TextEquals(StatusLiked, ConcatText({StatusLiked, " "})));
  EXPECT_FALSE(TextEquals("abc", "ABC"));
}

struct SplitCase {
  const char* name;
  std::string_view text;
  std::vector<AnsiText> pieces;
};

TEST(SplitTextTest, CutsAtTheDelimiterUnderTheSteppingRule) {
  const SplitCase cases[] = {
      {"a~b", "a\r\nb", {"a", "b"}},
      {"a~", "a\r\n", {"a"}},
      {"~a", "\r\na", {"", "a"}},
      {"a~~b", "a\r\n\r\nb", {"a", "", "b"}},
      {"~", "\r\n", {""}},
      {"a", "a", {"a"}},
      {"empty", "", {}},
      {"bare LF", "a\nb", {"a\nb"}},
      {"shorter than delimiter", "\r", {"\r"}},
      // A lead byte swallows the CR after it, so no line ends there.
      {"CR as trailing byte", "\x81\r\nb", {"\x81\r\nb"}},
      {"after double-byte char", "\xB5\xC4\r\nb", {"\xB5\xC4", "b"}},
      {"lone lead byte at end", "a\r\n\xB5", {"a", "\xB5"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitText(c.text, kCrLf), c.pieces) << c.name;
}

TEST(IntToTextTest, DecimalLikePrintf) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(17), "17");
  EXPECT_EQ(IntToText(-5), "-5");
  EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}

TEST(BytesToTextTest, StopsAtTheFirstZeroByte) {
  const unsigned char withZero[] = {0x31, 0x00, 0x32};
  EXPECT_EQ(BytesToText(withZero, 3), "1");
  EXPECT_EQ(BytesToText(nullptr, 0), "");
  EXPECT_EQ(BytesToText(withZero + 1, 2), "");
  const unsigned char utf16[] = {0xFF, 0xFE, 0x31, 0x00, 0x32, 0x00};
  EXPECT_EQ(BytesToText(utf16, sizeof utf16), "\xFF\xFE\x31");
  EXPECT_EQ(BytesToText("\xEF\xBB\xBF"
                        "1\r\n",
                        6),
            "\xEF\xBB\xBF"
            "1\r\n");
}

TEST(ToLowerAnsiTest, LowersAsciiLettersAtCharacterStartsOnly) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"ABC", "abc"},
      {"", ""},
      {"aZ[@", "az[@"},
      {"\xB5\x41"
       "B",
       "\xB5\x41"
       "b"},               // trailing byte 0x41 stays
      {"X\xB5", "x\xB5"},  // lone lead byte at the end stays
      {"\xC4\xE3"
       "Hi",
       "\xC4\xE3"
       "hi"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ToLowerAnsi(in), out) << in;
}

TEST(FindTextTest, MatchesOnlyAtCharacterStarts) {
  const struct {
    std::string_view haystack, needle;
    int32_t position;
  } cases[] = {
      {"abc", "c", 3},
      {"abc", "abcd", -1},
      {"abc", "", 1},
      {"", "", -1},
      {"", "a", -1},
      {"\xB5\x41\x42", "AB", -1},  // would begin at a trailing byte
      {"\xB5\x41\x42", "B", 3},
      {"xx\xB5\xC4\xD7\xCA\xC1\xCF", "\xB5\xC4\xD7\xCA\xC1\xCF", 3},
      // "的资料" straddling two characters: starts at a trailing byte.
      {"\xB0\xB5\xC4\xD7\xCA\xC1\xCF", "\xB5\xC4\xD7\xCA\xC1\xCF", -1},
      {"ab\xB5", "\xB5", 3},  // a lone lead byte is still a character start
      {"ab\xB5", "b\xB5", 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindText(c.haystack, c.needle), c.position) << c.haystack << " / " << c.needle;
}

}  // namespace
