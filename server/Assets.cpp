#include "Assets.h"

namespace zorv::server {

const Asset* FindAsset(std::string_view name) {
  for (const Asset& asset : EmbeddedAssets())
    if (asset.name == name) return &asset;
  return nullptr;
}

std::string_view ContentTypeOf(std::string_view name) {
  struct Type {
    std::string_view extension;
    std::string_view contentType;
  };
  static constexpr Type kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".svg", "image/svg+xml"},
  };
  for (const Type& type : kTypes)
    if (name.ends_with(type.extension)) return type.contentType;
  return "application/octet-stream";
}

}  // namespace zorv::server
