#pragma once
// The platform's pages: the login page, the game page it hands over to, the
// help and news pages, and their scripts, styles and images.
#include <httplib.h>

namespace zorv::server {

inline constexpr const char* kLoginPath = "/games/fwqorn/dlq/";
inline constexpr const char* kGamePath = "/games/fwqorn/play_gamecode/";

void AddPageRoutes(httplib::Server& server);

}  // namespace zorv::server
