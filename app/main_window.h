// The program's one top-level window: the contact table, the run buttons,
// the banner and usage boxes, the offers panel, two links and the menu bar.
#pragma once

#include <windows.h>

#include <array>
#include <utility>

// Owns a GDI object (font, brush, ...) and deletes it with itself.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle get() const { return handle_; }
  void Reset() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
  }

 private:
  Handle handle_ = nullptr;
};
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;

// Owns an icon loaded from the resources.
class Icon {
 public:
  Icon() = default;
  explicit Icon(HICON icon) : icon_(icon) {}
  ~Icon() { Reset(nullptr); }
  Icon(const Icon&) = delete;
  Icon& operator=(const Icon&) = delete;
  HICON get() const { return icon_; }
  void Reset(HICON icon) {
    if (icon_) DestroyIcon(icon_);
    icon_ = icon;
  }

 private:
  HICON icon_ = nullptr;
};

// A self-painted link: its colours follow the hover and visited marks.
struct LinkState {
  const char* address;
  COLORREF normal;
  COLORREF visited;
  COLORREF hover;
  bool isHovered = false;
  bool isVisited = false;
};

inline constexpr char kMainWindowTitle[] = "Tollivar v1.161.22";
inline constexpr int kMainWindowWidth = 713;
inline constexpr int kMainWindowHeight = 731;

class MainWindow {
 public:
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window with its menu and controls, sized and centred on the
  // screen, not yet shown. False when the window could not be created.
  bool Create(HINSTANCE instance);
  void Show();
  HWND hwnd() const { return hwnd_; }

  // Esc pressed in the window or any of its controls closes the window. Give
  // it every message before it is translated; true when it took the message.
  bool PreTranslate(const MSG& msg);

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  void CreateFonts();
  void CreateControls(HINSTANCE instance);
  void SetUpContactTable();
  void SetIcon(HINSTANCE instance);
  void FitAndCentre();

  void OnCommand(WORD id, WORD code, HWND source);
  LRESULT OnNotify(const NMHDR& header);
  LRESULT OnEditColour(HDC dc, HWND edit);
  LRESULT OnStaticColour(HDC dc, HWND control);
  void OnClose();
  void OnDestroy();

  HWND hwnd_ = nullptr;
  HWND banner_ = nullptr;
  HWND usage_ = nullptr;
  HWND groupBox_ = nullptr;
  HWND table_ = nullptr;

  Font labelFont_;
  Font groupTitleFont_;
  Font bannerFont_;
  Brush bannerBrush_;
  Brush usageBrush_;
  Icon icon_;
  std::array<LinkState, 2> links_;
};
