#include "skin/MyMemDC.h"

CMyMemDC::CMyMemDC(ui::Surface& target, ui::PixelRect rect)
    : m_target(target), m_rect(rect == ui::PixelRect{} ? target.ClipBox() : rect), m_bitmap(m_rect.width, m_rect.height) {
  // Drawing uses the target's coordinates: the rectangle's corner is the
  // scratch image's (0, 0).
  m_bitmap.SetOrigin(-m_rect.x, -m_rect.y);
}

CMyMemDC::~CMyMemDC() {
  m_target.DrawSurfacePart(m_bitmap, 0, 0, m_rect.width, m_rect.height, m_rect.x, m_rect.y, ui::Blend::Copy);
}
