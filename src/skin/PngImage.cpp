#include "skin/PngImage.h"

#include "platform/Resources.h"

std::unique_ptr<ui::Surface> LoadPngImage(int id) {
  // Resource names are 16-bit numbers; anything else names no resource.
  if (id < 0 || id > 0xFFFF) return nullptr;
  const auto resource = platform::FindResource("PNG", id);
  if (!resource || resource->size == 0 || !resource->data) return nullptr;
  // The whole file is decoded here, so the image needs no copy of the bytes
  // for its later use. A damaged file gives no image rather than an image
  // that fails when drawn.
  ui::Surface image = ui::Surface::FromPng(resource->data, resource->size);
  if (image.IsNull()) return nullptr;
  return std::make_unique<ui::Surface>(std::move(image));
}

bool LoadLoginBackground(std::unique_ptr<ui::Surface>& image) {
  image = LoadPngImage(kLoginBackgroundPng);
  return image != nullptr;
}
