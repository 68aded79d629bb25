// The buffered binary file: encodings, the buffer's refills and write-back, seeks, failures;
// and the whole-file and byte-range readers.
#include "io/bytefile.h"

#include <gtest/gtest.h>

#include <string>

#include "io/file_read.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::string_literals;

class ByteFile : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path file = dir / "data.bin";
};

TEST_F(ByteFile, EncodesIntegersBigEndianWordsLittleEndian) {
  {
    bytefile out(file, false);
    ASSERT_FALSE(out.failed);
    out.writeint(258);
    out.writeword(258);
    out.writewstr(u"Ab");
    out.writestr("Ab");
    out.writebool(true);
    out.writebool(false);
    out.writeint(-2);
  }
  EXPECT_EQ(TempDir::Read(file),
            "\x00\x00\x01\x02"s
            "\x02\x01"s
            "\x00\x00\x00\x02\x41\x00\x62\x00"s
            "\x00\x00\x00\x02\x41\x62"s
            "\x01\x00"s
            "\xFF\xFF\xFF\xFE"s);
  bytefile in(file, true);
  ASSERT_FALSE(in.failed);
  EXPECT_EQ(in.readint(), 258);
  EXPECT_EQ(in.readword(), 258);
  EXPECT_EQ(in.readwstr(), u"Ab");
  EXPECT_EQ(in.readstr(), "Ab");
  EXPECT_TRUE(in.readbool());
  EXPECT_FALSE(in.readbool());
  EXPECT_EQ(in.readint(), -2);
  EXPECT_TRUE(in.eof());
  EXPECT_FALSE(in.failed);
}

TEST_F(ByteFile, AnyNonZeroByteReadsAsTrueAndAHighFirstByteIsNegative) {
  TempDir::Write(file, "\x07\x80\x00\x00\x01"s);
  bytefile in(file, true);
  EXPECT_TRUE(in.readbool());
  EXPECT_EQ(in.readint(), int32_t(0x80000001u));
}

TEST_F(ByteFile, EmptyFileReadsZerosAndEmptyStrings) {
  TempDir::Write(file, "");
  bytefile in(file, true);
  ASSERT_FALSE(in.failed);
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(in.readint(), 0);
  EXPECT_EQ(in.readstr(), "");
  EXPECT_FALSE(in.failed);  // a length of 0 is no damage
}

TEST_F(ByteFile, ReadsAcrossTheBufferBoundary) {
  std::string bytes(2049, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i % 251);
  TempDir::Write(file, bytes);
  bytefile in(file, true);
  for (size_t i = 0; i < 2048; ++i) ASSERT_EQ(in.readbyte(), uint8_t(i % 251)) << i;
  EXPECT_FALSE(in.eof());
  EXPECT_EQ(in.readbyte(), uint8_t(2048 % 251));  // the 2049th byte comes with a refill
  EXPECT_EQ(in.readbyte(), 0);
  EXPECT_TRUE(in.eof());
  EXPECT_FALSE(in.failed);
}

TEST_F(ByteFile, MissingBytesAtTheEndReadAsZero) {
  TempDir::Write(file, "\x12\x34"s);
  bytefile in(file, true);
  EXPECT_EQ(in.readint(), 0x12340000);
}

TEST_F(ByteFile, AStringLongerThanTheFileFailsAndLaterReadsAreZero) {
  TempDir::Write(file, "\x00\x00\x10\x00xyz\x01\x02\x03\x04"s);
  bytefile in(file, true);
  EXPECT_EQ(in.readstr(), "");
  EXPECT_TRUE(in.failed);
  EXPECT_EQ(in.readbyte(), 0);
  EXPECT_EQ(in.readint(), 0);
  // The same for UTF-16 strings, whose length counts two bytes a unit.
  TempDir::Write(file, "\x00\x00\x00\x03\x41\x00\x42\x00"s);
  bytefile wide(file, true);
  EXPECT_EQ(wide.readwstr(), u"");
  EXPECT_TRUE(wide.failed);
}

TEST_F(ByteFile, WritesFiveThousandBytesExactly) {
  {
    bytefile out(file, false);
    for (int i = 0; i < 5000; ++i) out.writebyte(uint8_t(i));
    EXPECT_EQ(out.filesize(), 5000);
  }
  const std::string written = TempDir::Read(file);
  ASSERT_EQ(written.size(), 5000u);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(uint8_t(written[size_t(i)]), uint8_t(i)) << i;
}

