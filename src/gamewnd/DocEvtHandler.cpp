#include "gamewnd/DocEvtHandler.h"

#include "platform/Debug.h"

void SDocEvtHandler::OnDocClick(const ui::DocumentClick* event) {
  if (!event) return;
  // The nearest enclosing link wins: a click on an image inside a link
  // reports the link.
  for (const ui::PageElement& element : event->chain) {
    if (element.tagName != L"a" && element.tagName != L"A") continue;
    if (element.href) platform::DebugOutput(L"单击事件:" + *element.href + L"\r\n");
    return;
  }
}
