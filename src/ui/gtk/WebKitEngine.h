#pragma once
// The browser engine of the desktop: a WebKitWebView hosted in the native
// window that holds the browser window.
//
// - before-navigate comes from the view's navigation policy decisions
//   (cancelling ignores the navigation); navigate-complete when a load is
//   committed; document-complete when the top-level load has finished and,
//   for each frame, when the frame's document has loaded (reported by a
//   script in every frame); navigate-error from failed loads and from HTTP
//   error answers; new-window from the page's requests for a new view
//   (uncancelled, the address opens in the desktop's web browser);
// - click listeners hear the page's clicks through a script in the top-level
//   document and a script message handler, with the element chain;
// - key messages for the page go through the windows' pre-translation before
//   the page sees them (NativeWindow), mouse presses likewise here, so a host
//   may swallow them;
// - host flags: no scroll bars hides the page's overflow, no context menu
//   suppresses the view's own menu.
#include <memory>

#include "ui/Browser.h"

namespace ui::gtk {

// Makes a WebKit view the engine of every ui::Browser from now on and
// installs the browser data of the shared web context.
void InstallWebKitBrowser();

std::unique_ptr<BrowserEngine> CreateWebKitEngine(Browser& browser);

}  // namespace ui::gtk
