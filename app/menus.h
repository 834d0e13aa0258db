// The four table commands, offered on the menu bar and as the table's
// pop-up menu. Both carry the same identifiers, so one WM_COMMAND handler
// serves them.
#pragma once

#include <windows.h>

enum CommandId : UINT {
  kCommandDeleteRow = 40001,
  kCommandImport = 40002,
  kCommandClearAll = 40003,
  kCommandPurgeLiked = 40004,
};

// The menu bar: a single entry "菜单" whose drop-down holds the commands.
HMENU CreateCommandMenu();

// Shows the commands at the cursor (offset by 3 pixels) and returns when the
// menu closes; a chosen command reaches `owner` as WM_COMMAND.
void ShowContextMenu(HWND owner);
