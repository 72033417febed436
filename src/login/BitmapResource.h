#pragma once
// Bitmaps carried among the resources under the type "BITMAP": device-
// independent bitmap files (a BITMAPFILEHEADER, a BITMAPINFOHEADER and the
// pixel rows), as LoadBitmap reads them.
#include <cstddef>
#include <cstdint>

#include "ui/Surface.h"

// The pixels of a bitmap file held in memory: uncompressed 24- or 32-bit rows,
// bottom-up or top-down, every pixel opaque. A null surface for anything else
// (a short or damaged file, other depths, compression).
ui::Surface DecodeBitmapFile(const std::uint8_t* data, std::size_t size);

// The BITMAP resource id decoded; a null surface when it is missing or unreadable.
ui::Surface LoadBitmapResource(int id);
