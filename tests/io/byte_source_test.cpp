// Reading texts through ByteSource: plain and compressed files and streams give the same bytes,
// in whatever sizes they are asked for; damaged or cut compressed data ends the text with a
// failure after the good part, never silently.
#include "io/byte_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "io/decompression.h"
#include "tests/support/compressed_text.h"
#include "tests/support/temp_dir.h"

namespace {

// Some PGN text of a few hundred kilobytes, varied enough not to compress to nothing.
std::string SampleText() {
  std::string text;
  for (int game = 1; text.size() < 300000; ++game) {
    text += "[Event \"Test " + std::to_string(game) + "\"]\n[White \"Player " + std::to_string(game * 7919 % 1000) +
            "\"]\n[Result \"*\"]\n\n1. e4 e5 2. Nf3 {" + std::to_string(game * 104729) + "} Nc6 *\n\n";
  }
  return text;
}

// Everything a source gives, read in blocks of `block` bytes.
std::string ReadAll(ByteSource& source, size_t block) {
  std::string text, part(block, '\0');
  for (;;) {
    const size_t got = source.Read(part.data(), block);
    text.append(part, 0, got);
    if (got < block) return text;
  }
}

TEST(CompressionSignature, KnownByTheirFirstBytesOnly) {
  EXPECT_EQ(CompressionOf("\x1f\x8b\x08\x00"), Compression::Gzip);
  EXPECT_EQ(CompressionOf("\x28\xb5\x2f\xfd\x24"), Compression::Zstd);
  EXPECT_EQ(CompressionOf("BZh91AY&SY"), Compression::Bzip2);
  EXPECT_EQ(CompressionOf(std::string_view("\xfd"
                                           "7zXZ\0\0",
                                           7)),
            Compression::Xz);
  EXPECT_EQ(CompressionOf("[Event \"x\"]"), Compression::None);
  EXPECT_EQ(CompressionOf("BZh"), Compression::None);  // too short to tell
  EXPECT_EQ(CompressionOf("BZhX"), Compression::None);
  EXPECT_EQ(CompressionOf(""), Compression::None);
  EXPECT_EQ(CompressionOf("\x1f"), Compression::None);
}

TEST(ByteSource, APlainFileReadsAsItIsInAnyBlockSize) {
  TempDir dir;
  const std::string text = SampleText();
  TempDir::Write(dir / "plain.pgn", text);
  for (size_t block : {size_t(1), size_t(5), size_t(4093), size_t(1) << 20}) {
    ReadError error = ReadError::CannotOpen;
    std::unique_ptr<ByteSource> source = OpenByteSource(dir / "plain.pgn", error);
    ASSERT_TRUE(source);
    EXPECT_EQ(ReadAll(*source, block), text) << block;
    EXPECT_EQ(source->error, ReadError::None);
    EXPECT_EQ(source->GetCompression(), Compression::None);
    EXPECT_EQ(source->storedSize, int64_t(text.size()));
    EXPECT_EQ(source->StoredBytesTaken(), int64_t(text.size()));
  }
}

#ifndef _WIN32
// A file cut shorter while it is read (Windows refuses the cut while the file is held) ends in
// a failure that names the cut, after the bytes that were still there: never a quiet end.
TEST(ByteSource, AFileCutWhileReadIsAFailure) {
  TempDir dir;
  const std::string text = SampleText();
  TempDir::Write(dir / "cut.pgn", text);
  ReadError error = ReadError::CannotOpen;
  std::unique_ptr<ByteSource> source = OpenByteSource(dir / "cut.pgn", error);
  ASSERT_TRUE(source);
  std::string first(10, '\0');
  ASSERT_EQ(source->Read(first.data(), first.size()), first.size());
  std::filesystem::resize_file(dir / "cut.pgn", text.size() / 2);
  const std::string rest = ReadAll(*source, 4096);
  EXPECT_EQ(first + rest, text.substr(0, text.size() / 2));
  EXPECT_EQ(source->error, ReadError::ReadFailed);
  EXPECT_NE(source->detail.find("got shorter"), std::string::npos) << source->detail;
}
#endif

TEST(ByteSource, ShortAndEmptyFilesAndMissingOnes) {
  TempDir dir;
  // Shorter than a signature, and the start of one that is not one.
  for (const std::string text : {"", "[", "\x1f", "BZh", "BZh1"}) {
    TempDir::Write(dir / "short.pgn", text);
    std::string read;
    if (text == "BZh1") {
      EXPECT_EQ(ReadWholeText(dir / "short.pgn", read), PGN_READS_BZIP2 ? ReadError::Damaged : ReadError::Unsupported);
      continue;
    }
    EXPECT_EQ(ReadWholeText(dir / "short.pgn", read), ReadError::None);
    EXPECT_EQ(read, text);
  }
  ReadError error = ReadError::None;
  EXPECT_FALSE(OpenByteSource(dir / "none.pgn", error));
  EXPECT_EQ(error, ReadError::CannotOpen);
}

// UTF-16 as Windows programs write it, little or big end first, with a byte-order mark or
// without: read as UTF-8 in blocks of any size, characters past the first 128 and past the
// first 65536 (surrogate pairs) included. A half surrogate becomes U+FFFD.
TEST(ByteSource, Utf16TextIsReadAsUtf8) {
  TempDir dir;
  const std::u16string wide =
      u"[White \"\u0422\u0430\u043b\u044c, Mikhail\"]\r\n[Event \"\u00c9t\u00e9 \U0001F600\"]\r\n";
  const std::string utf8 =
      "[White \"\xd0\xa2\xd0\xb0\xd0\xbb\xd1\x8c, Mikhail\"]\r\n[Event \"\xc3\x89t\xc3\xa9 \xf0\x9f\x98\x80\"]\r\n";
  for (bool little : {true, false})
    for (bool mark : {true, false}) {
      SCOPED_TRACE(std::string(little ? "LE" : "BE") + (mark ? " with its mark" : ""));
      std::string stored;
      auto unit = [&](char16_t c) {
        const char low = char(c & 0xFF), high = char(c >> 8);
        stored += little ? std::string{low, high} : std::string{high, low};
      };
      if (mark) unit(0xFEFF);
      for (char16_t c : wide) unit(c);
      TempDir::Write(dir / "wide.pgn", stored);
      for (size_t block : {size_t(1), size_t(3), size_t(65536)}) {
        ReadError error = ReadError::None;
        std::unique_ptr<ByteSource> source = OpenByteSource(dir / "wide.pgn", error);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->GetCompression(), little ? Compression::Utf16Le : Compression::Utf16Be);
        EXPECT_EQ(ReadAll(*source, block), utf8) << block;
        EXPECT_EQ(source->error, ReadError::None);
      }
    }
  TempDir::Write(dir / "half.pgn", std::string("[\0\x3d\xd8x\0", 6));  // "[", a lone high half, "x"
  std::string read;
  EXPECT_EQ(ReadWholeText(dir / "half.pgn", read), ReadError::None);
  EXPECT_EQ(read, "[\xef\xbf\xbdx");
  // Zeros are no UTF-16, and a plain file stays plain.
  EXPECT_EQ(CompressionOf(std::string(6, '\0')), Compression::None);
  EXPECT_EQ(CompressionOf("[Event"), Compression::None);
}

