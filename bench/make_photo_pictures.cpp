// Writes the benchmark's photo-like pictures into a folder, for the scripts
// that time other programs on the same files: make_photo_pictures DIR COUNT.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "bench/photo_pictures.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::fprintf(stderr, "usage: make_photo_pictures DIR COUNT\n");
    return 2;
  }
  for (const std::filesystem::path& path :
       zentora::bench::PhotoPictures(std::atoi(argv[2]), argv[1])) {
    std::printf("%s\n", path.c_str());
  }
  return 0;
}
