#pragma once
// ui::Dialog: a window built from a dialog template, run modally (DoModal, a
// nested message loop until EndDialog) or created modeless as a child or an
// owned popup (Create). Its default processing turns Enter into command IDOK,
// Esc and WM_CLOSE into command IDCANCEL, and those commands into OnOK and
// OnCancel, which end a modal dialog.
#include <string>
#include <vector>

#include "ui/Window.h"

namespace ui {

// A push button of a template. Its rectangle is in dialog client coordinates.
struct ControlTemplate {
  int id = 0;
  Rect rect;
  std::wstring text;
};

struct DialogTemplate {
  int id = 0;
  // WS_CHILD for a child dialog, otherwise a popup; WS_VISIBLE shows it at creation.
  DWORD style = WS_POPUP | WS_SYSMENU;
  DWORD exStyle = 0;
  Size size;
  std::wstring text;
  std::vector<ControlTemplate> controls;
};

class Dialog : public Window {
 public:
  explicit Dialog(DialogTemplate dialogTemplate, Window* parent = nullptr);
  ~Dialog() override;

  const DialogTemplate& GetTemplate() const;
  int GetTemplateId() const;

  // Modeless: creates the dialog as a child of parent (template with
  // WS_CHILD) or as a popup owned by parent's top-level window. Runs
  // OnInitDialog before returning.
  bool Create(Window* parent = nullptr);
  // The same with a parent that may belong to another process.
  bool Create(HWND parent);

  // Runs the dialog modally and returns the EndDialog result (-1 when the
  // loop ended through WM_QUIT). Before anything else it consults the
  // backend's modal hook, so scripted runs see every dialog in order. With no
  // parent given, the owner is the main window's last active popup (none
  // when there is no main window). The owner is disabled while the dialog runs.
  virtual INT_PTR DoModal();
  // Ends a modal loop with result (takes effect when the current message
  // returns); a modeless dialog is hidden.
  void EndDialog(int result);
  bool IsModalRunning() const;

  // A short text naming this dialog in scripted runs and their failure
  // messages; the default is the template id and the window class of the
  // object. A dialog may add what it shows (a question's caption and text).
  virtual std::wstring DescribeForScript() const;

  // Enter: command IDOK, Esc: command IDCANCEL, for key presses aimed at the
  // dialog or its controls.
  bool PreTranslateMessage(Msg& msg) override;

 protected:
  // Base: DoDataExchange. Returns true (focus given by the framework).
  virtual bool OnInitDialog();
  // Binds template controls to control objects with DDX_Control.
  virtual void DoDataExchange();
  // Makes control the object of the template control with id.
  bool DDX_Control(int id, Window& control);
  virtual void OnOK();      // EndDialog(IDOK)
  virtual void OnCancel();  // EndDialog(IDCANCEL)

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnCommand(WPARAM wParam, LPARAM lParam) override;
  COLORREF GetBackgroundColor() const override;

 private:
  bool CreateFromTemplate(HWND parentOrOwner, bool modal);
  void RunModalLoop();

  DialogTemplate template_;
  Window* parent_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace ui