const std::vector<Compression>& Packed = compressed_text::Readable();

TEST(ByteSource, EachCompressionReadsAsThePlainText) {
  TempDir dir;
  const std::string text = SampleText();
  for (Compression how : Packed) {
    for (size_t parts : {size_t(1), size_t(3)}) {
      SCOPED_TRACE(std::string(CompressionName(how)) + " in " + std::to_string(parts));
      const std::string stored = compressed_text::Compressed(text, how, parts);
      TempDir::Write(dir / "games.pgn.x", stored);
      for (size_t block : {size_t(1) << 20, size_t(4093), size_t(7)}) {
        ReadError error = ReadError::CannotOpen;
        std::unique_ptr<ByteSource> source = OpenByteSource(dir / "games.pgn.x", error);
        ASSERT_TRUE(source);
        EXPECT_EQ(source->GetCompression(), how);
        EXPECT_EQ(ReadAll(*source, block), text);
        EXPECT_EQ(source->error, ReadError::None) << source->detail;
        EXPECT_EQ(source->StoredBytesTaken(), int64_t(stored.size()));
      }
    }
  }
}

TEST(ByteSource, AStreamIsReadAsAFileIs) {
  const std::string text = SampleText();
  std::vector<Compression> kinds = {Compression::None};
  kinds.insert(kinds.end(), Packed.begin(), Packed.end());
  for (Compression how : kinds) {
    std::FILE* stream = std::tmpfile();
    ASSERT_TRUE(stream);
    const std::string stored = compressed_text::Compressed(text, how, 2);
    std::fwrite(stored.data(), 1, stored.size(), stream);
    std::rewind(stream);
    std::unique_ptr<ByteSource> source = StreamByteSource(stream);
    EXPECT_EQ(source->storedSize, -1);
    EXPECT_EQ(ReadAll(*source, 65536), text) << CompressionName(how);
    EXPECT_EQ(source->error, ReadError::None);
    source.reset();
    EXPECT_NE(std::fclose(stream), EOF);  // the source leaves the stream open
  }
}

