#include "update/ClientUpdater.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Internet.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "update/FileDigest.h"
#include "update/UpdateLog.h"

namespace {

// Sent as the User-Agent, as the framework sends the application's name.
constexpr const wchar_t* kAgent = L"Zedoro_Brix";
// Both transfers read in pieces of this size.
constexpr std::size_t kReceiveBuffer = 1024;
constexpr int kCheckConnectTimeoutMs = 5000;
constexpr std::size_t kFileBuffer = 1 << 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::FILE* OpenForAppend(const std::wstring& path) { return std::fopen(platform::ToUtf8(path).c_str(), "ab"); }

[[noreturn]] void ThrowFileError() { throw std::system_error(errno, std::generic_category()); }

std::wstring FileNameOf(const std::wstring& path) {
  auto slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool AnswerNamesUpdate(const std::wstring& answer) {
  if (answer.size() <= 5) return false;
  return std::wcstol(answer.c_str(), nullptr, 10) >= 0;
}

ClientUpdater::ClientUpdater(const std::wstring& tempFileName, const std::wstring& installSubdir) {
  std::wstring appData = platform::GetSpecialFolder(platform::SpecialFolder::AppData);
  std::wstring running = platform::GetModulePath();

  m_strTempFile = appData + L"/cache";
  if (!platform::FileExists(m_strTempFile) && platform::CreateFolder(m_strTempFile)) {
    // The cache holds executables this client is about to run: keep it the user's own.
    std::error_code ignored;
    std::filesystem::permissions(platform::ToUtf8(m_strTempFile), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, ignored);
  }
  m_strTempFile += tempFileName;
  if (platform::FileExists(m_strTempFile)) platform::DeleteFile(m_strTempFile);

  m_strTargetExe = appData + installSubdir + FileNameOf(running);
  m_strInstallSubdir = installSubdir;
}

bool ClientUpdater::CheckVersion(const std::wstring& server, const std::wstring& pathAndQuery,
                                 const std::wstring& version) {
  m_strCheckUrl = server + L"/" + pathAndQuery + version;
  std::wstring answer = FetchText(m_strCheckUrl);
  WriteUpdateLog(L"Server response check version msg:" + answer);
  if (!AnswerNamesUpdate(answer)) {
    WriteUpdateLog(L"Finish Update.");
    WriteUpdateLog(kUpdateLogSeparator);
    return false;
  }
  m_strDownloadUrl = answer;
  return true;
}

std::wstring ClientUpdater::FetchText(const std::wstring& url) {
  platform::InternetSession session(kAgent);
  try {
    session.SetConnectTimeout(kCheckConnectTimeoutMs);
    platform::HttpFile file = session.OpenURL(url);
    long status = file.QueryStatusCode();
    WriteUpdateLog(L"Http QueryInfoStatusCode:" + std::to_wstring(status));
    if (status >= 400) return std::wstring();
    // The answer is expected to fit one read of the receive buffer; a longer
    // one is cut to what one read leaves room for beside the terminating zero.
    char buffer[kReceiveBuffer] = {};
    std::size_t got = file.Read(buffer, sizeof buffer - 1);
    file.Close();
    // Network text is UTF-8 here, the system's narrow encoding; it ends at the
    // first zero byte.
    return platform::FromUtf8(std::string(buffer, std::find(buffer, buffer + got, '\0')));
  } catch (const std::exception& error) {
    WriteUpdateLogError(L"Try Download File Exception", error);
    return std::wstring();
  }
}

void ClientUpdater::DownloadAndRun(const std::wstring& url) {
  WriteUpdateLog(L"ExcuUpdate,URL=" + url);
  platform::InternetSession session(kAgent);
  bool complete = false;
  try {
    platform::HttpFile response = session.OpenURL(url);
    long status = response.QueryStatusCode();
    WriteUpdateLog(L"Http QueryInfoStatusCode:" + std::to_wstring(status));
    if (status >= 400) return;

    long total = std::wcstol(response.QueryContentLength().c_str(), nullptr, 10);
    WriteUpdateLog(L"Content length:" + std::to_wstring(total));

    // Bytes already present count towards the announced length (normally none:
    // the constructor removed any earlier copy).
    { FilePtr created(OpenForAppend(m_strTempFile)); }
    long existing = static_cast<long>(platform::FileSize(m_strTempFile));
    if (existing == total) {
      WriteUpdateLog(L"ERROR!Before download dwFileSize == dwToatlSize,exit");
      return;
    }

    FilePtr out(OpenForAppend(m_strTempFile));
    if (!out) return;
    // The body arrives in small reads; let the file take it in larger writes.
    std::setvbuf(out.get(), nullptr, _IOFBF, kFileBuffer);
    long received = 0;
    char buffer[kReceiveBuffer];
    while (std::size_t got = response.Read(buffer, sizeof buffer)) {
      if (std::fwrite(buffer, 1, got, out.get()) != got) ThrowFileError();
      received += static_cast<long>(got);
    }
    if (std::fclose(out.release()) != 0) ThrowFileError();
    response.Close();

    if (existing + received != total) return;
    WriteUpdateLog(L"Finish download,file size=" + std::to_wstring(total));
    std::wstring digest;
    FileMd5Hex(m_strTempFile, digest);
    WriteUpdateLog(L"Finish download,file md5=" + digest);
    complete = true;
  } catch (const std::exception& error) {
    WriteUpdateLogError(L"Try Download File Exception", error);
  }
  if (complete) StartDownloadedCopy(m_strTempFile, m_strTargetExe);
}

void ClientUpdater::StartDownloadedCopy(const std::wstring& downloaded, const std::wstring& target) {
  // A download arrives without the executable bit; it needs it before it can start.
  platform::SetExecutable(downloaded);
  platform::StartProcess(downloaded, L"-d " + target);
  platform::ExitProcessNow(0);
}
