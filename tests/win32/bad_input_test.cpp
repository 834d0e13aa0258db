// Files nobody should import, imported from a worker thread into a real list
// view. Each gives the rows below, in bounded time, and the file is left as
// it was: same size, last-write time and content, and a handle of ours that
// shares the file with readers only stays open throughout (an import that
// asked for write access would be refused and add nothing).
//
// | file                                  | rows                                       |
// |---------------------------------------|--------------------------------------------|
// | empty                                 | none                                       |
// | 1 MB of zero bytes                    | none (the text ends at the first zero)     |
// | only line ends (CR LF, LF, CR, ...)   | one empty row per line end                 |
// | binary: random bytes, a zero, more    | one row per line before the zero, each     |
// |                                       | as the code page converts its bytes        |
// | UTF-16 (LE and BE) with a mark,       | "12?3?" and "4": each unpaired surrogate   |
// | unpaired surrogates, odd length       | becomes "?", the odd last byte is dropped  |
// | one line of 1 MB, no line end         | one row, the whole line                    |
// | 200 lines of 10,000 bytes             | 200 rows, each line whole (cell reads grow |
// |                                       | their buffer past 511 bytes)               |
// | 50 MB: 5,000 lines of 10,000 bytes    | 5,000 rows, each line whole                |
//
// 50 MB of short lines would be millions of rows: the list view under Wine
// takes about 3.9 KB a row, so such a file fills memory before the table is
// done. Nothing in the import limits it; 50 MB is tried with long lines.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/import.h"
#include "core/table.h"
#include "tests/win32/process_counts.h"
#include "tests/win32/table_window.h"

namespace {

using namespace std::string_literals;

constexpr DWORD kImportTimeLimitMs = 90000;

std::string TempPath(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + "tollivar-bad-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::uint64_t Fnv1a(const std::string& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return h;
}

// What the file looks like from outside.
struct FileState {
  std::uint64_t size = 0;
  FILETIME lastWrite{};
  std::uint64_t hash = 0;
  bool operator==(const FileState& o) const {
    return size == o.size && CompareFileTime(&lastWrite, &o.lastWrite) == 0 && hash == o.hash;
  }
};

std::string ReadAll(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(h);
  bytes.resize(got);
  return bytes;
}

FileState StateOf(const std::string& path) {
  FileState s;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    s.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    s.lastWrite = data.ftLastWriteTime;
  }
  s.hash = Fnv1a(ReadAll(path));
  return s;
}

