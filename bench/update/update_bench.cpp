// Measures the updater's download (1,024-byte reads from the internet port,
// written to the cache file, then digested) against curl on the same loopback
// server, and FileMd5Hex against md5sum and openssl. Prints a markdown table.
//
// update_bench <work folder> [download MiB] [digest MiB]
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/Process.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"
#include "update/ClientUpdater.h"
#include "update/FileDigest.h"

namespace {

struct ExitCalled {};

double BestSeconds(int runs, const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void MakeFile(const std::string& path, std::size_t mib, const std::string& head) {
  std::ofstream out(path, std::ios::binary);
  out << head;
  std::string block(1 << 20, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 2654435761u) >> 13);
  for (std::size_t i = 0; i < mib; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

void Row(const char* what, const char* tool, double seconds, double mib, double reference) {
  std::printf("| %s | %s | %.3f s | %.0f MiB/s | %.2f |\n", what, tool, seconds, mib / seconds, seconds / reference);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: update_bench <work folder> [download MiB] [digest MiB]\n");
    return 2;
  }
  const std::string work = argv[1];
  const std::size_t downloadMib = argc > 2 ? std::stoul(argv[2]) : 200;
  const std::size_t digestMib = argc > 3 ? std::stoul(argv[3]) : 1024;
  std::filesystem::create_directories(work);
  zorv::test::Sandbox box;

  // The served file starts as a script that does nothing, so that the hand-over
  // at the end of the download starts something harmless.
  const std::string served = work + "/served.bin";
  MakeFile(served, downloadMib, "#!/bin/true\n");
  const double downloadSize = static_cast<double>(std::filesystem::file_size(served)) / (1 << 20);

  httplib::Server server;
  server.set_mount_point("/", work);
  int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/served.bin";

  std::printf("| measured | tool | best of 3 | throughput | time / reference |\n|---|---|---|---|---|\n");
  const double curl = BestSeconds(3, [&] { Shell("curl -s -o " + work + "/curl.bin " + url); });
  Row("download", "curl -o", curl, downloadSize, curl);

  platform::SetExitHook([](int) { throw ExitCalled{}; });
  std::wstring tempFile;
  const double updater = BestSeconds(3, [&] {
    ClientUpdater client(L"/brixqorntmp.exe", L"/Zorv/Zorv/");
    tempFile = client.m_strTempFile;
    try {
      client.DownloadAndRun(zorv::test::Widen(url));
      std::fprintf(stderr, "download did not complete\n");
    } catch (const ExitCalled&) {
    }
  });
  std::wstring digest;
  const double digestOnly = BestSeconds(3, [&] {
    digest.clear();
    FileMd5Hex(tempFile, digest);
  });
  Row("download + digest", "DownloadAndRun", updater, downloadSize, curl);
  Row("download alone (minus digest)", "DownloadAndRun", updater - digestOnly, downloadSize, curl);
  server.stop();
  thread.join();

  const std::string big = work + "/digest.bin";
  MakeFile(big, digestMib, "");
  const double bigSize = static_cast<double>(digestMib);
  Shell("cat " + big + " > /dev/null");  // all three read from the page cache
  const double md5sum = BestSeconds(3, [&] { Shell("md5sum " + big + " > /dev/null"); });
  const double openssl = BestSeconds(3, [&] { Shell("openssl md5 " + big + " > /dev/null"); });
  const double ours = BestSeconds(3, [&] {
    std::wstring out;
    FileMd5Hex(zorv::test::Widen(big), out);
  });
  Row("MD5 of a file", "md5sum", md5sum, bigSize, md5sum);
  Row("MD5 of a file", "openssl md5", openssl, bigSize, md5sum);
  Row("MD5 of a file", "FileMd5Hex", ours, bigSize, md5sum);
  std::filesystem::remove_all(work);
  return 0;
}
