#pragma once
// Pictures of the skin: PNG files carried among the resources under the type
// "PNG" and an integer id, decoded into drawing surfaces.
#include <memory>

#include "ui/Surface.h"

// The resource id of the login window's background picture.
inline constexpr int kLoginBackgroundPng = 319;

// The PNG resource id decoded into a new image owned by the caller; null when
// the resource is missing, empty or not a readable PNG.
std::unique_ptr<ui::Surface> LoadPngImage(int id);

// The login window's background (PNG 319): true with the image in image, or
// false with image left empty.
bool LoadLoginBackground(std::unique_ptr<ui::Surface>& image);
