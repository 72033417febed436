#include "ui/ToolTip.h"

#include "ui/System.h"

namespace ui {

bool ToolTip::Create(Window* parent, DWORD style) {
  CreateParams params;
  params.className = kClassName;
  params.style = WS_POPUP | (style & ~WS_CHILD);
  params.parent = parent ? parent->GetSafeHwnd() : 0;
  return CreateEx(params);
}

void ToolTip::Activate(bool activate) {
  active_ = activate;
  if (!activate) shown_.clear();
}

bool ToolTip::AddTool(Window* tool, const std::wstring& text, const Rect& rect, UINT id) {
  if (!tool) return false;
  tools_.push_back({tool->GetSafeHwnd(), id, text, rect});
  return true;
}

void ToolTip::UpdateTipText(const std::wstring& text, Window* tool, UINT id) {
  for (ToolInfo& t : tools_)
    if (tool && t.window == tool->GetSafeHwnd() && t.id == id) t.text = text;
}

const ToolInfo* ToolTip::ToolAt(HWND window, Point client) const {
  for (const ToolInfo& t : tools_)
    if (t.window == window && t.rect.Contains(client)) return &t;
  return nullptr;
}

void ToolTip::Update() {
  if (!active_) return;
  Point cursor = GetCursorPos();
  for (const ToolInfo& t : tools_) {
    Window* w = Window::FromHandle(t.window);
    if (!w) continue;
    Point p = cursor;
    w->ScreenToClient(&p);
    if (t.rect.Contains(p)) {
      shown_ = t.text;
      return;
    }
  }
}

void ToolTip::RelayEvent(const Msg& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE: {
      const ToolInfo* tool = active_ ? ToolAt(msg.hwnd, {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}) : nullptr;
      shown_ = tool ? tool->text : std::wstring();
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSELEAVE:
      shown_.clear();
      break;
    default:
      break;
  }
}

}  // namespace ui
