#pragma once
// Sends a response body in one of the framings the client must cope with.
#include <httplib.h>

#include <cstddef>
#include <functional>
#include <string>

#include "ServerOptions.h"

namespace zorv::server {

// Copies up to n bytes of the body, starting at offset, into buffer; returns
// how many it copied (0 at the end or on a read error).
using BodyReader = std::function<std::size_t(std::size_t offset, char* buffer, std::size_t n)>;

void SendFramedBody(httplib::Response& response, std::size_t size, BodyReader read, const std::string& contentType,
                    BodyFraming framing);

// The same for a body held in memory.
void SendFramedText(httplib::Response& response, std::string text, const std::string& contentType,
                    BodyFraming framing);

}  // namespace zorv::server
