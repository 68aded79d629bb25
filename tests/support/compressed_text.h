// Texts compressed the way the usual tools store them, made in memory for tests: one stream, or
// several one after another (as parallel compressors write a file). Only the compressions this
// build reads (and so links the library of) can be made.
#pragma once

#if PGN_READS_BZIP2
#include <bzlib.h>
#endif
#if PGN_READS_XZ
#include <lzma.h>
#endif
#if PGN_READS_GZIP
#include <zlib.h>
#endif
#if PGN_READS_ZSTD
#include <zstd.h>
#endif

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_source.h"

namespace compressed_text {

// The compressions this build reads: all four on Linux, gzip alone on Windows.
inline const std::vector<Compression>& Readable() {
  static const std::vector<Compression> readable = [] {
    std::vector<Compression> list;
    if (PGN_READS_GZIP) list.push_back(Compression::Gzip);
    if (PGN_READS_ZSTD) list.push_back(Compression::Zstd);
    if (PGN_READS_BZIP2) list.push_back(Compression::Bzip2);
    if (PGN_READS_XZ) list.push_back(Compression::Xz);
    return list;
  }();
  return readable;
}

inline std::string OneStream(std::string_view text, Compression how) {
  std::string out;
  switch (how) {
    case Compression::None:
      return std::string(text);
    case Compression::Utf16Le:
    case Compression::Utf16Be:
      throw std::runtime_error("UTF-16 is written by the tests that read it");
#if PGN_READS_GZIP
    case Compression::Gzip: {
      z_stream z{};
      deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);  // + 16: a gzip header
      out.resize(deflateBound(&z, uLong(text.size())) + 64);
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
      z.avail_in = uInt(text.size());
      z.next_out = reinterpret_cast<Bytef*>(out.data());
      z.avail_out = uInt(out.size());
      if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
      out.resize(z.total_out);
      deflateEnd(&z);
      return out;
    }
#endif
#if PGN_READS_ZSTD
    case Compression::Zstd: {
      out.resize(ZSTD_compressBound(text.size()));
      const size_t size = ZSTD_compress(out.data(), out.size(), text.data(), text.size(), 3);
      if (ZSTD_isError(size)) throw std::runtime_error("zstd");
      out.resize(size);
      return out;
    }
#endif
#if PGN_READS_BZIP2
    case Compression::Bzip2: {
      unsigned size = unsigned(text.size() + text.size() / 100 + 600);
      out.resize(size);
      if (BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(text.data()), unsigned(text.size()), 9, 0, 0) !=
          BZ_OK)
        throw std::runtime_error("bzip2");
      out.resize(size);
      return out;
    }
#endif
#if PGN_READS_XZ
    case Compression::Xz: {
      out.resize(lzma_stream_buffer_bound(text.size()));
      size_t size = 0;
      if (lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr, reinterpret_cast<const uint8_t*>(text.data()),
                                  text.size(), reinterpret_cast<uint8_t*>(out.data()), &size, out.size()) != LZMA_OK)
        throw std::runtime_error("xz");
      out.resize(size);
      return out;
    }
#endif
    default:
      throw std::runtime_error("this build does not read " + std::string(CompressionName(how)));
  }
}

// The text in `parts` streams of about equal length, one after another.
inline std::string Compressed(std::string_view text, Compression how, size_t parts = 1) {
  std::string out;
  const size_t step = text.size() / parts + 1;
  for (size_t at = 0; at < text.size() || (at == 0 && text.empty()); at += step) {
    out += OneStream(text.substr(at, step), how);
    if (text.empty()) break;
  }
  return out;
}

}  // namespace compressed_text
