#pragma once
// ui::ToolTip: a tooltip control (class "tooltips_class32") with tools that
// show a text when the pointer rests over a window. The framework keeps the
// state (tools, texts, active, delay, shown); the backend shows it.
#include <string>
#include <vector>

#include "ui/Window.h"

namespace ui {

struct ToolInfo {
  HWND window = 0;
  UINT id = 0;
  std::wstring text;
  Rect rect;
};

class ToolTip : public Window {
 public:
  static constexpr const wchar_t* kClassName = L"tooltips_class32";

  bool Create(Window* parent, DWORD style = 0);
  void Activate(bool activate);
  bool IsActive() const { return active_; }
  bool AddTool(Window* tool, const std::wstring& text, const Rect& rect, UINT id);
  int GetToolCount() const { return int(tools_.size()); }
  void UpdateTipText(const std::wstring& text, Window* tool, UINT id);
  // TTDT_AUTOMATIC: one delay for showing and hiding.
  void SetDelayTime(UINT ms) { delayMs_ = ms; }
  UINT GetDelayTime() const { return delayMs_; }
  // TTM_UPDATE: shows the tip of the tool under the pointer again.
  void Update();
  // TTM_RELAYEVENT: mouse messages of a tool's window; a move over a tool
  // shows its text (while active), a press or leaving hides it.
  void RelayEvent(const Msg& msg);
  const std::vector<ToolInfo>& GetTools() const { return tools_; }
  // The text shown now; empty when hidden.
  const std::wstring& GetShownText() const { return shown_; }

 private:
  const ToolInfo* ToolAt(HWND window, Point client) const;

  bool active_ = false;
  UINT delayMs_ = 0;
  std::vector<ToolInfo> tools_;
  std::wstring shown_;
};

}  // namespace ui
