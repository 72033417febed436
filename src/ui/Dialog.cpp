#include "ui/Dialog.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "ui/Backend.h"
#include "ui/Button.h"
#include "ui/FrameworkState.h"
#include "ui/System.h"

namespace ui {

Dialog::Dialog(DialogTemplate dialogTemplate, Window* parent)
    : template_(std::move(dialogTemplate)), parent_(parent) {}

Dialog::~Dialog() {
  if (GetSafeHwnd()) DestroyWindow();
}

const DialogTemplate& Dialog::GetTemplate() const { return template_; }
int Dialog::GetTemplateId() const { return template_.id; }

bool Dialog::Create(Window* parent) {
  if (parent) parent_ = parent;
  HWND target = 0;
  if (parent_) target = (template_.style & WS_CHILD) ? parent_->GetSafeHwnd() : parent_->GetTopLevelParent()->GetSafeHwnd();
  return CreateFromTemplate(target, false);
}

bool Dialog::Create(HWND parent) { return CreateFromTemplate(parent, false); }

bool Dialog::CreateFromTemplate(HWND parentOrOwner, bool modal) {
  CreateParams params;
  params.className = L"#32770";
  params.text = template_.text;
  params.style = template_.style & ~WS_VISIBLE;
  params.exStyle = template_.exStyle;
  params.parent = parentOrOwner;
  Rect rect{0, 0, template_.size.cx, template_.size.cy};
  if (!(template_.style & WS_CHILD)) {
    // Popups open centred over a visible owner, otherwise over the work area.
    Window* owner = LocalWindow(parentOrOwner);
    Rect area = (owner && owner->IsWindowVisible() && !owner->IsIconic()) ? owner->GetWindowRect() : GetWorkArea();
    rect = Rect::FromXYWH(area.left + (area.Width() - rect.Width()) / 2, area.top + (area.Height() - rect.Height()) / 2,
                          rect.Width(), rect.Height());
  }
  params.rect = rect;
  modal_ = modal;
  ended_ = false;
  if (!CreateEx(params)) return false;
  for (const ControlTemplate& control : template_.controls) {
    auto* button = new Button();
    if (button->Create(control.text, WS_CHILD | WS_VISIBLE, control.rect, this, control.id)) {
      Framework::MarkFrameworkOwned(*button);
    } else {
      delete button;
    }
  }
  HWND hwnd = GetSafeHwnd();
  Framework::Call(*this, WM_INITDIALOG, 0, 0);
  if (LocalWindow(hwnd) != this) return false;
  if ((template_.style & WS_VISIBLE) && !ended_) ShowWindow(SW_SHOW);
  return true;
}

INT_PTR Dialog::DoModal() {
  GetBackend().BeforeModal(*this);
  HWND owner = 0;
  if (parent_) {
    owner = parent_->GetTopLevelParent()->GetSafeHwnd();
  } else if (Window* main = GetMainWindow(); main && main != this && main->GetSafeHwnd()) {
    owner = main->GetLastActivePopup()->GetSafeHwnd();
  }
  Window* ownerWindow = LocalWindow(owner);
  bool disabledOwner = ownerWindow && ownerWindow->IsWindowEnabled();
  if (disabledOwner) ownerWindow->EnableWindow(false);
  result_ = -1;
  struct Cleanup {
    Dialog& dialog;
    HWND owner;
    bool enableOwner;
    ~Cleanup() {
      dialog.modal_ = false;
      if (Window* o = LocalWindow(owner); o && enableOwner) o->EnableWindow(true);
      if (dialog.GetSafeHwnd()) {
        dialog.ShowWindow(SW_HIDE);
        dialog.DestroyWindow();
      }
    }
  } cleanup{*this, owner, disabledOwner};
  if (!CreateFromTemplate(owner, true)) return -1;
  RunModalLoop();
  return result_;
}

void Dialog::RunModalLoop() {
  LoopContext loop{this, ++G().loopDepth};
  struct Depth {
    ~Depth() { --G().loopDepth; }
  } depth;
  // A dialog that is not visible after its initialisation is shown when its
  // loop first goes idle.
  bool showOnIdle = !(GetStyle() & WS_VISIBLE);
  while (!ended_ && GetSafeHwnd()) {
    if (PumpOne()) continue;
    if (G().quitPending) {
      result_ = -1;
      break;
    }
    if (showOnIdle) {
      showOnIdle = false;
      ShowWindow(SW_SHOWNORMAL);
      UpdateWindow();
      continue;
    }
    Framework::PaintPending();
    if (ended_ || !GetSafeHwnd()) break;
    G().backend->WaitForEvents(loop);
  }
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  if (!modal_ && GetSafeHwnd()) ShowWindow(SW_HIDE);
  if (G().backend) G().backend->Wake();
}

bool Dialog::IsModalRunning() const { return modal_ && !ended_; }

std::wstring Dialog::DescribeForScript() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && demangled ? demangled : mangled;
  std::free(demangled);
  // The class's own name, without the namespaces around it.
  if (size_t colons = name.rfind("::"); colons != std::string::npos && name.find('<') == std::string::npos)
    name.erase(0, colons + 2);
  std::wstring text = L"dialog " + std::to_wstring(template_.id) + L" (" + std::wstring(name.begin(), name.end()) + L")";
  return text;
}

bool Dialog::PreTranslateMessage(Msg& msg) {
  if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
  int id = msg.wParam == VK_RETURN ? IDOK : IDCANCEL;
  Window* control = GetDlgItem(id);
  SendMessage(WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(control ? control->GetSafeHwnd() : 0));
  return true;
}

bool Dialog::OnInitDialog() {
  DoDataExchange();
  return true;
}

void Dialog::DoDataExchange() {}

bool Dialog::DDX_Control(int id, Window& control) {
  Window* existing = GetDlgItem(id);
  if (!existing || existing == &control) return existing != nullptr;
  return control.SubclassWindow(*existing);
}

void Dialog::OnOK() { EndDialog(IDOK); }
void Dialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog() ? 1 : 0;
  return Window::WindowProc(message, wParam, lParam);
}

LRESULT Dialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // Closing a dialog is pressing its cancel button.
    Window* cancel = GetDlgItem(IDCANCEL);
    if (!cancel || cancel->IsWindowEnabled())
      PostMessage(WM_COMMAND, MAKEWPARAM(WORD(IDCANCEL), BN_CLICKED), LPARAM(cancel ? cancel->GetSafeHwnd() : 0));
    return 0;
  }
  return Window::DefWindowProc(message, wParam, lParam);
}

bool Dialog::OnCommand(WPARAM wParam, LPARAM) {
  // Commands from buttons (code 0) and accelerators (code 1).
  if (HIWORD(wParam) > 1) return false;
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

COLORREF Dialog::GetBackgroundColor() const { return RGB(240, 240, 240); }

}  // namespace ui
