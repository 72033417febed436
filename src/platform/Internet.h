#pragma once
// The internet port: HTTP GET requests as the updater expects them of the
// system's Internet session classes. A session opens an address (redirects are
// followed) and hands back the final response: its status code, its
// Content-Length header as text and a body read in pieces the caller sizes.
// Failures are raised as InternetError carrying the library's own error text.
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

class InternetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HttpFile {
 public:
  HttpFile(HttpFile&&) noexcept;
  HttpFile& operator=(HttpFile&&) noexcept;
  ~HttpFile();

  // Status code of the final response (after redirects).
  long QueryStatusCode() const;
  // The Content-Length header of the final response as sent; empty when missing.
  std::wstring QueryContentLength() const;
  // Fills buffer with up to size bytes of the body, waiting until that many have
  // arrived or the body ends; 0 once the body has ended. A body that ends before
  // its announced length simply ends; any other failure raises InternetError.
  std::size_t Read(void* buffer, std::size_t size);
  // Ends the transfer; later reads return 0.
  void Close();

 private:
  friend class InternetSession;
  struct Transfer;
  explicit HttpFile(std::unique_ptr<Transfer> transfer);
  std::unique_ptr<Transfer> transfer_;
};

class InternetSession {
 public:
  // agent: the User-Agent text sent with every request.
  explicit InternetSession(std::wstring agent);

  // Limit for establishing a connection; 0 leaves the library's default.
  void SetConnectTimeout(int milliseconds);

  // Sends a GET for url and waits for the headers of the final response. Only
  // http and https addresses are fetched, also as redirect targets; anything
  // else, a connection that cannot be made and a broken transfer raise
  // InternetError.
  HttpFile OpenURL(const std::wstring& url);

 private:
  std::wstring agent_;
  int connectTimeoutMs_ = 0;
};

}  // namespace platform
