#include "app/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/contact_table.h"
#include "app/menus.h"
#include "app/resources/resource.h"
#include "app/rows.h"
#include "app/run_control.h"
#include "core/text.h"

namespace {

constexpr char kMainClass[] = "TollivarMainWindow";
constexpr char kLabelClass[] = "TollivarLabel";
constexpr char kLinkClass[] = "TollivarLink";

// The maker's contact number and addresses: fictional, on reserved domains.
#define MAKER_NUMBER "0800161022"
constexpr char kBannerText[] = "欢迎使用MerovellTollivar！   办理业务请加QQ：" MAKER_NUMBER;
constexpr char kUsageText[] =
    "使用说明：\r\n\r\n"
    "  1.登陆QQ，打开QQ界面，最小化都可以，建议登陆一个QQ。\r\n\r\n"
    "  2.点击菜单，点击导入QQ号，点击开始按钮，软件开始运行。\r\n\r\n"
    "  3.软件开始运行之后，请不要乱动鼠标，以免出错，谢谢使用！";
constexpr char kServiceAddress[] = "http://www.example.com/webchat?uin=" MAKER_NUMBER;
constexpr char kSiteAddress[] = "http://www.example.net/";
constexpr char kSiteCaption[] = "示例软件园 example.net";
#undef MAKER_NUMBER

enum ControlId : int {
  kIdServiceLink = 101,
  kIdSiteLink,
  kIdGroupBox,
  kIdBanner,
  kIdUsage,
  kIdResume,
  kIdPause,
  kIdTable,
  kIdStart,
  kIdFirstLabel = 201,  // 标签n has kIdFirstLabel + n - 1
};

enum class Role { kLink, kLabel, kGroupBox, kBanner, kUsage, kButton, kTable };
enum class FontRole { kDefault, kLabel, kGroupTitle, kBanner };

constexpr COLORREF kOfferBlue = RGB(128, 128, 255);
constexpr COLORREF kOfferOrange = RGB(255, 128, 0);
constexpr COLORREF kOfferRed = RGB(255, 0, 0);

struct ControlSpec {
  Role role;
  int id;
  bool inGroupBox;  // placed in the group box's area and a child of it
  int x, y, width, height;
  bool tabStop;
  const char* text;
  COLORREF colour;  // text colour of a label
  int link;         // index into MainWindow::links_ for a link, else -1
};

constexpr int Label(int n) { return kIdFirstLabel + n - 1; }

// In z-order from the top, which is the order of creation. The group box's
// own children follow it; they are ordered among themselves only.
constexpr ControlSpec kControls[] = {
    {Role::kLink, kIdServiceLink, false, 440, 642, 72, 24, false, "在线客服", 0, 0},
    {Role::kLink, kIdSiteLink, false, 536, 646, 152, 16, false, kSiteCaption, 0, 1},
    {Role::kLabel, Label(13), false, 512, 543, 168, 32, false, "直播人气 1000个", kOfferRed, -1},
    {Role::kLabel, Label(4), false, 280, 451, 168, 32, false, "说说评论 100条", kOfferBlue, -1},
    {Role::kGroupBox, kIdGroupBox, false, 259, 280, 432, 352, false, "Merovell低价网络业务", 0, -1},
    {Role::kLabel, Label(1), true, 17, 32, 168, 32, false, "名片点赞 1000个", kOfferBlue, -1},
    {Role::kLabel, Label(2), true, 16, 78, 168, 32, false, "空间人气 5000个", kOfferBlue, -1},
    {Role::kLabel, Label(3), true, 15, 125, 168, 32, false, "说说点赞 300个", kOfferBlue, -1},
    {Role::kLabel, Label(5), true, 16, 216, 168, 32, false, "歌曲试听 1万次", kOfferOrange, -1},
    {Role::kLabel, Label(6), true, 15, 263, 168, 32, false, "歌单收藏 500次", kOfferOrange, -1},
    {Role::kLabel, Label(7), true, 15, 307, 168, 32, false, "音乐粉丝 200个", kOfferOrange, -1},
    {Role::kLabel, Label(8), true, 250, 32, 168, 32, false, "主页访客 2000个", kOfferOrange, -1},
    {Role::kLabel, Label(9), true, 250, 80, 168, 32, false, "动态转发 100次", kOfferRed, -1},
    {Role::kLabel, Label(10), true, 250, 126, 168, 32, false, "日志浏览 1万次", kOfferRed, -1},
    {Role::kLabel, Label(11), true, 249, 172, 168, 32, false, "群成员 300人", kOfferRed, -1},
    {Role::kLabel, Label(12), true, 248, 217, 168, 32, false, "视频播放 5万次", kOfferRed, -1},
    {Role::kLabel, Label(14), true, 249, 307, 168, 32, false, "作品点赞 500个", kOfferRed, -1},
    {Role::kLabel, Label(15), true, 194, 32, 48, 304, false, "", 0, -1},
    {Role::kBanner, kIdBanner, false, 16, 7, 672, 40, true, kBannerText, 0, -1},
    {Role::kUsage, kIdUsage, false, 264, 160, 424, 104, true, kUsageText, 0, -1},
    {Role::kButton, kIdResume, false, 552, 81, 96, 48, true, "恢复", 0, -1},
    {Role::kButton, kIdPause, false, 416, 80, 96, 48, false, "暂停", 0, -1},
    {Role::kTable, kIdTable, false, 8, 56, 240, 576, true, "", 0, -1},
    {Role::kButton, kIdStart, false, 275, 80, 101, 48, true, "开始", 0, -1},
};

struct ClassAndStyle {
  const char* className;
  DWORD style;  // besides WS_CHILD | WS_VISIBLE and the tab stop
  DWORD exStyle;
  FontRole font;
};

ClassAndStyle ClassAndStyleOf(Role role) {
  constexpr DWORD kButton = BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;
  switch (role) {
    case Role::kLink:
      return {kLinkClass, 0, 0, FontRole::kDefault};
    case Role::kLabel:
      return {kLabelClass, 0, WS_EX_STATICEDGE, FontRole::kLabel};
    case Role::kGroupBox:
      return {"BUTTON", BS_GROUPBOX | BS_LEFT | WS_DISABLED, 0, FontRole::kGroupTitle};
    case Role::kBanner:
      return {"EDIT", ES_LEFT | ES_AUTOHSCROLL | ES_LOWERCASE, WS_EX_CLIENTEDGE, FontRole::kBanner};
    case Role::kUsage:
      return {"EDIT", ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
              WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, FontRole::kDefault};
    case Role::kButton:
      return {"BUTTON", kButton, 0, FontRole::kDefault};
    case Role::kTable:
      return {WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE,
              FontRole::kDefault};
  }
  return {"STATIC", 0, 0, FontRole::kDefault};
}

HFONT DefaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

struct FontSpec {
  const char* face;
  LONG height;
  BYTE charSet;
};

Font MakeFont(const FontSpec& font) {
  LOGFONTA lf{};
  lf.lfHeight = font.height;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = font.charSet;
  lf.lfOutPrecision = OUT_STROKE_PRECIS;
  lf.lfClipPrecision = CLIP_STROKE_PRECIS;
  lf.lfQuality = DRAFT_QUALITY;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  strncpy(lf.lfFaceName, font.face, LF_FACESIZE - 1);
  return Font(CreateFontIndirectA(&lf));
}

// Labels and links keep their font in their window extra bytes.
constexpr int kFontSlot = 0;

HFONT FontOf(HWND control) {
  HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrA(control, kFontSlot));
  return font ? font : DefaultGuiFont();
}

