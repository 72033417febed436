#include "BodyFraming.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace zorv::server {
namespace {

constexpr std::size_t kPiece = 64 * 1024;

// Writes the next piece of the body; false when nothing more could be read or
// the peer is gone, which makes the library drop the connection.
bool WritePiece(const BodyReader& read, std::size_t offset, std::size_t limit, httplib::DataSink& sink) {
  std::vector<char> buffer(std::min(kPiece, limit));
  std::size_t n = read(offset, buffer.data(), buffer.size());
  return n > 0 && sink.write(buffer.data(), n);
}

}  // namespace

void SendFramedBody(httplib::Response& response, std::size_t size, BodyReader read, const std::string& contentType,
                    BodyFraming framing) {
  if (size == 0 && framing == BodyFraming::Length) {
    // A provider of length 0 would go out without any Content-Length; an
    // empty body announces "Content-Length: 0".
    response.set_content(std::string(), contentType);
    return;
  }
  switch (framing) {
    case BodyFraming::Length:
      // A fixed-length provider is never compressed, so Content-Length is the
      // size of the body itself.
      response.set_content_provider(size, contentType,
                                    [read](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      return WritePiece(read, offset, length, sink);
                                    });
      break;
    case BodyFraming::Chunked:
      response.set_chunked_content_provider(contentType, [read, size](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= size) {
          sink.done();
          return true;
        }
        return WritePiece(read, offset, size - offset, sink);
      });
      break;
    case BodyFraming::Short: {
      // Announces the whole size, sends the first half, then gives up: the
      // library closes the connection without sending the rest.
      const std::size_t half = size / 2;
      response.set_content_provider(size, contentType,
                                    [read, half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                      if (offset >= half) return false;
                                      return WritePiece(read, offset, half - offset, sink);
                                    });
      break;
    }
  }
}

void SendFramedText(httplib::Response& response, std::string text, const std::string& contentType,
                    BodyFraming framing) {
  auto body = std::make_shared<const std::string>(std::move(text));
  BodyReader read = [body](std::size_t offset, char* buffer, std::size_t n) {
    if (offset >= body->size()) return std::size_t{0};
    std::size_t count = std::min(n, body->size() - offset);
    std::copy_n(body->data() + offset, count, buffer);
    return count;
  };
  SendFramedBody(response, body->size(), std::move(read), contentType, framing);
}

}  // namespace zorv::server
