#pragma once
// The plain value types of the window framework: handles, message parameters,
// points, sizes, rectangles and colours, with the word-packing helpers the
// client's handlers use on message parameters.
#include <algorithm>
#include <cstdint>

namespace ui {

// A window handle. Local windows and windows of other processes (the docking
// protocol passes handles on the command line and in messages) share one
// number space, given out by the backend; 0 is no window.
using HWND = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
// 0x00BBGGRR, as Windows stores colours.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return r | (g << 8) | (DWORD(b) << 16); }
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }

constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return WPARAM(low) | (WPARAM(high) << 16); }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) { return LPARAM(DWORD(low) | (DWORD(high) << 16)); }
// Signed coordinates packed into an lParam (mouse messages).
constexpr int GET_X_LPARAM(LPARAM l) { return std::int16_t(LOWORD(std::uintptr_t(l))); }
constexpr int GET_Y_LPARAM(LPARAM l) { return std::int16_t(HIWORD(std::uintptr_t(l))); }
constexpr LPARAM PointToLParam(int x, int y) { return MAKELPARAM(WORD(std::int16_t(x)), WORD(std::int16_t(y))); }

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int cx = 0, cy = 0;
  bool operator==(const Size&) const = default;
};

// left/top inside, right/bottom outside, as Windows rectangles are.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;

  static constexpr Rect FromXYWH(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  constexpr Point TopLeft() const { return {left, top}; }
  constexpr Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  constexpr Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.IsEmpty() ? Rect{} : r;
  }
  constexpr Rect Union(const Rect& o) const {
    if (IsEmpty()) return o;
    if (o.IsEmpty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
  }
};

// A queued or dispatched message, as the message loop hands it to
// PreTranslateMessage (which may change it in place) and then to the window.
struct Msg {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  Point pt;  // cursor position in screen coordinates when the message was made
};

}  // namespace ui
