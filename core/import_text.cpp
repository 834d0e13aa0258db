#include "core/import_text.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kLineEnd = "\r\n";

bool StartsWith(const ByteBuffer& bytes, std::string_view mark) {
  return bytes.compare(0, mark.size(), mark) == 0;
}

// Code units after the mark, up to the first zero one: a NUL ends an ANSI
// text, so it ends this one too.
std::u16string Utf16Units(const ByteBuffer& bytes, bool bigEndian) {
  std::u16string units;
  units.reserve((bytes.size() - 2) / 2);
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return units;
}

// Every line end becomes CR LF, so that SplitText cuts at each of them.
// SplitText never looks at the byte after a lead byte; when a line ends in
// such a half character, the line keeps one CR as that byte, so that the CR
// LF after it still stands at a character start.
AnsiText NormaliseLineEnds(std::string_view text) {
  AnsiText out;
  out.reserve(text.size() + text.size() / 8 + 2);
  bool awaitingTrail = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (awaitingTrail) out.push_back('\r');
      out.append(kLineEnd);
      awaitingTrail = false;
      continue;
    }
    out.push_back(c);
    awaitingTrail = !awaitingTrail && IsLeadByte(static_cast<unsigned char>(c));
  }
  return out;
}

}  // namespace

AnsiText DecodeImportText(ByteBuffer bytes, const WideToAnsi& toAnsi) {
  AnsiText text;
  if (StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark)) {
    const std::u16string units = Utf16Units(bytes, StartsWith(bytes, kUtf16BeMark));
    ByteBuffer().swap(bytes);
    const AnsiText converted = units.empty() ? AnsiText() : toAnsi(units);
    text = BytesToText(converted.data(), converted.size());
  } else {
    const std::size_t skip = StartsWith(bytes, kUtf8Mark) ? kUtf8Mark.size() : 0;
    text = BytesToText(bytes.data() + skip, bytes.size() - skip);
  }
  ByteBuffer().swap(bytes);
  return NormaliseLineEnds(text);
}

TextList DecodeImportLines(ByteBuffer bytes, const WideToAnsi& toAnsi) {
  return SplitText(DecodeImportText(std::move(bytes), toAnsi), kLineEnd);
}

std::size_t ImportTextPrefix(std::string_view text, std::size_t lines) {
  // The same walk as SplitText's: only a CR LF at a character start ends a line.
  std::size_t i = 0;
  while (lines > 0 && i < text.size()) {
    if (text.compare(i, kLineEnd.size(), kLineEnd) == 0) {
      i += kLineEnd.size();
      --lines;
    } else {
      i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
  }
  return std::min(i, text.size());
}

std::string ImportFilterList(std::string_view filter) {
  if (filter.empty()) return {};
  std::string list(filter);
  while (!list.empty() && std::string_view(" \t\r\n\v\f").find(list.back()) != std::string_view::npos) {
    list.pop_back();
  }
  if (!list.ends_with("||")) list += "||";
  for (char& c : list) {
    if (c == '|') c = '\0';
  }
  return list;
}
