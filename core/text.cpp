#include "core/text.h"

#include <cstring>

namespace {

// Index of the next character start after the one at i, or text.size() when
// the walk ends there (a lone lead byte at the end ends it too).
std::size_t NextCharStart(std::string_view text, std::size_t i) {
  if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
    return i + 1 >= text.size() ? text.size() : i + 2;
  }
  return i + 1;
}

}  // namespace

AnsiText ConcatText(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (auto p : parts) total += p.size();
  AnsiText out;
  out.reserve(total);
  for (auto p : parts) out.append(p);
  return out;
}

bool TextEquals(std::string_view a, std::string_view b) { return a == b; }

TextList SplitText(std::string_view text, std::string_view delimiter) {
  TextList pieces;
  if (text.empty() || delimiter.empty()) {
    if (!text.empty()) pieces.emplace_back(text);
    return pieces;
  }
  std::size_t start = 0;
  std::size_t i = 0;
  while (text.size() - i >= delimiter.size()) {
    if (text.compare(i, delimiter.size(), delimiter) == 0) {
      pieces.emplace_back(text.substr(start, i - start));
      i += delimiter.size();
      start = i;
      continue;
    }
    i = NextCharStart(text, i);
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

AnsiText IntToText(std::int32_t n) { return std::to_string(n); }

AnsiText BytesToText(const void* bytes, std::size_t length) {
  if (bytes == nullptr || length == 0) return {};
  const char* p = static_cast<const char*>(bytes);
  const void* zero = std::memchr(p, 0, length);
  return AnsiText(p, zero ? static_cast<const char*>(zero) - p : length);
}

AnsiText ToLowerAnsi(std::string_view text) {
  AnsiText out(text);
  for (std::size_t i = 0; i < out.size(); i = NextCharStart(out, i)) {
    if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 0x20);
  }
  return out;
}

std::int32_t FindText(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return haystack.empty() ? -1 : 1;
  for (std::size_t i = 0; haystack.size() - i >= needle.size(); i = NextCharStart(haystack, i)) {
    if (haystack.compare(i, needle.size(), needle) == 0) {
      return static_cast<std::int32_t>(i + 1);
    }
  }
  return -1;
}
