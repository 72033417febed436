#pragma once
// The overlay: a semi-transparent dark mask the main window lays over itself
// while the browser cache is cleared, with a small four-frame busy animation
// above the centre and a line of text at the centre. It never shows, hides
// or times itself; the main window does that.
#include <array>
#include <memory>

#include "ui/Dialog.h"
#include "ui/Surface.h"

class CMenbanDlg : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 274;
  static constexpr ui::UINT_PTR kAnimationTimer = 5000;
  static constexpr ui::UINT kAnimationPeriodMs = 200;
  static constexpr ui::BYTE kAlpha = 229;
  static constexpr int kFillPng = 275;
  static constexpr int kFirstFramePng = 276;  // frames 276 to 279
  static constexpr int kFrameCount = 4;
  static constexpr int kFrameSize = 23;
  static constexpr int kFrameLift = 40;       // the frame sits this far above the centre
  static constexpr int kTextString = 116;

  CMenbanDlg();

  // The frame's rectangle in a client area of width x height.
  static ui::Rect FrameRect(int width, int height, int frameWidth = kFrameSize, int frameHeight = kFrameSize);
  // The text's layout box in a client area of width x height.
  static ui::Rect TextRect(int width, int height);

  // The index (0 to 3) of the frame painted now; -1 when none.
  int GetCurrentFrameIndex() const;

 protected:
  bool OnInitDialog() override;
  bool OnEraseBkgnd(ui::Surface& surface) override;
  void OnTimer(ui::UINT_PTR id) override;
  void OnPaint(ui::Surface& surface) override;

 private:
  std::unique_ptr<ui::Surface> m_pFill;
  std::array<std::unique_ptr<ui::Surface>, kFrameCount> m_pFrames;
  const ui::Surface* m_pCurrentFrame = nullptr;
  // The number (1 to 4) of the frame the next tick shows; it runs on across
  // hides, so a new show continues the animation.
  int m_nFrame = 0;
};
