// Number import: an open-file dialog, the chosen file read whole, one row
// appended per line.
#pragma once

#include <cstdint>

#include "core/import_text.h"
#include "core/text.h"

inline constexpr char ImportInitialFolder[] = "C:\\Users\\Administrator\\Desktop";
inline constexpr int DialogKindOpen = 0;
// Rows added per trip to the table's thread.
inline constexpr std::int32_t kImportRowsPerTrip = 4000;

// Opens the import dialog (modal, no owner) on the calling thread. Returns 1
// and the chosen full path when the user confirmed a file, 0 otherwise. The
// settings are shared by every import: a confirmed path is shown in the
// file-name box at the next opening.
int ImportDialog(AnsiText* chosenPath);
// The dialog's file-name setting: the last confirmed path, empty before.
AnsiText ImportDialogFileName();

// The file's bytes; empty when it cannot be opened or read, or is empty.
ByteBuffer ReadWholeFile(const AnsiText& path);
// UTF-16 to the ANSI code page, as the system converts it.
AnsiText WideToAnsiText(std::u16string_view units);

// Appends one row per line, numbered from `firstNumber`: each row with its
// number in one step on the table's thread, in batches. False when the table
// is gone.
bool ImportLines(const TextList& lines, std::int32_t firstNumber = 1);
// Reads, decodes and appends the lines of the file at `path`, numbered from 1.
void ImportFile(const AnsiText& path);
// The import thread's body: dialog, then ImportFile of the chosen path.
void ImportNumbers();