AnsiText WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

// Fills the control with button face and draws `text` on it, transparently.
void PaintFlat(HWND control, COLORREF colour, const AnsiText& text, UINT format) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(control, &ps);
  RECT area;
  GetClientRect(control, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ oldFont = SelectObject(dc, FontOf(control));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextA(dc, text.c_str(), -1, &area, format);
  SelectObject(dc, oldFont);
  EndPaint(control, &ps);
}

LRESULT HandleFontMessage(HWND control, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFONT) {
    SetWindowLongPtrA(control, kFontSlot, static_cast<LONG_PTR>(wParam));
    if (LOWORD(lParam)) InvalidateRect(control, nullptr, TRUE);
    return 0;
  }
  return GetWindowLongPtrA(control, kFontSlot);  // WM_GETFONT
}

LRESULT CALLBACK LabelProc(HWND label, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      PaintFlat(label, static_cast<COLORREF>(GetWindowLongPtrA(label, GWLP_USERDATA)), WindowText(label),
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting fills the whole area
    case WM_SETFONT:
    case WM_GETFONT:
      return HandleFontMessage(label, msg, wParam, lParam);
  }
  return DefWindowProcA(label, msg, wParam, lParam);
}

// The program registered for web pages, as its command line without the
// place of the address: "...exe" "%1" is cut before the quote, a bare %1 at
// itself; without either the last character goes.
AnsiText WebPageCommandWithoutAddress() {
  auto readDefault = [](const char* key) {
    DWORD size = 0;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0) {
      return AnsiText();
    }
    std::string value(size, '\0');
    if (RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
        ERROR_SUCCESS) {
      return AnsiText();
    }
    value.resize(strnlen(value.c_str(), value.size()));
    return value;
  };
  const AnsiText htmlClass = readDefault(".htm");
  if (htmlClass.empty()) return {};
  const AnsiText command = readDefault(ConcatText({htmlClass, "\\shell\\open\\command"}).c_str());
  if (command.empty()) return {};
  if (const std::int32_t at = FindText(command, "\"%1\""); at > 0) return command.substr(0, at - 1);
  if (const std::int32_t at = FindText(command, "%1"); at > 0) return command.substr(0, at - 1);
  return command.substr(0, command.size() - 1);
}

