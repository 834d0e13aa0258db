#include "app/menus.h"

namespace {

struct MenuItem {
  CommandId id;
  const char* text;
};

constexpr MenuItem kCommands[] = {
    {kCommandDeleteRow, "删除这行"},
    {kCommandImport, "导入QQ号"},
    {kCommandClearAll, "清空所有"},
    {kCommandPurgeLiked, "删除点赞过的"},
};

constexpr int kContextMenuOffset = 3;

HMENU CreateCommandPopup() {
  HMENU popup = CreatePopupMenu();
  if (!popup) return nullptr;
  for (const MenuItem& item : kCommands) AppendMenuA(popup, MF_STRING, item.id, item.text);
  return popup;
}

}  // namespace

HMENU CreateCommandMenu() {
  HMENU bar = CreateMenu();
  HMENU popup = CreateCommandPopup();
  if (!bar || !popup) {
    if (popup) DestroyMenu(popup);
    if (bar) DestroyMenu(bar);
    return nullptr;
  }
  // The bar owns the drop-down from here on and destroys it with itself.
  AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), "菜单");
  return bar;
}

void ShowContextMenu(HWND owner) {
  HMENU popup = CreateCommandPopup();
  if (!popup) return;
  POINT at{};
  GetCursorPos(&at);
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x + kContextMenuOffset, at.y + kContextMenuOffset, 0, owner,
                 nullptr);
  DestroyMenu(popup);
}
