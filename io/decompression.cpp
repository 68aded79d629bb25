// The decoders for compressed text, over the system's zlib, libzstd, libbz2 and liblzma (those the
// build found). Each takes the stored bytes in blocks and unpacks into the caller's buffer; files
// made of several compressed streams one after another (as parallel compressors write them) read
// as one text.
#include "io/decompression.h"

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

#include <algorithm>
#include <vector>

namespace {

constexpr size_t InputBlock = size_t(1) << 17;

// What every decoder shares: the block of stored bytes being unpacked.
class Decoder : public ByteSource {
 public:
  Decoder(std::unique_ptr<StoredInput> input, Compression how) : ByteSource(std::move(input), how), block(InputBlock) {}

  // In calls of at most 1 GiB: the libraries count in 32 bits.
  size_t Read(char* to, size_t count) final {
    size_t done = 0;
    while (done < count && !finished) done += ReadSome(to + done, std::min(count - done, size_t(1) << 30));
    return done;
  }

 protected:
  // Up to `count` bytes; fewer only when the text ends or a failure ends it (`finished`).
  virtual size_t ReadSome(char* to, size_t count) = 0;

  // The next block of stored bytes into `block`; false at the end of the input (or on a failure
  // to read it, which is recorded).
  bool Refill() {
    filled = stored->Read(block.data(), block.size());
    if (filled == 0 && stored->Failed()) Fail(ReadError::ReadFailed, "");
    return filled > 0;
  }
  // The input ended inside a compressed stream (not a stop request ending a wait for it).
  void CutShort() {
    if (!stored->Stopped()) Fail(ReadError::Damaged, std::string(CompressionName(compression)) + " data ends early");
  }
  void Damaged(const char* words) {
    Fail(ReadError::Damaged, std::string(CompressionName(compression)) + " data is damaged" +
                                 (words && *words ? std::string(" (") + words + ")" : std::string()));
  }

  std::vector<char> block;
  size_t filled = 0;
  bool finished = false;  // the text ended, or a failure ended it
};

#if PGN_READS_GZIP
class GzipDecoder : public Decoder {
 public:
  explicit GzipDecoder(std::unique_ptr<StoredInput> input) : Decoder(std::move(input), Compression::Gzip) {
    // 15 + 32: a window of 32 KiB, gzip or zlib headers recognised.
    if (inflateInit2(&stream, 15 + 32) != Z_OK) {
      Fail(ReadError::ReadFailed, "zlib could not start");
      finished = true;
    }
  }
  ~GzipDecoder() override { inflateEnd(&stream); }

  size_t ReadSome(char* to, size_t count) override {
    stream.next_out = reinterpret_cast<Bytef*>(to);
    stream.avail_out = uInt(count);
    while (stream.avail_out > 0 && !finished) {
      if (stream.avail_in == 0) {
        if (!Refill()) {
          if (!betweenMembers) CutShort();
          finished = true;
          break;
        }
        stream.next_in = reinterpret_cast<Bytef*>(block.data());
        stream.avail_in = uInt(filled);
      }
      const int result = inflate(&stream, Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        // Another member may follow: it is read on as part of the same text.
        betweenMembers = true;
        inflateReset(&stream);
      } else if (result == Z_OK || result == Z_BUF_ERROR) {
        betweenMembers = false;
      } else {
        Damaged(stream.msg);
        finished = true;
      }
    }
    return count - stream.avail_out;
  }

 private:
  z_stream stream{};
  bool betweenMembers = false;
};
#endif

#if PGN_READS_ZSTD
class ZstdDecoder : public Decoder {
 public:
  explicit ZstdDecoder(std::unique_ptr<StoredInput> input)
      : Decoder(std::move(input), Compression::Zstd), stream(ZSTD_createDStream()) {
    if (!stream) {
      Fail(ReadError::ReadFailed, "zstd could not start");
      finished = true;
    }
  }
  ~ZstdDecoder() override { ZSTD_freeDStream(stream); }

  size_t ReadSome(char* to, size_t count) override {
    ZSTD_outBuffer out{to, count, 0};
    while (out.pos < out.size && !finished) {
      if (in.pos == in.size) {
        if (!Refill()) {
          if (!frameEnded) CutShort();
          finished = true;
          break;
        }
        in = ZSTD_inBuffer{block.data(), filled, 0};
      }
      const size_t result = ZSTD_decompressStream(stream, &out, &in);
      if (ZSTD_isError(result)) {
        Damaged(ZSTD_getErrorName(result));
        finished = true;
      } else {
        frameEnded = result == 0;  // 0: a frame ended here; frames that follow go on the text
      }
    }
    return out.pos;
  }

 private:
  ZSTD_DStream* stream;
  ZSTD_inBuffer in{nullptr, 0, 0};
  bool frameEnded = true;
};
#endif

#if PGN_READS_BZIP2
class Bzip2Decoder : public Decoder {
 public:
  explicit Bzip2Decoder(std::unique_ptr<StoredInput> input) : Decoder(std::move(input), Compression::Bzip2) { Start(); }
  ~Bzip2Decoder() override {
    if (started) BZ2_bzDecompressEnd(&stream);
  }

