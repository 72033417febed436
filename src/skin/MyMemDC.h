#pragma once
// An off-screen scratch surface for one drawing operation: drawing goes to
// an image of the covered rectangle, in the target's coordinates, and is
// copied back onto the target, replacing its pixels there, when the object
// goes out of scope.
#include "ui/Surface.h"

class CMyMemDC {
 public:
  // rect is in the target's drawing coordinates; an empty rect covers the
  // target's clip rectangle, or the whole target when it has none.
  CMyMemDC(ui::Surface& target, ui::PixelRect rect = {});
  ~CMyMemDC();
  CMyMemDC(const CMyMemDC&) = delete;
  CMyMemDC& operator=(const CMyMemDC&) = delete;

  ui::Surface& Surface() { return m_bitmap; }
  ui::Surface* operator->() { return &m_bitmap; }
  const ui::PixelRect& Rect() const { return m_rect; }

 private:
  ui::Surface& m_target;
  ui::PixelRect m_rect;
  ui::Surface m_bitmap;
};
