#include "skin/GdiPlusBitmap.h"

#include "platform/Resources.h"

bool CGdiPlusBitmapResource::Load(int id) {
  const auto resource = id >= 0 && id <= 0xFFFF ? platform::FindResource("PNG", id) : std::nullopt;
  if (!resource) {
    m_pBitmap.reset();
    m_buffer.clear();
    return false;
  }
  return LoadFromBytes(resource->data, resource->size);
}

bool CGdiPlusBitmapResource::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  m_pBitmap.reset();
  m_buffer.clear();
  if (!data || size == 0) return false;
  m_buffer.assign(data, data + size);
  ui::Surface bitmap = ui::Surface::FromPng(m_buffer.data(), m_buffer.size());
  if (bitmap.IsNull()) {
    m_buffer.clear();
    return false;
  }
  m_pBitmap = std::make_unique<ui::Surface>(std::move(bitmap));
  return true;
}
