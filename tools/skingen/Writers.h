#pragma once
// File formats the skin is written in.
#include <cairo.h>

#include <string>

namespace skingen {

// 32-bit RGBA PNG (colour type 6, also for opaque pictures) of an ARGB32 surface.
bool WritePng(cairo_surface_t* surface, const std::string& path);
// Uncompressed 24-bit bottom-up BMP of an RGB24 or ARGB32 surface (alpha dropped).
bool WriteBmp24(cairo_surface_t* surface, const std::string& path);
// An .ico file holding one 32-bit BMP image (with its AND mask) of an ARGB32 surface.
bool WriteIco(cairo_surface_t* surface, const std::string& path);

}  // namespace skingen