TEST_F(ByteFile, OverwritesFourBytesInPlace) {
  std::string bytes(6000, 'a');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char('a' + i % 26);
  TempDir::Write(file, bytes);
  {
    bytefile io(file, true);
    io.seek(3000);
    io.writeint(0x31323334);
    // Other handles may read the file meanwhile; they see it as it was.
    EXPECT_EQ(TempDir::Read(file), bytes);
  }
  std::string expected = bytes;
  expected.replace(3000, 4, "1234");
  EXPECT_EQ(TempDir::Read(file), expected);
  // Inside the first block too, and with a seek that stays in the cached window.
  {
    bytefile io(file, true);
    io.seek(10);
    io.writeint(0x41424344);
    io.seek(2);
    EXPECT_EQ(io.readbyte(), uint8_t('c'));
  }
  expected.replace(10, 4, "ABCD");
  EXPECT_EQ(TempDir::Read(file), expected);
}

TEST_F(ByteFile, RewritingIdenticalBytesTouchesNothing) {
  TempDir::Write(file, "hello world");
  const auto before = std::filesystem::last_write_time(file);
  std::filesystem::last_write_time(file, before - std::chrono::hours(1));
  const auto aged = std::filesystem::last_write_time(file);
  {
    bytefile io(file, true);
    for (char c : std::string("hello")) io.writebyte(uint8_t(c));
  }
  EXPECT_EQ(std::filesystem::last_write_time(file), aged);
  EXPECT_EQ(TempDir::Read(file), "hello world");
}

TEST_F(ByteFile, FilesizeFollowsThePositionOfANewFile) {
  bytefile out(file, false);
  EXPECT_EQ(out.filesize(), 0);
  for (int i = 0; i < 10; ++i) out.writebyte(1);
  EXPECT_EQ(out.filesize(), 10);
  EXPECT_TRUE(out.close());
  EXPECT_EQ(std::filesystem::file_size(file), 10u);
}

TEST_F(ByteFile, AMissingFileFailsAndReadsZeros) {
  bytefile in(dir / "missing.dat", true);
  EXPECT_TRUE(in.failed);
  EXPECT_EQ(in.readint(), 0);
  EXPECT_EQ(in.readstr(), "");
  EXPECT_TRUE(in.eof());
}

TEST_F(ByteFile, SeekingFarAndBackReadsTheRightBytes) {
  std::string bytes(10000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7 % 256);
  TempDir::Write(file, bytes);
  bytefile in(file, true);
  for (int32_t offset : {9000, 5, 4095, 4096, 2048, 2047, 0, 9999}) {
    in.seek(offset);
    EXPECT_EQ(in.readbyte(), uint8_t(offset * 7 % 256)) << offset;
  }
  in.seek(10000);  // the very end
  EXPECT_EQ(in.readbyte(), 0);
  EXPECT_TRUE(in.eof());
}

class ReadFile : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path file = dir / "games.pgn";
};

TEST_F(ReadFile, ReadsAWholeFileOrOneRange) {
  TempDir::Write(file, "[Event \"A\"]\r\n1. e4 *\r\n");
  std::string text;
  EXPECT_EQ(readfile(file, text), ReadError::None);
  EXPECT_EQ(text, "[Event \"A\"]\r\n1. e4 *\r\n");
  EXPECT_EQ(readrange(file, 14, 5, text), ReadError::None);
  EXPECT_EQ(text, "1. e4");
  // A range past the end keeps its size; the missing bytes stay zero.
  EXPECT_EQ(readrange(file, 20, 6, text), ReadError::None);
  EXPECT_EQ(text, "*\r\n\0\0\0"s);
}

TEST_F(ReadFile, ReportsWhatWentWrong) {
  std::string text = "unchanged";
  EXPECT_EQ(readfile(dir / "nothing.pgn", text), ReadError::CannotOpen);
  EXPECT_EQ(text, "unchanged");
  TempDir::Write(file, "abc");
  EXPECT_EQ(readrange(file, 0, 2, text), ReadError::BadRange);
  EXPECT_EQ(readrange(file, 1, -1, text), ReadError::BadRange);
  EXPECT_STREQ(Describe(ReadError::TooLarge), "the file is 2 GiB or larger, which is not supported");
}

TEST_F(ReadFile, RefusesWholeFilesOfTwoGibibytesOrMoreButReadsRangesOfThem) {
  // A sparse file: no disk space is used for its length.
  {
    std::ofstream out(file, std::ios::binary);
    out << "x";
  }
  std::error_code error;
  std::filesystem::resize_file(file, (uint64_t(1) << 31), error);
  if (error) GTEST_SKIP() << "cannot make a 2 GiB file here: " << error.message();
  std::string text = "unchanged";
  EXPECT_EQ(readfile(file, text), ReadError::TooLarge);
  EXPECT_EQ(text, "unchanged");
  // A game is read back from any position of a large file.
  EXPECT_EQ(readrange(file, 1, 3, text), ReadError::None);
  EXPECT_EQ(text, std::string("x\0\0", 3));
  EXPECT_EQ(readrange(file, (int64_t(1) << 31) - 1, 1, text), ReadError::None);
  EXPECT_EQ(text, std::string(1, '\0'));
  bytefile big(file, true);
  EXPECT_TRUE(big.failed);
}

}  // namespace