class TempFile {
 public:
  TempFile(const char* name, const std::string& bytes) : path_(TempPath(name)) {
    HANDLE h =
        CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    // Last-write times have a coarse grain: a write right after this one
    // must be able to show.
    Sleep(20);
  }
  ~TempFile() { DeleteFileA(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Peak private memory while `work` runs, sampled.
class MemoryPeak {
 public:
  MemoryPeak()
      : sampler_([this] {
          while (!stop_) {
            const std::size_t now = PrivateBytes();
            if (now > peak_) peak_ = now;
            Sleep(5);
          }
        }) {}
  ~MemoryPeak() { Stop(); }
  std::size_t Stop() {
    stop_ = true;
    if (sampler_.joinable()) sampler_.join();
    return peak_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> peak_{0};
  std::thread sampler_;
};

// ImportFile of `path` on a worker thread, as the import thread calls it,
// while a handle of ours shares the file with readers only. A hang ends the
// test program: the import's thread cannot be taken back.
void ImportBounded(const std::string& path) {
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread importer([&] {
    ImportFile(path);
    SetEvent(done);
  });
  if (WaitForSingleObject(done, kImportTimeLimitMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "the import of %s did not end within %lu ms\n", path.c_str(), kImportTimeLimitMs);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  importer.join();
  CloseHandle(done);
  CloseHandle(reader);
}

std::vector<AnsiText> Numbers() {
  std::vector<AnsiText> out;
  OnTableThread([&] {
    for (std::int32_t i = 0; i < RowCount(); ++i) out.push_back(GetCellText(i, kColumnNumber));
  });
  return out;
}

// The text as the list view keeps it: converted to UTF-16 and back.
AnsiText ThroughCodePage(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  const int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string back(static_cast<std::size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), n, back.data(), m, nullptr, nullptr);
  return back;
}

// Random bytes that never hold a zero, CR or LF, ending in a single-byte
// character so that the line end after them stands on its own.
std::string BinaryLine(std::mt19937& random) {
  std::uniform_int_distribution<int> length(1, 200), byte(1, 255), ascii(0x21, 0x7E);
  std::string line;
  for (int n = length(random); static_cast<int>(line.size()) < n;) {
    const int b = byte(random);
    if (b != '\r' && b != '\n') line.push_back(static_cast<char>(b));
  }
  line.push_back(static_cast<char>(ascii(random)));
  return line;
}

std::string Digits(std::size_t n, unsigned seed) {
  std::string s(n, '0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('0' + (i * 7 + seed) % 10);
  return s;
}

// A line of `length` bytes that starts with its own number.
std::string LongLine(int number, std::size_t length) {
  std::string line = std::to_string(1000000 + number) + "-";
  return line + Digits(length - line.size(), static_cast<unsigned>(number));
}

struct Case {
  const char* name;
  std::string bytes;
  std::vector<AnsiText> rows;
};

std::vector<Case> BadFiles() {
  std::vector<Case> cases;
  cases.push_back({"empty", "", {}});
  cases.push_back({"zeros", std::string(1 << 20, '\0'), {}});
  cases.push_back({"line-ends", "\r\n\n\r\r\n\n\n", {"", "", "", "", "", ""}});

  std::mt19937 random(20261211);
  Case binary{"binary", "", {}};
  for (int i = 0; i < 2000; ++i) {
    const std::string line = BinaryLine(random);
    binary.bytes += line;
    binary.bytes += std::vector<const char*>{"\r\n", "\n", "\r"}[i % 3];
    binary.rows.push_back(ThroughCodePage(line));
  }
  binary.bytes += '\0';
  for (int i = 0; i < 65536; ++i) binary.bytes += static_cast<char>(random());
  cases.push_back(binary);

  // 1 2 D800 3 DC00 CR LF 4, then one odd byte.
  const std::vector<char16_t> units = {u'1', u'2', 0xD800, u'3', 0xDC00, u'\r', u'\n', u'4'};
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (const char16_t u : units) {
    le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  }
  cases.push_back({"utf16le", le + "5", {"12?3?", "4"}});
  cases.push_back({"utf16be", be + "5", {"12?3?", "4"}});

  const std::string megabyte = Digits(1 << 20, 3);
  cases.push_back({"one-long-line", megabyte, {megabyte}});

  Case longLines{"long-lines", "", {}};
  for (int i = 0; i < 200; ++i) {
    longLines.rows.push_back(LongLine(i, 10000));
    longLines.bytes += longLines.rows.back() + "\r\n";
  }
  cases.push_back(longLines);
  return cases;
}

class BadInputTest : public ::testing::Test {
 protected:
  TableWindow window;
};

TEST_F(BadInputTest, EachFileGivesItsRowsAndStaysUnwritten) {
  for (const Case& c : BadFiles()) {
    SCOPED_TRACE(c.name);
    DeleteAllRows();
    TempFile file(c.name, c.bytes);
    const FileState before = StateOf(file.path());
    ASSERT_EQ(before.size, c.bytes.size());
    ImportBounded(file.path());
    EXPECT_TRUE(StateOf(file.path()) == before);
    const std::vector<AnsiText> rows = Numbers();
    ASSERT_EQ(rows.size(), c.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      // Long lines are not printed whole when they differ.
      ASSERT_TRUE(rows[i] == c.rows[i])
          << "row " << i << ": " << rows[i].size() << " bytes, want " << c.rows[i].size() << ": "
          << rows[i].substr(0, 40) << " / " << c.rows[i].substr(0, 40);
    }
    EXPECT_TRUE(window.Answers());
  }
}

TEST_F(BadInputTest, FiftyMegabytesOfLongLines) {
  constexpr int kLines = 5000;
  constexpr std::size_t kLength = 10000;
  std::string bytes;
  bytes.reserve(kLines * (kLength + 1));
  for (int i = 0; i < kLines; ++i) bytes += LongLine(i, kLength) + "\n";
  TempFile file("fifty.txt", bytes);
  const FileState before = StateOf(file.path());
  std::string().swap(bytes);

  const std::size_t idle = PrivateBytes();
  MemoryPeak peak;
  const ULONGLONG start = GetTickCount64();
  ImportBounded(file.path());
  const ULONGLONG ms = GetTickCount64() - start;
  const std::size_t most = peak.Stop();
  std::printf("50 MB import: %llu ms, private memory %zu MB before, %zu MB at most, %zu MB after\n", ms,
              idle >> 20, most >> 20, PrivateBytes() >> 20);

  EXPECT_TRUE(StateOf(file.path()) == before);
  ASSERT_EQ(RowCount(), kLines);
  for (const int i : {0, 1, kLines / 2, kLines - 1}) {
    EXPECT_TRUE(GetCellText(i, kColumnNumber) == LongLine(i, kLength)) << "row " << i;
    EXPECT_EQ(GetCellText(i, kColumnRowNumber), IntToText(i + 1));
  }
  EXPECT_TRUE(window.Answers());
}

}  // namespace
