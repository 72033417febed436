#pragma once
// The main game window: a frameless dialog that shows the game page below a
// 30-pixel title strip it paints itself, with nine skinned buttons (choose a
// new server, refresh, clear cache, boss key, fullscreen, minimise, maximise
// or restore, close). It runs the login window first, owns the tray icon and
// its menu, answers the three global hotkeys, covers itself with the overlay
// while the cache is cleared, asks before every exit, and is the frame window
// of an embedded game window that another process may dock into it.
#include <memory>
#include <string>

#include "skin/TouchButton.h"
#include "ui/Accelerator.h"
#include "ui/Dialog.h"
#include "ui/Surface.h"
#include "ui/Tray.h"

class CMenbanDlg;
class CMyHtmlView;

class CZedoro_BrixDlg : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 101;
  static constexpr int kTitleHeight = 30;
  static constexpr int kRestoredWidth = 1000;
  static constexpr int kRestoredHeight = 700;
  static constexpr ui::UINT_PTR kRefitTimer = 102;
  static constexpr ui::UINT kRefitDelayMs = 10;
  static constexpr int kGameWndCloseWaitMs = 50;

  CZedoro_BrixDlg();
  ~CZedoro_BrixDlg() override;

  // --- What the window is in now ---
  bool IsFullScreen() const { return m_bFullScreen; }
  bool IsMaxed() const { return m_bMaxed; }
  int GetMinByButton() const { return m_nMinByButton; }
  bool IsTrayIconAdded() const { return m_bTrayIconAdded; }
  ui::HWND GetGameWnd() const { return m_hGameWnd; }
  const std::wstring& GetGameUrl() const { return m_strGameUrl; }
  CMyHtmlView* GetHtmlView() const { return m_pHtmlView; }
  CMenbanDlg* GetMaskDlg() const { return m_pMaskDlg; }

  bool PreTranslateMessage(ui::Msg& msg) override;

 protected:
  void DoDataExchange() override;
  bool OnInitDialog() override;

  ui::LRESULT WindowProc(ui::UINT message, ui::WPARAM wParam, ui::LPARAM lParam) override;
  bool OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) override;
  void OnPaint(ui::Surface& surface) override;
  void OnLButtonDblClk(ui::UINT flags, ui::Point point) override;
  void OnLButtonDown(ui::UINT flags, ui::Point point) override;
  void OnSysCommand(ui::UINT id, ui::LPARAM lParam) override;
  bool OnEraseBkgnd(ui::Surface& surface) override;
  void OnTimer(ui::UINT_PTR id) override;
  void OnHotKey(ui::UINT id, ui::UINT modifiers, ui::UINT virtualKey) override;
  void OnSize(ui::UINT type, int cx, int cy) override;
  void OnActivate(ui::UINT state, ui::HWND other, bool minimized) override;

 private:
  // Title bar
  void CreateTitleButtons();
  void LayoutTitleButtons();
  void ShowTitleButtons(int command);
  void InvalidateTitle();

  // Display states
  void FitToWorkArea();
  void PlaceViewBelowStrip();
  void PlaceViewOverClient();
  void RelayoutGameWnd(ui::WPARAM fullScreen);
  void Maximise();
  void RestoreSteps();
  void Restore();
  void Minimise();
  void ToggleMaxRestore();
  void EnterFullScreen();
  void LeaveFullScreen();
  void ToggleShown();

  // Actions
  void Refresh();
  void ClearCache();
  void OnCacheCleaned();
  void Exit();
  void CloseButton();
  void ChangeServer();
  void CloseGameWnd();

  // Tray
  void AddTrayIcon();
  void RemoveTrayIcon();
  ui::LRESULT OnTrayNotify(ui::WPARAM wParam, ui::LPARAM lParam);

  // Asks with the custom message box; true for the confirm button.
  bool Ask(const std::wstring& caption, const std::wstring& text);

  CTouchButton m_btnClose;
  CTouchButton m_btnMax;
  CTouchButton m_btnRestore;
  CTouchButton m_btnMin;
  CTouchButton m_btnChangeServer;
  CTouchButton m_btnBossKey;
  CTouchButton m_btnFullScreen;
  CTouchButton m_btnRefresh;
  CTouchButton m_btnClearCache;
  // Template buttons 1011 and 1017: bound, but without images, place or handler.
  CTouchButton m_btnUnused1011;
  CTouchButton m_btnUnused1017;
  bool m_bFullScreen = false;
  bool m_bMaxed = false;
  ui::NotifyIconData m_nid;
  bool m_bTrayIconAdded = false;
  CMenbanDlg* m_pMaskDlg = nullptr;
  CMyHtmlView* m_pHtmlView = nullptr;
  ui::HWND m_hGameWnd = 0;
  std::wstring m_strGameUrl;
  std::unique_ptr<ui::Surface> m_pImgTitleLeft;
  std::unique_ptr<ui::Surface> m_pImgTitleMid;
  std::unique_ptr<ui::Surface> m_pImgTitleRight;
  int m_nMinByButton = 0;
  ui::AcceleratorTable m_hAccel;
};

// The normal run mode: the main window runs modally as the application's main
// window; the program ends when it returns.
void RunMainWindow();
