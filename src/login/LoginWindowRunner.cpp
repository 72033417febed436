#include "login/LoginWindowRunner.h"

#include "gamewnd/LoginHandOver.h"
#include "login/ZedoroLogin.h"

void InstallLoginWindow() {
  SetLoginWindowRunner([] {
    CZedoroLogin login;
    // The result says nothing the address does not: only a hand-over ends it.
    login.DoModal();
    return login.GetGameUrl();
  });
}
