// The real collections the tests read. The shared collections beside the project
// (../shared/data/pgn) hold the most, some of it under licences that keep it out of the project;
// a clone of the project alone has its own smaller set, data/corpus, stored compressed with xz and
// unpacked here once per test program into a scratch folder of the same layout (otb/, online/,
// engine/, quirks/). A test of a file or folder neither holds is skipped, saying so in one line.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "io/byte_source.h"
#include "io/decompression.h"

#define PGN_SKIP_WITHOUT_SHARED(path)                                                              \
  do {                                                                                             \
    if (!std::filesystem::exists(path))                                                            \
      GTEST_SKIP() << "skipped: " << (path) << " is not here (../shared/data beside the project)"; \
  } while (false)

namespace shared_data_detail {

// The project's own collections, unpacked; removed when the test program ends.
class UnpackedCorpus {
 public:
  UnpackedCorpus() {
    const std::filesystem::path corpus = PGN_SOURCE_DIR "/data/corpus";
    if (!std::filesystem::exists(corpus) || !DecoderAvailable(Compression::Xz)) return;
    std::random_device seed;
    folder = std::filesystem::temp_directory_path() / ("pgn_util_corpus_" + std::to_string(seed()));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
      if (!entry.is_regular_file() || entry.path().extension() != ".xz") continue;
      const std::filesystem::path target = folder / std::filesystem::relative(entry.path(), corpus).replace_extension();
      std::string text;
      if (ReadWholeText(entry.path(), text) != ReadError::None) {
        failure = "could not unpack " + entry.path().string();
        return;
      }
      std::filesystem::create_directories(target.parent_path());
      std::ofstream(target, std::ios::binary) << text;
    }
  }
  ~UnpackedCorpus() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }
  UnpackedCorpus(const UnpackedCorpus&) = delete;
  UnpackedCorpus& operator=(const UnpackedCorpus&) = delete;

  std::filesystem::path folder;
  std::string failure;
};

}  // namespace shared_data_detail

// The folder of real collections: ../shared/data/pgn where it stands, else the project's own set
// unpacked; a folder that does not exist when neither can be had (a build without xz).
inline std::filesystem::path CollectionsFolder() {
  const std::filesystem::path shared = PGN_SHARED_DATA "/pgn";
  if (std::filesystem::exists(shared)) return shared;
  static shared_data_detail::UnpackedCorpus corpus;
  if (!corpus.failure.empty()) throw std::runtime_error(corpus.failure);
  return corpus.folder.empty() ? shared : corpus.folder;
}

#define PGN_SKIP_WITHOUT_COLLECTIONS(path)                                                                   \
  do {                                                                                                       \
    if (!std::filesystem::exists(path))                                                                      \
      GTEST_SKIP() << "skipped: " << (path) << " is in neither ../shared/data nor this build's data/corpus"; \
  } while (false)
