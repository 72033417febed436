// cache_bench <folder>: deletes everything inside folder as the cache cleaner
// does (the folder itself stays). Exit code 0 when the folder could be listed.
#include <cstdio>

#include "cache/CleanFolder.h"
#include "platform/Text.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cache_bench <folder>\n");
    return 2;
  }
  return CleanFolder(platform::FromUtf8(argv[1])) ? 0 : 1;
}
