#pragma once
// Pages, scripts, styles and images compiled into the server.
#include <span>
#include <string_view>

namespace zorv::server {

struct Asset {
  std::string_view name;   // file name in the asset folder, e.g. "login.html"
  std::string_view bytes;  // the file's exact content
};

// Every embedded file, sorted by name (generated at build time).
std::span<const Asset> EmbeddedAssets();

// The embedded file of that name; null when there is none.
const Asset* FindAsset(std::string_view name);

// The Content-Type to serve a file of that name with (by its extension).
std::string_view ContentTypeOf(std::string_view name);

}  // namespace zorv::server
