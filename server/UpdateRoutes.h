#pragma once
// The version request of the client and the download of a newer client.
#include <httplib.h>

#include <string>

#include "ServerOptions.h"

namespace zorv::server {

// The address at which the offered file is downloaded from this server.
std::string OfferedAddress(const ServerOptions& options, int port);

// The answer to a version request: the fixed answer when one is set, else the
// offered address when a file is offered, else "0" (no update).
std::string VersionAnswer(const ServerOptions& options, int port);

void AddUpdateRoutes(httplib::Server& server, const ServerOptions& options, int port);

}  // namespace zorv::server
