#pragma once
// The click listener of the game page's documents: for a click on or inside
// a link it writes the link's address to the debugger output, and it leaves
// the click itself alone.
#include "ui/Browser.h"

class SDocEvtHandler : public ui::DocumentClickListener {
 public:
  // Called by the document for every click; event may be null.
  void OnDocClick(const ui::DocumentClick* event);

  void OnDocumentClick(const ui::DocumentClick* event) override { OnDocClick(event); }
};
