// The wide scans give what a byte-by-byte look gives, at every length and offset, whichever
// width the processor runs them at.
#include "pgn/byte_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pgn/game_reader.h"

namespace {

// Texts of every length up to a few blocks of 32, of bytes drawn mostly from those looked for.
std::string RandomText(std::mt19937& random, size_t length) {
  static const char alphabet[] = "}{\n\r ab[%";
  std::string text(length, ' ');
  for (char& c : text) c = random() % 4 == 0 ? alphabet[random() % (sizeof alphabet - 1)] : 'x';
  return text;
}

TEST(ByteScan, TheFirstOfTwoOrThreeBytesAsALookAtEachByteFindsIt) {
  std::mt19937 random(7);
  for (size_t length = 0; length < 140; ++length)
    for (int round = 0; round < 20; ++round) {
      std::string text = RandomText(random, length);
      // Sparse texts too, so that the wide steps run long before a hit.
      if (round % 2) text = std::string(length, 'x') + text.substr(0, length / 8);
      for (size_t from = 0; from <= text.size(); from += 1 + from / 3) {
        size_t three = from, two = from;
        while (three < text.size() && text[three] != '}' && text[three] != '\n' && text[three] != '{') ++three;
        while (two < text.size() && text[two] != '\n' && text[two] != '\r') ++two;
        ASSERT_EQ(FindAnyOfThreeBytes(text.data(), from, text.size(), '}', '\n', '{'), three) << length << " " << from;
        ASSERT_EQ(FindEitherByte(text.data(), from, text.size(), '\n', '\r'), two) << length << " " << from;
      }
    }
}

TEST(ByteScan, LineEndsAreCountedAsALookAtEachByteCountsThem) {
  std::mt19937 random(11);
  for (size_t length = 0; length < 300; length += 1 + length / 16)
    for (int round = 0; round < 20; ++round) {
      const std::string text = RandomText(random, length);
      for (size_t from = 0; from <= text.size(); from += 1 + from / 2)
        for (size_t to = from; to <= text.size(); to += 1 + (to - from) / 3) {
          size_t expected = 0;
          for (size_t i = from; i < to; ++i)
            expected += text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
          ASSERT_EQ(CountLineEnds(text, from, to), expected) << length << " " << from << " " << to;
        }
    }
  // More than 255 blocks of one lane's worth of line ends: the lanes are summed before they wrap.
  const std::string lineEnds(40000, '\n');
  EXPECT_EQ(CountLineEnds(lineEnds, 0, lineEnds.size()), lineEnds.size());
  EXPECT_EQ(CountLineEnds(std::string(40000, '\r'), 3, 40000), 39997u);
}

}  // namespace
