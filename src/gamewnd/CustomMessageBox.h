#pragma once
// The program's only question box: a small skinned, frameless dialog with a
// caption, a message text, a confirm, a cancel and a close button. DoModal
// gives IDOK (1) for the confirm button and IDCANCEL (2) for the cancel or
// close button, closing the box or Esc.
#include <memory>
#include <string>

#include "skin/TouchButton.h"
#include "ui/Dialog.h"
#include "ui/Surface.h"

class CCustomMessageBox : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 164;
  static constexpr int kCloseButton = 1001;
  static constexpr int kWidth = 253;
  static constexpr int kHeight = 106;
  static constexpr int kBackgroundPng = 304;
  // Layout boxes of the caption and the message text, in client coordinates.
  static constexpr ui::Rect kCaptionRect = ui::Rect::FromXYWH(85, 7, 100, 25);
  static constexpr ui::Rect kTextRect = ui::Rect::FromXYWH(28, 33, 220, 30);

  CCustomMessageBox();

  // Both texts are copied.
  void SetMsg(const std::wstring& caption, const std::wstring& text);
  const std::wstring& GetCaption() const { return m_strTitle; }
  const std::wstring& GetMsg() const { return m_strMsg; }

  std::wstring DescribeForScript() const override;

 protected:
  void DoDataExchange() override;
  bool OnInitDialog() override;
  bool OnEraseBkgnd(ui::Surface& surface) override;
  ui::LRESULT OnNcHitTest(ui::Point screen) override;
  bool OnCommand(ui::WPARAM wParam, ui::LPARAM lParam) override;

 private:
  CTouchButton m_btnOK;
  CTouchButton m_btnCancel;
  CTouchButton m_btnClose;
  std::unique_ptr<ui::Surface> m_pImgBack;
  std::wstring m_strTitle = L"温馨提示";
  std::wstring m_strMsg;
};