// True when the address reached a program (the last call made succeeded).
bool OpenLinkAddress(const char* address) {
  constexpr INT_PTR kShellOk = 32;  // results above this mean success
  const auto shell =
      reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOW));
  if (shell > kShellOk) return true;
  const AnsiText command = WebPageCommandWithoutAddress();
  if (command.empty()) return false;
  const AnsiText line = ConcatText({command, " ", address});
  return WinExec(line.c_str(), SW_SHOW) > kShellOk;
}

LRESULT CALLBACK LinkProc(HWND link, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFONT || msg == WM_GETFONT) return HandleFontMessage(link, msg, wParam, lParam);
  auto* state = reinterpret_cast<LinkState*>(GetWindowLongPtrA(link, GWLP_USERDATA));
  if (!state) return DefWindowProcA(link, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: {
      const COLORREF colour = state->isHovered   ? state->hover
                              : state->isVisited ? state->visited
                                                 : state->normal;
      AnsiText caption = WindowText(link);
      PaintFlat(link, colour, caption.empty() ? AnsiText(state->address) : caption,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      // The capture tells us when the mouse leaves.
      RECT area;
      GetClientRect(link, &area);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const bool inside = PtInRect(&area, at);
      if (inside && !state->isHovered) {
        state->isHovered = true;
        SetCapture(link);
        // Where the capture does not follow the mouse off the window (some
        // window systems), the leave notice still ends the hover.
        TRACKMOUSEEVENT leave{sizeof(leave), TME_LEAVE, link, 0};
        TrackMouseEvent(&leave);
        InvalidateRect(link, nullptr, FALSE);
      } else if (!inside && state->isHovered) {
        ReleaseCapture();  // WM_CAPTURECHANGED clears the mark
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      if (GetCapture() == link) ReleaseCapture();
      [[fallthrough]];
    case WM_CAPTURECHANGED:
      if (state->isHovered) {
        state->isHovered = false;
        InvalidateRect(link, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONDOWN:
      state->isVisited = OpenLinkAddress(state->address);
      InvalidateRect(link, nullptr, FALSE);
      return 0;
  }
  return DefWindowProcA(link, msg, wParam, lParam);
}

// Siblings above the group box lie over its area (标签4, 标签13); it must not
// paint over them, whatever order the paints come in.
void ExcludeHigherSiblings(HWND box, HDC dc) {
  for (HWND sibling = GetWindow(box, GW_HWNDPREV); sibling; sibling = GetWindow(sibling, GW_HWNDPREV)) {
    if (!IsWindowVisible(sibling)) continue;
    RECT r;
    GetWindowRect(sibling, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
}

HBRUSH AskParentForColours(HWND box, HDC dc) {
  return reinterpret_cast<HBRUSH>(SendMessageA(GetParent(box), WM_CTLCOLORSTATIC,
                                               reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box)));
}

// The group box is painted here rather than by the button class: a disabled
// button draws its title greyed, and the title stays red in its own font.
void PaintGroupBox(HWND box) {
  constexpr int kTitleLeft = 7;
  constexpr int kTitleMargin = 2;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(box, &ps);
  ExcludeHigherSiblings(box, dc);
  HBRUSH brush = AskParentForColours(box, dc);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = SelectObject(dc, font ? font : DefaultGuiFont());
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  RECT frame;
  GetClientRect(box, &frame);
  frame.top += metrics.tmHeight / 2 - 1;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const AnsiText title = WindowText(box);
  if (!title.empty()) {
    RECT text{kTitleLeft, 0, kTitleLeft, 0};
    DrawTextA(dc, title.c_str(), -1, &text, DT_SINGLELINE | DT_LEFT | DT_CALCRECT);
    RECT back{text.left - kTitleMargin, text.top, text.right + kTitleMargin, text.bottom};
    if (brush) FillRect(dc, &back, brush);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, title.c_str(), -1, &text, DT_SINGLELINE | DT_LEFT | DT_NOCLIP);
  }
  SelectObject(dc, oldFont);
  EndPaint(box, &ps);
}

LRESULT CALLBACK GroupBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      ExcludeHigherSiblings(box, dc);
      RECT area;
      GetClientRect(box, &area);
      if (HBRUSH brush = AskParentForColours(box, dc)) FillRect(dc, &area, brush);
      return 1;
    }
    case WM_PAINT:
      PaintGroupBox(box);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(box, GroupBoxProc, 0);
      break;
  }
  return DefSubclassProc(box, msg, wParam, lParam);
}

bool RegisterWindowClasses(HINSTANCE instance, WNDPROC mainProc) {
  struct ClassSpec {
    const char* name;
    WNDPROC proc;
    LPCSTR cursor;
    HBRUSH background;
    int extraBytes;
  };
  const ClassSpec classes[] = {
      {kMainClass, mainProc, IDC_ARROW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), 0},
      {kLabelClass, LabelProc, IDC_ARROW, nullptr, sizeof(LONG_PTR)},
      {kLinkClass, LinkProc, IDC_HAND, nullptr, sizeof(LONG_PTR)},
  };
  for (const ClassSpec& cls : classes) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = cls.proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, cls.cursor);
    wc.hbrBackground = cls.background;
    wc.cbWndExtra = cls.extraBytes;
    wc.lpszClassName = cls.name;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  return true;
}

}  // namespace

