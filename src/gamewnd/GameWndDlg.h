#pragma once
// The embedded game window: a child dialog that docks the game page into a
// window of another program (the frame window), below the frame's own
// 30-pixel title strip, announces itself to the frame with WM_GAMEWND_ATTACH
// and then obeys the frame: WM_GAMEWND_RELAYOUT re-fits it (wParam 1: the
// frame's whole client area; 0: all but the strip), WM_GAMEWND_REFRESH
// reloads the page, WM_CLOSE ends the process's message loop. A watcher
// thread ends the process when the frame window disappears without closing it.
#include <memory>
#include <string>

#include "gamewnd/FrameWatchThread.h"
#include "gamewnd/MyHtmlView.h"
#include "ui/Dialog.h"

class CGameWndDlg : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 328;
  // Height of the frame window's own title strip, which stays visible above
  // the docked page outside fullscreen.
  static constexpr int kFrameStripHeight = 30;

  CGameWndDlg(ui::HWND hFrameWnd, std::wstring strGameUrl, FrameWatchTiming watchTiming = {});
  ~CGameWndDlg() override;

  // The embedded run mode: creates the window as a child of the frame
  // window, shows it and makes it the application's main window; the window
  // object then lives until its window is destroyed. When the frame handle
  // names no window, or the window cannot be made, it says so on stderr and
  // returns false, so the process ends instead of waiting for nothing. When
  // the window is destroyed by other means (with its frame), the loop ends.
  static bool StartEmbedded(ui::HWND hFrameWnd, const std::wstring& strGameUrl, FrameWatchTiming watchTiming = {});

  // The game page view; null before the window exists and after WM_CLOSE.
  CMyHtmlView* GetHtmlView() const { return m_pHtmlView.get(); }
  ui::HWND GetFrameWnd() const { return m_hFrameWnd; }
  const std::wstring& GetGameUrl() const { return m_strGameUrl; }

  // Enter and Esc belong to the game page: they never reach dialog processing.
  bool PreTranslateMessage(ui::Msg& msg) override;

 protected:
  bool OnInitDialog() override;
  // The dialog never ends itself through its default buttons.
  void OnOK() override {}
  void OnCancel() override {}
  void OnClose() override;
  void OnSize(ui::UINT type, int cx, int cy) override;
  ui::LRESULT WindowProc(ui::UINT message, ui::WPARAM wParam, ui::LPARAM lParam) override;
  void PostNcDestroy() override;

 private:
  ui::LRESULT OnRelayout(ui::WPARAM fullScreen);
  void FitViewToClient();

  std::unique_ptr<CMyHtmlView> m_pHtmlView;
  const ui::HWND m_hFrameWnd;
  const std::wstring m_strGameUrl;
  const FrameWatchTiming m_watchTiming;
  std::unique_ptr<FrameWatchThread> m_pFrameWatch;
  // Set for the window of the run mode, which nobody else owns.
  bool m_bDeleteWithWindow = false;
};
