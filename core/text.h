// Byte texts in the ANSI code page (GBK on the target systems) and the
// operations the rest of the program applies to them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// A byte string ending at its first NUL; it never holds a NUL itself.
using AnsiText = std::string;
using TextList = std::vector<AnsiText>;

// Every byte from 0x80 up starts a two-byte character for the walks below,
// whatever the code page says.
constexpr bool IsLeadByte(unsigned char b) { return b >= 0x80; }

AnsiText ConcatText(std::initializer_list<std::string_view> parts);
bool TextEquals(std::string_view a, std::string_view b);
TextList SplitText(std::string_view text, std::string_view delimiter);
AnsiText IntToText(std::int32_t n);
AnsiText BytesToText(const void* bytes, std::size_t length);
AnsiText ToLowerAnsi(std::string_view text);
// 1-based byte position of the first match at a character start, or -1.
std::int32_t FindText(std::string_view haystack, std::string_view needle);
