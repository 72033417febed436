#pragma once
// The mouse cursor shapes the client uses.
namespace ui {

enum class Cursor { Arrow, Hand };

void SetCursor(Cursor cursor);
Cursor GetCursor();

}  // namespace ui
