#pragma once
// The pictures of the skin. Each function paints a whole image of the given
// size onto a fresh, fully transparent surface.
#include <cairo.h>

#include <string>

#include "Paint.h"

namespace skingen {

enum class Glyph { kCross, kSquare, kTwoSquares, kBar };
enum class StripPiece { kLeft, kMiddle, kRight };
enum class LabelIcon { kServer, kRefresh, kClean, kKey, kFullScreen };

// Buttons of the main window's title strip: square system buttons and text labels.
void DrawTitleButton(cairo_t* cr, int w, int h, Glyph glyph, Look look);
// A text label with a small icon: bare text on the strip at rest, a framed
// face under the pointer. The face covers faceWidth pixels from the left, so
// a neighbour whose box overlaps this one does not cut it off.
void DrawLabelButton(cairo_t* cr, int w, int h, const std::string& text, LabelIcon icon, int faceWidth, Look look);
// The question box's confirm (primary) and cancel buttons, and its small close cross.
void DrawDialogButton(cairo_t* cr, int w, int h, const std::string& text, bool primary, Look look);
void DrawSmallCross(cairo_t* cr, int w, int h);
// The login form's circular buttons.
void DrawRoundButton(cairo_t* cr, int w, int h, Glyph glyph, Look look);

// The game's medallion, used by the icons, the title strip and the login screen.
void DrawEmblem(cairo_t* cr, double cx, double cy, double radius);
void DrawClientIcon(cairo_t* cr, int w, int h);
void DrawUninstallIcon(cairo_t* cr, int w, int h);

void DrawLoginBackground(cairo_t* cr, int w, int h);
// The login form's background: green (transparent) top with the round
// buttons' pictures, a loading panel below.
void DrawFormBackground(cairo_t* cr, int w, int h);
void DrawMessageBoxBackground(cairo_t* cr, int w, int h);
void DrawTitleStrip(cairo_t* cr, int w, int h, StripPiece piece);
void DrawOverlayFill(cairo_t* cr, int w, int h);
// Busy animation frame: a 2 x 2 grid with square `lit` (0..3, clockwise from
// the top left) highlighted.
void DrawBusyFrame(cairo_t* cr, int w, int h, int lit);

}  // namespace skingen