MainWindow::MainWindow()
    : links_{{
          {kServiceAddress, RGB(255, 0, 0), RGB(128, 0, 0), RGB(51, 153, 255)},
          {kSiteAddress, RGB(0, 0, 255), RGB(128, 0, 0), RGB(51, 153, 255)},
      }} {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (!RegisterWindowClasses(instance, WindowProc)) return false;

  HMENU menu = CreateCommandMenu();
  constexpr DWORD kStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  CreateWindowExA(0, kMainClass, kMainWindowTitle, kStyle,
                  (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2, kMainWindowWidth,
                  kMainWindowHeight, nullptr, menu, instance, this);
  if (!hwnd_) {
    if (menu) DestroyMenu(menu);
    return false;
  }
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultGuiFont()), FALSE);
  CreateFonts();
  CreateControls(instance);
  SetUpContactTable();
  SetIcon(instance);
  FitAndCentre();
  return true;
}

void MainWindow::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

bool MainWindow::PreTranslate(const MSG& msg) {
  const bool isEscape =
      (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_ESCAPE;
  if (!isEscape || !hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  return true;
}

void MainWindow::CreateFonts() {
  constexpr BYTE kGb2312 = GB2312_CHARSET;
  labelFont_ = MakeFont({"黑体", -16, kGb2312});
  groupTitleFont_ = MakeFont({"黑体", -20, kGb2312});
  bannerFont_ = MakeFont({"楷体", -19, ANSI_CHARSET});
  bannerBrush_ = Brush(CreateSolidBrush(RGB(236, 236, 236)));
  usageBrush_ = Brush(CreateSolidBrush(RGB(0, 0, 0)));
}

void MainWindow::CreateControls(HINSTANCE instance) {
  auto fontFor = [this](FontRole role) {
    switch (role) {
      case FontRole::kLabel:
        return labelFont_.get();
      case FontRole::kGroupTitle:
        return groupTitleFont_.get();
      case FontRole::kBanner:
        return bannerFont_.get();
      case FontRole::kDefault:
        break;
    }
    return DefaultGuiFont();
  };
  for (const ControlSpec& item : kControls) {
    const ClassAndStyle kind = ClassAndStyleOf(item.role);
    const DWORD style = WS_CHILD | WS_VISIBLE | (item.tabStop ? WS_TABSTOP : 0) | kind.style;
    HWND parent = item.inGroupBox ? groupBox_ : hwnd_;
    HWND control = CreateWindowExA(kind.exStyle, kind.className, item.text, style, item.x, item.y, item.width,
                                   item.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!control) continue;

    switch (item.role) {
      case Role::kLabel:
        SetWindowLongPtrA(control, GWLP_USERDATA, static_cast<LONG_PTR>(item.colour));
        break;
      case Role::kLink:
        SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&links_[item.link]));
        break;
      case Role::kGroupBox:
        groupBox_ = control;
        SetWindowSubclass(control, GroupBoxProc, 0, 0);
        break;
      case Role::kBanner:
      case Role::kUsage:
        (item.role == Role::kBanner ? banner_ : usage_) = control;
        SendMessageA(control, EM_LIMITTEXT, 0, 0);
        break;
      case Role::kTable:
        table_ = control;
        break;
      case Role::kButton:
        break;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(kind.font)), FALSE);
  }
}

