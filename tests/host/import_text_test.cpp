#include "core/import_text.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

// Stands in for the system's converter: ASCII as is, two Chinese characters
// as their GBK bytes, anything else as "?".
AnsiText FakeToAnsi(std::u16string_view units) {
  AnsiText out;
  for (char16_t u : units) {
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (u == u'中') {
      out += "\xD6\xD0";
    } else if (u == u'文') {
      out += "\xCE\xC4";
    } else {
      out.push_back('?');
    }
  }
  return out;
}

struct DecodeCase {
  const char* name;
  ByteBuffer bytes;
  TextList lines;
};

TEST(DecodeImportLinesTest, CutsLinesAndDecodes) {
  const DecodeCase cases[] = {
      {"two CR LF lines", "123\r\n456\r\n", {"123", "456"}},
      {"empty middle line", "123\r\n\r\n456", {"123", "", "456"}},
      {"one CR LF", "\r\n", {""}},
      {"empty file", "", {}},
      {"last line without end", "123\r\n456", {"123", "456"}},
      {"LF", "123\n456\n", {"123", "456"}},
      {"CR", "123\r456\r", {"123", "456"}},
      {"LF LF is an empty line", "1\n\n2\n", {"1", "", "2"}},
      {"CR CR LF is an empty line", "1\r\r\n2", {"1", "", "2"}},
      {"LF CR is two line ends", "1\n\r2", {"1", "", "2"}},
      {"mixed", "1\r\n2\n3\r4", {"1", "2", "3", "4"}},
      {"one LF", "\n", {""}},
      {"spaces and GBK stay", " 12 \r\n\xD6\xD0\xCE\xC4\t\n", {" 12 ", "\xD6\xD0\xCE\xC4\t"}},
      {"ANSI stops at the first zero byte",
       "123\r\n45\0"
       "6\r\n789\r\n"s,
       {"123", "45"}},
      {"zero byte first",
       "\0"
       "123"s,
       {}},
      {"UTF-8 mark dropped",
       "\xEF\xBB\xBF"
       "123\r\n456",
       {"123", "456"}},
      {"UTF-8 mark only", "\xEF\xBB\xBF", {}},
      {"UTF-8 without mark byte for byte", "\xE4\xB8\xAD\xE6\x96\x87\n1", {"\xE4\xB8\xAD\xE6\x96\x87", "1"}},
      {"UTF-16 LE",
       "\xFF\xFE"
       "1\0"
       "2\0\r\0\n\0"
       "3\0\n\0\x2D\x4E\x87\x65"s,
       {"12", "3", "\xD6\xD0\xCE\xC4"}},
      {"UTF-16 BE",
       "\xFE\xFF\0"
       "1\0"
       "2\0\r\0\r\0"
       "3\x4E\x2D\x65\x87"s,
       {"12", "", "3\xD6\xD0\xCE\xC4"}},
      {"UTF-16 stops at a zero unit",
       "\xFF\xFE"
       "1\0\n\0\0\0"
       "2\0"s,
       {"1"}},
      {"UTF-16 odd last byte ignored",
       "\xFF\xFE"
       "1\0"
       "2"s,
       {"1"}},
      {"UTF-16 mark only", "\xFF\xFE", {}},
      {"UTF-16 unmappable", "\xFF\xFE\x3D\xD8\x00\xDE\n\0"s, {"??"}},
      // A half character before a line end: the splitter pairs the next byte
      // with it, so the line keeps a CR there and the line end still counts.
      {"lead byte before CR LF", "1\xB5\r\n2", {"1\xB5\r", "2"}},
      {"lead byte before LF", "1\xB5\n2", {"1\xB5\r", "2"}},
      {"lead byte before CR", "\xB5\r2\r", {"\xB5\r", "2"}},
      {"lead byte at the end", "1\r\n2\xB5", {"1", "2\xB5"}},
      {"trail byte that looks like a lead", "\xB5\xB5\n\xD6\xD0\xB5\r\n", {"\xB5\xB5", "\xD6\xD0\xB5\r"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeImportLines(c.bytes, FakeToAnsi), c.lines) << c.name;
    // A long file is split piece by piece: the pieces must give the same lines.
    const AnsiText text = DecodeImportText(c.bytes, FakeToAnsi);
    for (std::size_t perPiece : {1, 2, 3}) {
      TextList lines;
      std::string_view rest = text;
      while (!rest.empty()) {
        const std::size_t cut = ImportTextPrefix(rest, perPiece);
        ASSERT_GT(cut, 0u) << c.name;
        const TextList part = SplitText(rest.substr(0, cut), "\r\n");
        EXPECT_LE(part.size(), perPiece) << c.name;
        lines.insert(lines.end(), part.begin(), part.end());
        rest.remove_prefix(cut);
      }
      EXPECT_EQ(lines, c.lines) << c.name << ", " << perPiece << " lines per piece";
    }
  }
}

TEST(DecodeImportLinesTest, ConverterSeesOnlyUtf16) {
  int calls = 0;
  const WideToAnsi counting = [&](std::u16string_view u) {
    ++calls;
    return FakeToAnsi(u);
  };
  DecodeImportLines(
      "\xFE\xFF\0"
      "1"s,
      counting);
  DecodeImportLines(
      "\xFF\xFE"
      "1\0"s,
      counting);
  EXPECT_EQ(calls, 2);
  DecodeImportLines("123\r\n", counting);
  DecodeImportLines(
      "\xEF\xBB\xBF"
      "1",
      counting);
  DecodeImportLines(
      "\xFE"
      "1",
      counting);
  EXPECT_EQ(calls, 2);
}

TEST(ImportFilterListTest, BuildsPairsEndedByAnEmptyText) {
  const std::pair<std::string, std::string> cases[] = {
      {"*.txt", "*.txt\0\0"s},
      {"*.txt \t\r\n", "*.txt\0\0"s},
      {"Text|*.txt", "Text\0*.txt\0\0"s},
      {"Text|*.txt|All|*.*||", "Text\0*.txt\0All\0*.*\0\0"s},
      {"", ""},
  };
  for (const auto& [filter, list] : cases) EXPECT_EQ(ImportFilterList(filter), list) << filter;
}

}  // namespace
