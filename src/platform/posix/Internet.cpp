#include "platform/Internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/Text.h"

namespace platform {

namespace {

constexpr long kStallSeconds = 60;
// How much the library hands over at a time; the reader takes it in its own sizes.
constexpr long kReceiveBufferBytes = 64 * 1024;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

}  // namespace

// One transfer on its own multi handle, pumped only when the reader needs more
// bytes, so the body flows through a small buffer instead of memory.
struct HttpFile::Transfer {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  char errorText[CURL_ERROR_SIZE] = {};

  std::string pending;  // body bytes received and not yet read
  std::size_t pendingPos = 0;
  bool headersDone = false;
  bool finished = false;
  CURLcode result = CURLE_OK;

  // Headers of the response being received (a redirect's are replaced by the next).
  long status = 0;
  bool hasLocation = false;
  std::string contentLength;

  ~Transfer() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    t->pending.append(data, size * count);
    t->headersDone = true;
    return size * count;
  }

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    std::string_view line(data, size * count);
    if (StartsWithNoCase(line, "http/")) {
      auto blank = line.find(' ');
      t->status = blank == std::string_view::npos ? 0 : std::atol(std::string(line.substr(blank + 1, 3)).c_str());
      t->hasLocation = false;
      t->contentLength.clear();
    } else if (StartsWithNoCase(line, "content-length:")) {
      t->contentLength = std::string(Trim(line.substr(15)));
    } else if (StartsWithNoCase(line, "location:")) {
      t->hasLocation = true;
    } else if (Trim(line).empty()) {
      bool interim = t->status < 200;
      bool followed = t->status >= 300 && t->status < 400 && t->hasLocation;
      if (!interim && !followed) t->headersDone = true;
    }
    return size * count;
  }

  std::string ErrorText() const {
    std::string text = errorText[0] ? errorText : curl_easy_strerror(result);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

  // Lets the library move the transfer on, waiting up to a second for the socket.
  void Pump() {
    int running = 0;
    CURLMcode code = curl_multi_perform(multi, &running);
    if (code != CURLM_OK) {
      finished = true;
      result = CURLE_RECV_ERROR;
      std::snprintf(errorText, sizeof errorText, "%s", curl_multi_strerror(code));
      return;
    }
    if (running == 0) {
      int queued = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
        if (msg->msg == CURLMSG_DONE) result = msg->data.result;
      }
      finished = true;
      return;
    }
    curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
  }

  std::size_t Buffered() const { return pending.size() - pendingPos; }
};

HttpFile::HttpFile(std::unique_ptr<Transfer> transfer) : transfer_(std::move(transfer)) {}
HttpFile::HttpFile(HttpFile&&) noexcept = default;
HttpFile& HttpFile::operator=(HttpFile&&) noexcept = default;
HttpFile::~HttpFile() = default;

long HttpFile::QueryStatusCode() const {
  if (!transfer_) return 0;
  long code = 0;
  curl_easy_getinfo(transfer_->easy, CURLINFO_RESPONSE_CODE, &code);
  return code;
}

std::wstring HttpFile::QueryContentLength() const {
  return transfer_ ? FromUtf8(transfer_->contentLength) : std::wstring();
}

std::size_t HttpFile::Read(void* buffer, std::size_t size) {
  if (!transfer_) return 0;
  Transfer& t = *transfer_;
  auto* out = static_cast<char*>(buffer);
  std::size_t copied = 0;
  while (copied < size) {
    if (t.Buffered() > 0) {
      std::size_t n = std::min(size - copied, t.Buffered());
      std::memcpy(out + copied, t.pending.data() + t.pendingPos, n);
      t.pendingPos += n;
      copied += n;
      if (t.pendingPos == t.pending.size()) {
        t.pending.clear();
        t.pendingPos = 0;
      }
      continue;
    }
    if (t.finished) break;
    t.Pump();
  }
  // Failures surface once the bytes that did arrive have been read. A body cut
  // short of its announced length is an ordinary end, as the caller measures it.
  if (copied == 0 && t.finished && t.result != CURLE_OK && t.result != CURLE_PARTIAL_FILE) {
    throw InternetError(t.ErrorText());
  }
  return copied;
}

void HttpFile::Close() { transfer_.reset(); }

InternetSession::InternetSession(std::wstring agent) : agent_(std::move(agent)) { InitCurlOnce(); }

void InternetSession::SetConnectTimeout(int milliseconds) { connectTimeoutMs_ = milliseconds; }

HttpFile InternetSession::OpenURL(const std::wstring& url) {
  auto t = std::make_unique<HttpFile::Transfer>();
  t->multi = curl_multi_init();
  t->easy = curl_easy_init();
  if (!t->multi || !t->easy) throw InternetError("out of memory");

  std::string address = ToUtf8(url);
  std::string agent = ToUtf8(agent_);
  CURL* e = t->easy;
  curl_easy_setopt(e, CURLOPT_URL, address.c_str());
  curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->errorText);
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
  // The updater downloads and runs what it fetches: never read local files or
  // other schemes, neither directly nor through a redirect.
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  // A peer that stops sending for a minute ends the transfer, as the system's
  // default receive time-out would; the caller's UI thread is waiting on it.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  if (connectTimeoutMs_ > 0) curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeoutMs_));
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &HttpFile::Transfer::OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &HttpFile::Transfer::OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, t.get());
  if (curl_multi_add_handle(t->multi, e) != CURLM_OK) throw InternetError("cannot start the transfer");

  while (!t->headersDone && !t->finished) t->Pump();
  if (!t->headersDone && t->result != CURLE_OK) throw InternetError(t->ErrorText());
  return HttpFile(std::move(t));
}

}  // namespace platform
