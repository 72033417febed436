#pragma once
// CLoginPopupDlg: the interactive half of the login screen. The login window
// is a per-pixel-alpha picture that cannot hold child windows, so this owned
// popup lies over its form area. It shows the login page (through
// WebFormLogin), carries the minimise and close buttons, and hands the game
// address to the login window as soon as the page wants to go there.
//
// Its background is bitmap 318: a green top strip (green is the popup's
// transparent colour, so the login picture shows through around the two
// buttons) over a panel saying the page is loading, which stays visible until
// the page has loaded and the browser takes its place below the strip.
#include <memory>

#include "login/WebFormLogin.h"
#include "skin/TouchButton.h"
#include "ui/Dialog.h"
#include "ui/Surface.h"

class CZedoroLogin;

class CLoginPopupDlg : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 1015;
  static constexpr int kBtnMin = 1016;
  static constexpr int kBtnClose = 1027;
  static constexpr int kWidth = 690;
  static constexpr int kHeight = 513;
  // The page shows below this strip once it has loaded.
  static constexpr int kTopStrip = 61;
  static constexpr ui::COLORREF kTransparentColour = ui::RGB(0, 255, 0);
  static constexpr ui::BYTE kAlpha = 250;
  static constexpr int kBackgroundBitmap = 318;

  // parent: the login window; the minimise button and the hand-over act on
  // it only when it is a CZedoroLogin.
  explicit CLoginPopupDlg(ui::Window* parent);
  ~CLoginPopupDlg() override;

  WebFormLogin* GetSite() const { return m_pSite.get(); }

  // Keys for the hosted page: Enter goes to the page, Tab and Ctrl+A/C/V/X
  // are offered to the page's own handling, Space and Esc are swallowed.
  bool PreTranslateMessage(ui::Msg& msg) override;

 protected:
  void DoDataExchange() override;
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) override;
  void OnSysCommand(ui::UINT id, ui::LPARAM lParam) override;
  bool OnEraseBkgnd(ui::Surface& surface) override;

 private:
  void OnBnClickedMin();
  void OnNavigateNotify();

  CZedoroLogin* m_pLogin = nullptr;
  CTouchButton m_btnMin;
  CTouchButton m_btnClose;
  ui::Surface m_brBackground;
  std::unique_ptr<WebFormLogin> m_pSite;
  bool m_bHandedOver = false;
};
