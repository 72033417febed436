#pragma once
// One update run: asks the version server whether a newer client exists,
// downloads it into the cache folder and hands over to it. Every step and
// failure is recorded in update.log; nothing is shown to the user.
#include <string>

class ClientUpdater {
 public:
  // tempFileName: the downloaded copy's name with its leading separator;
  // installSubdir: the install folder below the application-data folder, with
  // separators on both ends. Prepares the cache folder and removes a copy left
  // by an earlier run.
  ClientUpdater(const std::wstring& tempFileName, const std::wstring& installSubdir);

  // Asks server + "/" + pathAndQuery + version. True when the answer names the
  // new executable's address, which is then in m_strDownloadUrl.
  bool CheckVersion(const std::wstring& server, const std::wstring& pathAndQuery, const std::wstring& version);
  // The answer body as text; empty on any failure (which is logged).
  std::wstring FetchText(const std::wstring& url);
  // Downloads url into m_strTempFile and, when it arrived complete, starts it.
  // Returns only when the download failed or was incomplete.
  void DownloadAndRun(const std::wstring& url);
  // Starts downloaded with "-d <target>" and ends this process.
  [[noreturn]] static void StartDownloadedCopy(const std::wstring& downloaded, const std::wstring& target);

  std::wstring m_strCheckUrl;
  std::wstring m_strTempFile;
  std::wstring m_strTargetExe;
  std::wstring m_strInstallSubdir;
  std::wstring m_strDownloadUrl;
};

// The version server's answer names an update: at least 6 characters and a
// leading number (as wcstol reads it) that is not negative.
bool AnswerNamesUpdate(const std::wstring& answer);
