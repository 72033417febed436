#include "UpdateRoutes.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "BodyFraming.h"
#include "Html.h"

namespace zorv::server {
namespace {

std::string OfferedName(const ServerOptions& options) {
  return std::filesystem::path(options.offerFile).filename().string();
}

void ServeOfferedFile(const ServerOptions& options, httplib::Response& response) {
  auto file = std::make_shared<std::ifstream>(options.offerFile, std::ios::binary);
  std::error_code error;
  auto size = std::filesystem::file_size(options.offerFile, error);
  if (!*file || error) {
    response.status = 500;
    response.set_content("the offered file cannot be read\n", "text/plain");
    return;
  }
  if (options.downloadFraming == BodyFraming::Length) {
    // A resumed download asks for a Range. The library cuts ranges correctly
    // (length clamped to the file, 416 past its end) only from a body held in
    // memory, not from a streamed one.
    std::string bytes((std::istreambuf_iterator<char>(*file)), std::istreambuf_iterator<char>());
    response.set_content(std::move(bytes), "application/octet-stream");
    return;
  }
  BodyReader read = [file](std::size_t offset, char* buffer, std::size_t n) {
    file->clear();
    file->seekg(static_cast<std::streamoff>(offset));
    file->read(buffer, static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(file->gcount());
  };
  SendFramedBody(response, size, std::move(read), "application/octet-stream", options.downloadFraming);
}

}  // namespace

std::string OfferedAddress(const ServerOptions& options, int port) {
  const std::string host = options.host == "::1" ? "[::1]" : "127.0.0.1";
  return "http://" + host + ":" + std::to_string(port) + "/download/" + PercentEncode(OfferedName(options));
}

std::string VersionAnswer(const ServerOptions& options, int port) {
  if (options.versionAnswer) return *options.versionAnswer;
  if (!options.offerFile.empty()) return OfferedAddress(options, port);
  return "0";
}

void AddUpdateRoutes(httplib::Server& server, const ServerOptions& options, int port) {
  // Leading slashes are merged, as common web servers do, so that a base
  // address written with a trailing slash still reaches the endpoint.
  server.Get(R"(/+getClientVersion\.php)", [options, port](const httplib::Request& request,
                                                            httplib::Response& response) {
    if (!request.has_param("p") || !request.has_param("g") || !request.has_param("v")) {
      response.status = 400;
      response.set_content("missing query key p, g or v\n", "text/plain");
      return;
    }
    if (options.versionDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(options.versionDelayMs));
    response.status = options.versionStatus;
    SendFramedText(response, VersionAnswer(options, port), "text/plain", options.versionFraming);
  });
  if (options.offerFile.empty()) return;
  server.Get(R"(/download/(.+))", [options](const httplib::Request& request, httplib::Response& response) {
    // Only the offered file is served, never a path taken from the request.
    if (request.matches[1] != OfferedName(options)) {
      response.status = 404;
      response.set_content("no such download\n", "text/plain");
      return;
    }
    ServeOfferedFile(options, response);
  });
}

}  // namespace zorv::server
