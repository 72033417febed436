// skingen <out folder>
// Draws every picture of the client's skin: the PNGs (named <id>.png), the
// login form's bitmap 318.bmp, the client icon 273.png and uninstall.ico.
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "Art.h"
#include "Writers.h"

using namespace skingen;

namespace {

using Painter = std::function<void(cairo_t*, int, int)>;

struct Picture {
  int id;
  int width, height;
  Painter paint;
};

Painter Title(Glyph glyph, Look look) {
  return [=](cairo_t* cr, int w, int h) { DrawTitleButton(cr, w, h, glyph, look); };
}
Painter Label(const char* text, LabelIcon icon, int faceWidth, Look look) {
  return [=](cairo_t* cr, int w, int h) { DrawLabelButton(cr, w, h, text, icon, faceWidth, look); };
}
Painter Dialog(const char* text, bool primary, Look look) {
  return [=](cairo_t* cr, int w, int h) { DrawDialogButton(cr, w, h, text, primary, look); };
}
Painter Round(Glyph glyph, Look look) {
  return [=](cairo_t* cr, int w, int h) { DrawRoundButton(cr, w, h, glyph, look); };
}
Painter Strip(StripPiece piece) {
  return [=](cairo_t* cr, int w, int h) { DrawTitleStrip(cr, w, h, piece); };
}
Painter Busy(int lit) {
  return [=](cairo_t* cr, int w, int h) { DrawBusyFrame(cr, w, h, lit); };
}

constexpr Look N = Look::kNormal, H = Look::kHover, P = Look::kPressed;

std::vector<Picture> Pictures() {
  return {
      {319, 1174, 686, DrawLoginBackground},
      {304, 256, 110, DrawMessageBoxBackground},
      {203, 203, 30, Strip(StripPiece::kLeft)},
      {172, 1, 30, Strip(StripPiece::kMiddle)},
      {206, 92, 30, Strip(StripPiece::kRight)},
      {275, 1, 1, DrawOverlayFill},
      {276, 23, 23, Busy(0)},
      {277, 23, 23, Busy(1)},
      {278, 23, 23, Busy(2)},
      {279, 23, 23, Busy(3)},
      // Main window: close, maximise, restore, minimise.
      {207, 28, 26, Title(Glyph::kCross, N)},
      {208, 28, 26, Title(Glyph::kCross, H)},
      {227, 28, 26, Title(Glyph::kCross, P)},
      {220, 28, 26, Title(Glyph::kSquare, N)},
      {213, 28, 26, Title(Glyph::kSquare, H)},
      {228, 28, 26, Title(Glyph::kSquare, P)},
      {221, 28, 26, Title(Glyph::kTwoSquares, N)},
      {217, 28, 26, Title(Glyph::kTwoSquares, H)},
      {229, 28, 26, Title(Glyph::kTwoSquares, P)},
      {209, 28, 26, Title(Glyph::kBar, N)},
      {210, 28, 26, Title(Glyph::kBar, H)},
      {230, 28, 26, Title(Glyph::kBar, P)},
      // Main window: text labels. The refresh box overlaps the clear-cache box
      // by 4 pixels, so its face stops short of that.
      {211, 59, 24, Label("换服", LabelIcon::kServer, 59, N)},
      {212, 59, 24, Label("换服", LabelIcon::kServer, 59, H)},
      {231, 59, 24, Label("换服", LabelIcon::kServer, 59, P)},
      {223, 97, 24, Label("老板键F10", LabelIcon::kKey, 97, N)},
      {215, 97, 24, Label("老板键F10", LabelIcon::kKey, 97, H)},
      {233, 97, 24, Label("老板键F10", LabelIcon::kKey, 97, P)},
      {224, 59, 24, Label("全屏", LabelIcon::kFullScreen, 59, N)},
      {214, 59, 24, Label("全屏", LabelIcon::kFullScreen, 59, H)},
      {234, 59, 24, Label("全屏", LabelIcon::kFullScreen, 59, P)},
      {226, 78, 24, Label("刷新F5", LabelIcon::kRefresh, 73, N)},
      {219, 78, 24, Label("刷新F5", LabelIcon::kRefresh, 73, H)},
      {236, 78, 24, Label("刷新F5", LabelIcon::kRefresh, 73, P)},
      {252, 78, 24, Label("清除缓存", LabelIcon::kClean, 78, N)},
      {253, 78, 24, Label("清除缓存", LabelIcon::kClean, 78, H)},
      {261, 78, 24, Label("清除缓存", LabelIcon::kClean, 78, P)},
      // Question box: OK and Cancel (one picture serves hover and pressed), close.
      {314, 82, 34, Dialog("确定", true, N)},
      {313, 82, 34, Dialog("确定", true, H)},
      {312, 82, 34, Dialog("取消", false, N)},
      {311, 82, 34, Dialog("取消", false, H)},
      {316, 11, 10, DrawSmallCross},
      // Login form: round minimise and close.
      {320, 29, 30, Round(Glyph::kBar, N)},
      {321, 29, 30, Round(Glyph::kBar, H)},
      {322, 29, 30, Round(Glyph::kBar, P)},
      {323, 29, 30, Round(Glyph::kCross, N)},
      {324, 29, 30, Round(Glyph::kCross, H)},
      {325, 29, 30, Round(Glyph::kCross, P)},
      // The client icon.
      {273, 64, 64, DrawClientIcon},
  };
}

cairo_surface_t* Paint(cairo_format_t format, int width, int height, const Painter& paint) {
  cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
  cairo_t* cr = cairo_create(surface);
  paint(cr, width, height);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: skingen <out folder>\n";
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  bool ok = true;
  auto check = [&ok](bool written, const std::filesystem::path& file) {
    if (!written) std::cerr << "skingen: cannot write " << file << "\n";
    ok = ok && written;
  };
  for (const Picture& picture : Pictures()) {
    cairo_surface_t* surface = Paint(CAIRO_FORMAT_ARGB32, picture.width, picture.height, picture.paint);
    const auto file = out / (std::to_string(picture.id) + ".png");
    check(WritePng(surface, file.string()), file);
    cairo_surface_destroy(surface);
  }
  cairo_surface_t* form = Paint(CAIRO_FORMAT_RGB24, 690, 513, DrawFormBackground);
  check(WriteBmp24(form, (out / "318.bmp").string()), out / "318.bmp");
  cairo_surface_destroy(form);
  cairo_surface_t* icon = Paint(CAIRO_FORMAT_ARGB32, 16, 16, DrawUninstallIcon);
  check(WriteIco(icon, (out / "uninstall.ico").string()), out / "uninstall.ico");
  cairo_surface_destroy(icon);
  return ok ? 0 : 1;
}
