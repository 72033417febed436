#pragma once
// CZedoroLogin: the login screen the player sees first. A borderless
// per-pixel-alpha picture (PNG 319, 1174 x 686) that is dragged by any opaque
// point; its transparent pixels neither show nor take input. Because such a
// window holds no child windows, the login page and the two buttons live in
// an owned popup (CLoginPopupDlg) that this window keeps over the form area
// of its picture. It ends when the popup hands over the game address; a
// confirmed close ends the whole process.
#include <memory>
#include <string>

#include "login/LoginPopupDlg.h"
#include "ui/Dialog.h"
#include "ui/Surface.h"

class CZedoroLogin : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 103;
  // Where the popup lies on the picture (its top-left corner).
  static constexpr ui::Point kPopupOffset{365, 73};

  CZedoroLogin();
  ~CZedoroLogin() override;

  // The game page address the login handed over; empty before that.
  std::wstring GetGameUrl() const { return m_strGameUrl; }
  CLoginPopupDlg* GetLoginPopup() const { return m_pLoginPopup.get(); }

 protected:
  bool OnInitDialog() override;
  // Enter, Esc and the dialog's own cancel path do nothing.
  void OnOK() override {}
  void OnCancel() override {}
  void OnSysCommand(ui::UINT id, ui::LPARAM lParam) override;
  ui::LRESULT OnNcHitTest(ui::Point screen) override;
  void OnWindowPosChanged() override;

 private:
  friend class CLoginPopupDlg;  // writes m_strGameUrl at the hand-over

  // Pushes the picture, with the client's version written into it, to the
  // screen; the window takes the picture's size.
  void UpdateLayeredPicture();
  void AlignPopup();

  std::wstring m_strGameUrl;
  std::unique_ptr<ui::Surface> m_pBackground;
  std::unique_ptr<CLoginPopupDlg> m_pLoginPopup;
  int m_nBgWidth = 0;
  int m_nBgHeight = 0;
};