#ifndef _WIN32
TEST(ByteSource, ANamedPipeIsReadAsAStream) {
  // As a shell's <(zcat games.pgn.gz) gives: a path that cannot be measured or sought.
  TempDir dir;
  const std::filesystem::path pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string text = SampleText();
  const std::string stored = compressed_text::Compressed(text, Compression::Gzip);
  std::thread writer([&] {
    std::FILE* out = std::fopen(pipe.c_str(), "wb");
    std::fwrite(stored.data(), 1, stored.size(), out);
    std::fclose(out);
  });
  ReadError error = ReadError::CannotOpen;
  std::unique_ptr<ByteSource> source = OpenByteSource(pipe, error);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->storedSize, -1);
  EXPECT_EQ(ReadAll(*source, 4096), text);
  EXPECT_EQ(source->error, ReadError::None);
  writer.join();
}
#endif

TEST(ByteSource, CutShortDataGivesTheGoodPartAndAFailure) {
  TempDir dir;
  const std::string text = SampleText();
  for (Compression how : Packed) {
    SCOPED_TRACE(CompressionName(how));
    const std::string stored = compressed_text::Compressed(text, how);
    TempDir::Write(dir / "cut.pgn.x", stored.substr(0, stored.size() * 2 / 3));
    ReadError error = ReadError::None;
    std::unique_ptr<ByteSource> source = OpenByteSource(dir / "cut.pgn.x", error);
    const std::string read = ReadAll(*source, 1000);
    EXPECT_EQ(source->error, ReadError::Damaged);
    EXPECT_NE(source->detail.find(CompressionName(how)), std::string::npos) << source->detail;
    EXPECT_LT(read.size(), text.size());
    EXPECT_EQ(read, text.substr(0, read.size()));
  }
}

TEST(ByteSource, DamageInsideTheDataIsAFailure) {
  TempDir dir;
  const std::string text = SampleText();
  // zstd frames carry no checksum unless asked: a changed byte there may unpack to other text,
  // as with a plain file. The others check what they unpack.
  for (Compression how : Packed) {
    if (how == Compression::Zstd) continue;
    SCOPED_TRACE(CompressionName(how));
    std::string stored = compressed_text::Compressed(text, how);
    stored[stored.size() / 2] = char(stored[stored.size() / 2] ^ 0x55);
    TempDir::Write(dir / "bad.pgn.x", stored);
    std::string read;
    EXPECT_EQ(ReadWholeText(dir / "bad.pgn.x", read), ReadError::Damaged);
    EXPECT_NE(read, text);
  }
  // Text after the last stream that is no stream at all.
  for (Compression how : Packed) {
    TempDir::Write(dir / "tail.pgn.x", compressed_text::Compressed(text, how) + "[Event \"plain\"]\n");
    std::string read;
    EXPECT_EQ(ReadWholeText(dir / "tail.pgn.x", read), ReadError::Damaged) << CompressionName(how);
  }
}

// What a build does not read (Windows builds have zlib alone) is named and refused, never taken
// for plain text.
TEST(ByteSource, CompressedFilesAreNamedAndRefusedWithoutTheLibraries) {
  TempDir dir;
  const std::pair<Compression, std::string> heads[] = {
      {Compression::Gzip, std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8)},
      {Compression::Zstd, std::string("\x28\xb5\x2f\xfd\x00\x00", 6)},
      {Compression::Bzip2, "BZh91AY&SY"},
      {Compression::Xz, std::string("\xfd"
                                    "7zXZ\0\0",
                                    8)}};
  for (const auto& [how, head] : heads) {
    if (DecoderAvailable(how)) continue;
    SCOPED_TRACE(CompressionName(how));
    TempDir::Write(dir / "games.pgn.x", head);
    ReadError error = ReadError::None;
    std::unique_ptr<ByteSource> source = OpenByteSource(dir / "games.pgn.x", error);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->GetCompression(), how);
    EXPECT_EQ(ReadAll(*source, 100), "");
    EXPECT_EQ(source->error, ReadError::Unsupported);
    EXPECT_NE(source->detail.find(CompressionName(how)), std::string::npos);
  }
}

}  // namespace
