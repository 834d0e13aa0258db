// Checks the byte-level text operations against a plain model of the
// stepping rule: first list the character starts, then apply each operation's
// definition to them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/text.h"

namespace {

// Every byte from 0x80 up takes the next byte with it; a lone lead byte at the
// end is still a character start, and the walk ends there.
std::vector<std::size_t> CharacterStarts(const std::string& t) {
  std::vector<std::size_t> starts;
  std::size_t i = 0;
  while (i < t.size()) {
    starts.push_back(i);
    i += static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
  }
  return starts;
}

std::string ModelLower(const std::string& t) {
  std::string out = t;
  for (std::size_t s : CharacterStarts(t)) {
    if (out[s] >= 'A' && out[s] <= 'Z') out[s] = static_cast<char>(out[s] - 'A' + 'a');
  }
  return out;
}

int32_t ModelFind(const std::string& h, const std::string& n) {
  if (n.empty()) return h.empty() ? -1 : 1;
  for (std::size_t s : CharacterStarts(h)) {
    if (h.size() - s >= n.size() && h.compare(s, n.size(), n) == 0) return static_cast<int32_t>(s + 1);
  }
  return -1;
}

// The first delimiter at a character start cuts off a piece; the walk starts
// afresh past it. A text ending in the delimiter adds no empty last piece.
TextList ModelSplit(const std::string& t, const std::string& d) {
  TextList pieces;
  std::string rest = t;
  while (!rest.empty()) {
    std::size_t cut = std::string::npos;
    for (std::size_t s : CharacterStarts(rest)) {
      if (rest.size() - s >= d.size() && rest.compare(s, d.size(), d) == 0) {
        cut = s;
        break;
      }
    }
    if (cut == std::string::npos) {
      pieces.push_back(rest);
      break;
    }
    pieces.push_back(rest.substr(0, cut));
    rest = rest.substr(cut + d.size());
  }
  return pieces;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // First byte: where the needle starts; texts end at their first zero byte.
  if (size == 0) return 0;
  const std::size_t cut = 1 + data[0] % size;
  const std::string haystack = BytesToText(data + 1, cut - 1);
  const std::string needle = BytesToText(data + cut, size - cut);

  Check(ToLowerAnsi(haystack) == ModelLower(haystack));
  Check(FindText(haystack, needle) == ModelFind(haystack, needle));
  Check(FindText(ToLowerAnsi(haystack), ToLowerAnsi(needle)) ==
        ModelFind(ModelLower(haystack), ModelLower(needle)));
  Check(SplitText(haystack, "\r\n") == ModelSplit(haystack, "\r\n"));
  if (!needle.empty()) Check(SplitText(haystack, needle) == ModelSplit(haystack, needle));
  return 0;
}
