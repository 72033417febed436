#include "platform/Digest.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "platform/Text.h"

namespace platform {

namespace {

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

struct MdCtxFree {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};

// Large enough that the digest, not the system calls, sets the pace.
constexpr std::size_t kChunk = 1 << 20;

}  // namespace

std::optional<Md5Value> FileMd5(const std::wstring& path) {
  int fd = ::open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  FdCloser closer{fd};
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

  std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1) return std::nullopt;

  std::vector<unsigned char> buffer(kChunk);
  for (;;) {
    ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    if (EVP_DigestUpdate(ctx.get(), buffer.data(), static_cast<std::size_t>(got)) != 1) return std::nullopt;
  }

  Md5Value value{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), value.data(), &length) != 1 || length != value.size()) return std::nullopt;
  return value;
}

}  // namespace platform
