// The import on a real list view, called from worker threads as the import
// thread calls it, and the real open-file dialog driven through its controls.
#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/import.h"
#include "core/table.h"
#include "tests/win32/file_dialog.h"
#include "tests/win32/table_window.h"

namespace {

using namespace std::string_literals;

// A file in the temp folder, removed again at the end of the test.
class TempFile {
 public:
  TempFile(const char* name, const std::string& bytes) {
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    path_ = std::string(dir) + "tollivar-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    HANDLE h =
        CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
  }
  ~TempFile() { DeleteFileA(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::vector<AnsiText> Column(int column) {
  std::vector<AnsiText> out;
  OnTableThread([&] {
    for (int32_t i = 0; i < RowCount(); ++i) out.push_back(GetCellText(i, column));
  });
  return out;
}

TEST(ReadWholeFileTest, GivesEveryByteOrNothing) {
  const std::string content =
      "123\r\n\0"
      "456\xFF\r\n"s;
  TempFile normal("normal.txt", content);
  TempFile empty("empty.txt", "");
  TempFile locked("locked.txt", "123");
  // Held open for writing by another program: reading must not share it.
  HANDLE writer = CreateFileA(locked.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);

  EXPECT_EQ(ReadWholeFile(normal.path()), content);
  EXPECT_EQ(ReadWholeFile(""), "");
  EXPECT_EQ(ReadWholeFile(empty.path()), "");
  EXPECT_EQ(ReadWholeFile(normal.path() + ".missing"), "");
  EXPECT_EQ(ReadWholeFile(locked.path()), "");
  CloseHandle(writer);
  EXPECT_EQ(ReadWholeFile(locked.path()), "123");
}

TEST(WideToAnsiTextTest, ConvertsToTheAnsiCodePage) {
  EXPECT_EQ(WideToAnsiText(u"12 中文"), "12 \xD6\xD0\xCE\xC4");
  EXPECT_EQ(WideToAnsiText(u""), "");
}

class ImportTest : public ::testing::Test {
 protected:
  TableWindow window;
};

TEST_F(ImportTest, NumbersFromOneBehindExistingRowsAndTwiceAppendsTwice) {
  for (const char* n : {"x", "y", "z"}) {
    SetCellText(AppendRow(IntToText(RowCount() + 1)), kColumnNumber, n);
  }
  SetCellText(1, kColumnStatus, StatusLiked);
  const TextList lines = {"123", "", "456 "};
  ImportLines(lines);
  ImportLines(lines);
  EXPECT_EQ(Column(kColumnRowNumber), (std::vector<AnsiText>{"1", "2", "3", "1", "2", "3", "1", "2", "3"}));
  EXPECT_EQ(Column(kColumnNumber),
            (std::vector<AnsiText>{"x", "y", "z", "123", "", "456 ", "123", "", "456 "}));
  EXPECT_EQ(Column(kColumnStatus), (std::vector<AnsiText>{"", StatusLiked, "", "", "", "", "", "", ""}));
}

TEST_F(ImportTest, NothingToImportAddsNothing) {
  TempFile empty("empty.txt", "");
  TempFile zeroFirst("zero.txt",
                     "\0"
                     "123\r\n"s);
  ImportLines({});
  ImportFile("");
  ImportFile(empty.path());
  ImportFile(empty.path() + ".missing");
  ImportFile(zeroFirst.path());
  EXPECT_EQ(RowCount(), 0);
}

// Two imports at once while a third thread keeps deleting rows: every line
// must end up in a row of its own, beside its own number.
TEST_F(ImportTest, TwoImportsAtOnceWhileRowsAreDeleted) {
  constexpr int kLines = 2 * kImportRowsPerTrip + 7;
  constexpr int kFillers = 3000;
  OnTableThread([] {
    for (int i = 0; i < kFillers; ++i) SetCellText(AppendRow("0"), kColumnNumber, "filler");
  });
  auto linesOf = [](int base) {
    TextList lines;
    for (int i = 1; i <= kLines; ++i) lines.push_back(IntToText(base + i));
    return lines;
  };
  const TextList a = linesOf(1000000), b = linesOf(2000000);

  // Deletes row 0 only while it is a filler: imported rows go at the end.
  std::atomic<bool> importing{true};
  int deleted = 0;
  std::thread deleter([&] {
    while (importing && deleted < kFillers - 1) {
      DeleteRow(0);
      ++deleted;
    }
  });
  std::thread first([&] { ImportLines(a); });
  std::thread second([&] { ImportLines(b); });
  first.join();
  second.join();
  importing = false;
  deleter.join();

  const auto numbers = Column(kColumnNumber);
  const auto rowNumbers = Column(kColumnRowNumber);
  ASSERT_EQ(numbers.size(), static_cast<size_t>(kFillers - deleted + 2 * kLines));
  std::set<AnsiText> seen;
  for (size_t r = 0; r < numbers.size(); ++r) {
    if (numbers[r] == "filler") continue;
    ASSERT_FALSE(numbers[r].empty()) << "row " << r;
    const int n = std::stoi(numbers[r]);
    EXPECT_EQ(rowNumbers[r], IntToText(n % 1000000)) << "row " << r;
    EXPECT_TRUE(seen.insert(numbers[r]).second) << numbers[r] << " twice";
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(2 * kLines));
  EXPECT_GT(deleted, 0);
  EXPECT_TRUE(window.Answers());
}

// ImportNumbers on a thread of its own, as the import thread runs it.
class ImportThread {
 public:
  ImportThread() {
    thread_ = std::thread([this] {
      id_ = GetCurrentThreadId();
      ImportNumbers();
    });
    while (id_ == 0) Sleep(1);
  }
  ~ImportThread() {
    if (!thread_.joinable()) return;
    // A test that failed midway may leave the dialog open.
    if (HWND dialog = DialogOfThread(id_)) PressDialogButton(dialog, IDCANCEL);
    thread_.join();
  }
  HWND Dialog() { return WaitForDialog(id_); }
  void Join() { thread_.join(); }

 private:
  std::thread thread_;
  std::atomic<DWORD> id_{0};
};

void Confirm(HWND dialog, const std::string& path) {
  SetWindowTextA(FileNameBox(dialog), path.c_str());
  PressDialogButton(dialog, IDOK);
}

TEST_F(ImportTest, CancelledDialogAddsNothing) {
  ImportThread importer;
  HWND dialog = importer.Dialog();
  ASSERT_NE(dialog, nullptr);
  char desktop[MAX_PATH] = {};
  ASSERT_TRUE(
      SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
  EXPECT_EQ(_stricmp(DialogFolder(dialog).c_str(), desktop), 0) << DialogFolder(dialog);
  EXPECT_EQ(WindowText(FileNameBox(dialog)), "");
  PressDialogButton(dialog, IDCANCEL);
  importer.Join();
  EXPECT_EQ(RowCount(), 0);
  EXPECT_EQ(ImportDialogFileName(), "");
}

// Two dialogs open at once, each confirmed with its own file; the path
// confirmed last is what the next opening shows.
TEST_F(ImportTest, TwoDialogsAtOnce) {
  TempFile wide("wide.txt",
                "\xFF\xFE"
                "1\0"
                "2\0\r\0\n\0-N\x87\x65\r\0\n\0"s);
  TempFile lfEnds("lfEnds.txt", "7\n8\n9\n");
  ImportThread first, second;
  HWND firstDialog = first.Dialog(), secondDialog = second.Dialog();
  ASSERT_NE(firstDialog, nullptr);
  ASSERT_NE(secondDialog, nullptr);
  Confirm(firstDialog, wide.path());
  first.Join();
  Confirm(secondDialog, lfEnds.path());
  second.Join();
  EXPECT_EQ(Column(kColumnRowNumber), (std::vector<AnsiText>{"1", "2", "1", "2", "3"}));
  EXPECT_EQ(Column(kColumnNumber), (std::vector<AnsiText>{"12", "\xD6\xD0\xCE\xC4", "7", "8", "9"}));
  EXPECT_EQ(_stricmp(ImportDialogFileName().c_str(), lfEnds.path().c_str()), 0) << ImportDialogFileName();

  ImportThread third;
  HWND thirdDialog = third.Dialog();
  ASSERT_NE(thirdDialog, nullptr);
  const std::string shown = WindowText(FileNameBox(thirdDialog));
  const std::string shownPath = DialogFilePath(thirdDialog);
  PressDialogButton(thirdDialog, IDCANCEL);
  third.Join();
  // The box names the chosen file, as a full path or beside its folder.
  EXPECT_EQ(_stricmp(shownPath.c_str(), lfEnds.path().c_str()), 0) << shown << " / " << shownPath;
  EXPECT_EQ(RowCount(), 5);
}

}  // namespace
