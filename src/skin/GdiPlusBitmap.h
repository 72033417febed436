#pragma once
// Image holders for the skinned buttons: a decoded bitmap, and the variant
// that loads it from a PNG resource and keeps a copy of the file's bytes for
// as long as the bitmap made from them exists.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/Surface.h"

class CGdiPlusBitmap {
 public:
  CGdiPlusBitmap() = default;
  virtual ~CGdiPlusBitmap() = default;
  CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
  CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;

  // The bitmap held, or null.
  const ui::Surface* Bitmap() const { return m_pBitmap.get(); }

 protected:
  std::unique_ptr<ui::Surface> m_pBitmap;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap {
 public:
  // Replaces whatever is held by the PNG resource id; true when a usable
  // bitmap is now held. On failure nothing is held.
  bool Load(int id);
  // The same from the bytes of a PNG file held in memory.
  bool LoadFromBytes(const std::uint8_t* data, std::size_t size);

 private:
  std::vector<std::uint8_t> m_buffer;
};
