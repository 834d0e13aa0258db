// Turning the bytes of an imported number file into its lines.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/text.h"

// The whole content of a file, zero bytes included.
using ByteBuffer = std::string;

// Converts UTF-16 code units (already in host order) to the ANSI code page.
// The host has no code-page tables, so Windows passes the system's converter.
using WideToAnsi = std::function<AnsiText(std::u16string_view)>;

// The file's text with every line end made CR LF, ready for SplitText at CR
// LF. A UTF-8 byte-order mark is dropped; UTF-16 with a byte-order mark
// (either order) is converted with `toAnsi`; anything else is taken byte for
// byte up to its first zero byte. CR LF, LF alone and CR alone each end a
// line; a line end at the very end adds no line, and nothing else in a line
// changes.
AnsiText DecodeImportText(ByteBuffer bytes, const WideToAnsi& toAnsi);
// SplitText of DecodeImportText at CR LF: one entry per line, in order.
TextList DecodeImportLines(ByteBuffer bytes, const WideToAnsi& toAnsi);
// Length of the first `lines` lines of a decoded text, their ends included
// (the whole text when it has fewer). Splitting the two parts apart gives the
// same lines as splitting the whole, so a long file can be split piecewise.
std::size_t ImportTextPrefix(std::string_view text, std::size_t lines);

// The dialog's list of file types from a filter such as "Text|*.txt": pairs
// of (display text, pattern) as "|"-separated texts, each ended by a zero
// byte, the list ended by an empty text. An empty filter gives no list.
std::string ImportFilterList(std::string_view filter);
