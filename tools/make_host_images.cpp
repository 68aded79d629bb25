// Writes the host's pictures (tab backgrounds and "Browse..." faces) as GIF files under a folder:
//   make_host_images <folder>   ->  <folder>/images/*.gif and <folder>/plugins/*.gif
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/gif_image.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_host_images <folder>\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  for (const NamedPicture& named : HostPictures()) {
    const std::filesystem::path folder = root / named.folder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string bytes = EncodeGif(named.picture);
    std::ofstream out(folder / named.name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    if (bytes.empty() || !out) {
      std::fprintf(stderr, "make_host_images: cannot write %s\n", (folder / named.name).string().c_str());
      return 1;
    }
  }
  return 0;
}