void MainWindow::SetUpContactTable() {
  if (!table_) return;
  SendMessageA(table_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES);
  SendMessageA(table_, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
  SendMessageA(table_, LVM_SETTEXTBKCOLOR, 0, RGB(255, 255, 255));
  SendMessageA(table_, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
  AttachContactTable(table_);
}

void MainWindow::SetIcon(HINSTANCE instance) {
  constexpr int kIconSize = 80;
  icon_.Reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_TOLLIVAR), IMAGE_ICON, kIconSize,
                                            kIconSize, LR_DEFAULTCOLOR)));
  if (!icon_.get()) return;
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
}

void MainWindow::FitAndCentre() {
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  if (outer.right - outer.left == kMainWindowWidth && outer.bottom - outer.top == kMainWindowHeight &&
      outer.left == left && outer.top == top) {
    return;
  }
  SetWindowPos(hwnd_, nullptr, left, top, kMainWindowWidth, kMainWindowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLOREDIT:
      return OnEditColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
      return OnStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

void MainWindow::OnCommand(WORD id, WORD code, HWND source) {
  if (source) {
    if (code != BN_CLICKED) return;
    switch (id) {
      case kIdStart:
        StartRun();
        break;
      case kIdPause:
        PauseRun();
        break;
      case kIdResume:
        ResumeRun();
        break;
    }
    return;
  }
  switch (id) {
    case kCommandDeleteRow:
      DeleteSelectedRow();
      break;
    case kCommandImport:
      StartImportThread();
      break;
    case kCommandClearAll:
      ClearAllRows();
      break;
    case kCommandPurgeLiked:
      StartPurgeThread();
      break;
  }
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == table_ && header.code == static_cast<UINT>(NM_RCLICK)) ShowContextMenu(hwnd_);
  return 0;
}

LRESULT MainWindow::OnEditColour(HDC dc, HWND edit) {
  struct EditColours {
    HWND edit;
    COLORREF text;
    COLORREF background;
    HBRUSH brush;
  };
  const EditColours colours[] = {
      {banner_, RGB(255, 0, 0), RGB(236, 236, 236), bannerBrush_.get()},
      {usage_, RGB(0, 255, 0), RGB(0, 0, 0), usageBrush_.get()},
  };
  for (const EditColours& c : colours) {
    if (c.edit != edit || !edit) continue;
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.background);
    return reinterpret_cast<LRESULT>(c.brush);
  }
  return DefWindowProcA(hwnd_, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
}

LRESULT MainWindow::OnStaticColour(HDC dc, HWND control) {
  if (!control || control != groupBox_) {
    return DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  }
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void MainWindow::OnClose() {
  // Never refused, nothing asked or saved. The process ends next and the
  // system takes the window with it: destroying the table ourselves deletes
  // its rows one by one, which some list views do in time quadratic in the
  // rows (over a minute for 300,000 under Wine).
  PostQuitMessage(0);
}

void MainWindow::OnDestroy() {
  banner_ = usage_ = groupBox_ = table_ = nullptr;
  PostQuitMessage(0);
}
