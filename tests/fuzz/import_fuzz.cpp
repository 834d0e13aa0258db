// Decoding an imported file's bytes into lines: never a crash, no line holds
// a zero byte, and splitting piecewise gives the same lines as splitting whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/import_text.h"

namespace {

// A stand-in for the system converter: ASCII through, everything else '?'.
AnsiText NarrowAscii(std::u16string_view units) {
  AnsiText out;
  for (char16_t u : units) out += u < 0x80 ? static_cast<char>(u) : '?';
  return out;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ByteBuffer bytes(reinterpret_cast<const char*>(data), size);
  const TextList lines = DecodeImportLines(bytes, NarrowAscii);
  for (const AnsiText& line : lines) {
    Check(line.find('\0') == std::string::npos);
  }
  const AnsiText text = DecodeImportText(bytes, NarrowAscii);
  Check(SplitText(text, "\r\n") == lines);
  // Piecewise splitting, as a long import does it, gives the same lines.
  const std::size_t half = lines.size() / 2;
  const std::size_t prefix = ImportTextPrefix(text, half);
  Check(prefix <= text.size());
  TextList pieces = SplitText(std::string_view(text).substr(0, prefix), "\r\n");
  const TextList tail = SplitText(std::string_view(text).substr(prefix), "\r\n");
  pieces.insert(pieces.end(), tail.begin(), tail.end());
  Check(pieces == lines);
  // Plain ASCII without a byte-order mark: lines are the bytes between line ends.
  bool ascii = size > 0 && data[0] != 0xEF && data[0] != 0xFF && data[0] != 0xFE;
  for (size_t i = 0; i < size && ascii; ++i) ascii = data[i] > 0 && data[i] < 0x80;
  if (ascii) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) {
      if (data[i] == '\n' || (data[i] == '\r' && (i + 1 == size || data[i + 1] != '\n'))) ++count;
    }
    const bool endsWithLineEnd = data[size - 1] == '\n' || data[size - 1] == '\r';
    Check(lines.size() == count + (endsWithLineEnd ? 0 : 1));
  }
  return 0;
}