  size_t ReadSome(char* to, size_t count) override {
    stream.next_out = to;
    stream.avail_out = unsigned(count);
    while (stream.avail_out > 0 && !finished) {
      if (stream.avail_in == 0) {
        if (!Refill()) {
          if (!betweenStreams) CutShort();
          finished = true;
          break;
        }
        stream.next_in = block.data();
        stream.avail_in = unsigned(filled);
      }
      const unsigned availInBefore = stream.avail_in, availOutBefore = stream.avail_out;
      const int result = BZ2_bzDecompress(&stream);
      if (result == BZ_STREAM_END) {
        // Another stream may follow (parallel compressors write one per part).
        char* const nextIn = stream.next_in;
        const unsigned availIn = stream.avail_in;
        char* const nextOut = stream.next_out;
        const unsigned availOut = stream.avail_out;
        BZ2_bzDecompressEnd(&stream);
        started = false;
        if (!Start()) break;
        stream.next_in = nextIn;
        stream.avail_in = availIn;
        stream.next_out = nextOut;
        stream.avail_out = availOut;
        betweenStreams = true;
      } else if (result == BZ_OK) {
        if (stream.avail_in != availInBefore || stream.avail_out != availOutBefore) betweenStreams = false;
      } else {
        Damaged(result == BZ_DATA_ERROR_MAGIC ? "not bzip2 data" : "");
        finished = true;
      }
    }
    return count - stream.avail_out;
  }

 private:
  bool Start() {
    stream = bz_stream{};
    started = BZ2_bzDecompressInit(&stream, 0, 0) == BZ_OK;
    if (!started) {
      Fail(ReadError::ReadFailed, "bzip2 could not start");
      finished = true;
    }
    return started;
  }
  bz_stream stream{};
  bool started = false;
  bool betweenStreams = false;
};
#endif

#if PGN_READS_XZ
class XzDecoder : public Decoder {
 public:
  explicit XzDecoder(std::unique_ptr<StoredInput> input) : Decoder(std::move(input), Compression::Xz) {
    // LZMA_CONCATENATED: streams one after another read as one text.
    if (lzma_stream_decoder(&stream, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK) {
      Fail(ReadError::ReadFailed, "liblzma could not start");
      finished = true;
    }
  }
  ~XzDecoder() override { lzma_end(&stream); }

  size_t ReadSome(char* to, size_t count) override {
    stream.next_out = reinterpret_cast<uint8_t*>(to);
    stream.avail_out = count;
    while (stream.avail_out > 0 && !finished) {
      if (stream.avail_in == 0 && !inputEnded) {
        if (Refill()) {
          stream.next_in = reinterpret_cast<const uint8_t*>(block.data());
          stream.avail_in = filled;
        } else {
          inputEnded = true;
        }
      }
      const lzma_ret result = lzma_code(&stream, inputEnded ? LZMA_FINISH : LZMA_RUN);
      if (result == LZMA_STREAM_END) {
        finished = true;
      } else if (result == LZMA_BUF_ERROR && inputEnded) {
        CutShort();
        finished = true;
      } else if (result != LZMA_OK) {
        Damaged(result == LZMA_FORMAT_ERROR ? "not xz data" : result == LZMA_MEM_ERROR ? "out of memory" : "");
        finished = true;
      }
    }
    return count - stream.avail_out;
  }

 private:
  lzma_stream stream = LZMA_STREAM_INIT;
  bool inputEnded = false;
};
#endif

}  // namespace

std::unique_ptr<ByteSource> MakeDecoder(Compression compression, std::unique_ptr<StoredInput> stored) {
  switch (compression) {
#if PGN_READS_GZIP
    case Compression::Gzip:
      return std::make_unique<GzipDecoder>(std::move(stored));
#endif
#if PGN_READS_ZSTD
    case Compression::Zstd:
      return std::make_unique<ZstdDecoder>(std::move(stored));
#endif
#if PGN_READS_BZIP2
    case Compression::Bzip2:
      return std::make_unique<Bzip2Decoder>(std::move(stored));
#endif
#if PGN_READS_XZ
    case Compression::Xz:
      return std::make_unique<XzDecoder>(std::move(stored));
#endif
    default:
      break;
  }
  return nullptr;
}

bool DecoderAvailable(Compression compression) {
  switch (compression) {
    case Compression::Gzip:
      return PGN_READS_GZIP;
    case Compression::Zstd:
      return PGN_READS_ZSTD;
    case Compression::Bzip2:
      return PGN_READS_BZIP2;
    case Compression::Xz:
      return PGN_READS_XZ;
    case Compression::None:
    case Compression::Utf16Le:
    case Compression::Utf16Be:
      break;
  }
  return false;
}
