// ECO classification: the table lookup, table files, lazy loading, and the main line's code.
#include "chess/eco.h"

#include <gtest/gtest.h>

#include "chess/jurnal.h"
#include "tests/support/eco_table.h"

namespace {

using namespace std::string_literals;

ecoinfar Table(std::initializer_list<int64_t> keys) {
  ecoinfar table;
  int n = 0;
  for (int64_t key : keys) table.push_back(ecoinfo{"A0" + std::to_string(n++), key});
  return table;
}

TEST(EcoLookup, FindsFirstLastAndMiddleKeys) {
  const ecoinfar table = Table({-900, -5, 0, 7, 42, 1000});
  EXPECT_EQ(EcoLookup(table, -900), 0);
  EXPECT_EQ(EcoLookup(table, 1000), 5);
  EXPECT_EQ(EcoLookup(table, -5), 1);
  EXPECT_EQ(EcoLookup(table, 0), 2);
  EXPECT_EQ(EcoLookup(table, 7), 3);
  EXPECT_EQ(EcoLookup(table, 42), 4);
  for (int64_t missing : {-1000, -6, 1, 8, 43, 999, 1001}) EXPECT_EQ(EcoLookup(table, missing), -1) << missing;
  EXPECT_EQ(EcoLookup({}, 0), -1);
}

TEST(EcoLookup, OneEntryAndTwoEntryTables) {
  const ecoinfar one = Table({5});
  EXPECT_EQ(EcoLookup(one, 5), 0);
  EXPECT_EQ(EcoLookup(one, 4), -1);
  EXPECT_EQ(EcoLookup(one, 6), -1);
  const ecoinfar two = Table({5, 9});
  EXPECT_EQ(EcoLookup(two, 9), 1);
  EXPECT_EQ(EcoLookup(two, 7), -1);
}

TEST(EcoTableFile, ReadsWholeRecordsOnly) {
  TempDir dir;
  // Two records and one stray byte: 23 bytes. The first key has its top bit set (negative).
  const std::string bytes =
      "\x80\x00\x00\x00\x00\x00\x00\x01"s
      "B20"
      "\x00\x00\x00\x00\x00\x00\x01\x02"s
      "C00"
      "x";
  TempDir::Write(dir / "ecos.dat", bytes);
  const ecoinfar table = ReadEcoTable(dir / "ecos.dat");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].code, "B20");
  EXPECT_EQ(table[0].key, int64_t(0x8000000000000001ULL));
  EXPECT_EQ(table[1].code, "C00");
  EXPECT_EQ(table[1].key, 0x102);
  EXPECT_EQ(ParseEcoTable(bytes).size(), 2u);
  EXPECT_TRUE(ReadEcoTable(dir / "missing.dat").empty());
  // Only records whose codes are codes make a table: a PGN file read as one is none.
  EXPECT_TRUE(HoldsEcoCodes(table));
  EXPECT_FALSE(HoldsEcoCodes({}));
  EXPECT_FALSE(HoldsEcoCodes(ParseEcoTable("[Event \"Casual\"]\n[Site \"?\"]\n")));
  for (const char* code : {"F20", "B2x", "b20", "B2"})
    EXPECT_FALSE(HoldsEcoCodes({ecoinfo{"A00", 1}, ecoinfo{code, 2}})) << code;
}

class Classification : public ::testing::Test {
 protected:
  void TearDown() override {
    SetEcoTableSource(dir / "none.dat");
    ResetEcoTable();
  }

  void WriteTable(const std::vector<std::pair<uint64_t, std::string>>& entries) { WriteEcoTableFile(file, entries); }

  // The code of a main line of "e2e4"-style moves.
  std::string CodeOf(const std::vector<std::string>& line) {
    doska board;
    jurnal game(&board, nullptr);
    for (const std::string& m : line) {
      game.addmove(m[0] - 'a' + 1, m[1] - '0', m[2] - 'a' + 1, m[3] - '0', 0, true, 0);
      game.forward();
    }
    game.gotoply(0);
    return game.ecocode();
  }

  TempDir dir;
  std::filesystem::path file = dir / "ecos.dat";
  const uint64_t start = KeyOfInitialPosition;
  const uint64_t afterE4 = KeyAfterE4;
  const uint64_t afterE4D5 = KeyAfterE4D5;
};

TEST_F(Classification, TakesTheLastPositionFoundButNotTheFinalOne) {
  WriteTable({{afterE4, "B00"}, {afterE4D5, "B01"}, {start, "A00"}});  // sorted as signed numbers
  SetEcoTableSource(file);
  EXPECT_EQ(CodeOf({}), "");  // nothing before a final position: no position is looked up
  EXPECT_EQ(CodeOf({"e2e4"}), "A00");
  EXPECT_EQ(CodeOf({"e2e4", "d7d5"}), "B00");
  EXPECT_EQ(CodeOf({"e2e4", "d7d5", "g1f3"}), "B01");
  EXPECT_EQ(CodeOf({"d2d4", "d7d5"}), "A00");
}

TEST_F(Classification, AGameWithoutMovesGetsNoCode) {
  WriteTable({{start, "A00"}});
  SetEcoTableSource(file);
  EXPECT_EQ(CodeOf({}), "");
}

TEST_F(Classification, AMissingTableIsLookedForAgainEachTime) {
  SetEcoTableSource(file);
  EXPECT_EQ(CodeOf({"e2e4", "e7e5"}), "");
  WriteTable({{start, "A00"}});
  EXPECT_EQ(CodeOf({"e2e4", "e7e5"}), "A00");
}

// The quick test before a search never turns away a key the table holds, and follows the
// table when another one is chosen.
TEST_F(Classification, TheQuickTestFollowsTheTable) {
  WriteTable({{afterE4, "B00"}});
  SetEcoTableSource(file);
  ASSERT_EQ(EcoTable().size(), 1u);
  EXPECT_TRUE(EcoTableMayHold(int64_t(afterE4)));
  EXPECT_FALSE(EcoTableMayHold(int64_t(start)));  // the two keys differ in their top bits
  EXPECT_FALSE(EcoTableMayHold(int64_t(afterE4 ^ (uint64_t(1) << 63))));
  const std::filesystem::path other = dir / "other.dat";
  WriteEcoTableFile(other, {{start, "A00"}});
  SetEcoTableSource(other);
  EXPECT_EQ(CodeOf({"e2e4"}), "A00");
  EXPECT_TRUE(EcoTableMayHold(int64_t(start)));
  EXPECT_FALSE(EcoTableMayHold(int64_t(afterE4)));
  // Every one of the real table's keys passes.
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  const ecoinfar& table = EcoTable();
  ASSERT_GT(table.size(), 3000u);
  for (const ecoinfo& entry : table) ASSERT_TRUE(EcoTableMayHold(entry.key)) << entry.code;
}

// The finder that classifies games while they are read answers as EcoLookup on the table.
TEST_F(Classification, TheFinderAnswersAsTheTableLookUp) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  const EcoFinder finder;
  const ecoinfar& table = EcoTable();
  ASSERT_FALSE(finder.empty());
  for (const ecoinfo& entry : table) {
    const std::string* code = finder.Find(entry.key);
    ASSERT_NE(code, nullptr) << entry.code;
    EXPECT_EQ(*code, table[size_t(EcoLookup(table, entry.key))].code);
    // Keys next to a real one are no entries (nor are they found).
    EXPECT_EQ(finder.Find(entry.key + 1) == nullptr, EcoLookup(table, entry.key + 1) < 0);
  }
  // A table that names one key twice: both find the same one of the two.
  WriteTable({{afterE4, "B00"}, {afterE4, "B09"}, {afterE4D5, "B01"}});
  SetEcoTableSource(file);
  const EcoFinder twice;
  ASSERT_NE(twice.Find(int64_t(afterE4)), nullptr);
  EXPECT_EQ(*twice.Find(int64_t(afterE4)), EcoTable()[size_t(EcoLookup(EcoTable(), int64_t(afterE4)))].code);
  EXPECT_EQ(twice.Find(int64_t(start)), nullptr);
  // A table out of order: a key the look-up's bisection misses is missed by the finder too.
  WriteTable({{afterE4D5, "B01"}, {afterE4, "B00"}});
  SetEcoTableSource(file);
  ASSERT_LT(EcoLookup(EcoTable(), int64_t(afterE4)), 0);
  const EcoFinder unsorted;
  EXPECT_EQ(unsorted.Find(int64_t(afterE4)), nullptr);
  ASSERT_NE(unsorted.Find(int64_t(afterE4D5)), nullptr);
  EXPECT_EQ(*unsorted.Find(int64_t(afterE4D5)), "B01");
  // No table: an empty finder.
  SetEcoTableSource(dir / "absent.dat");
  EXPECT_TRUE(EcoFinder().empty());
}

TEST_F(Classification, FallsBackToBuiltInBytes) {
  SetEcoTableSource(dir / "absent.dat", EcoTableFileBytes({{afterE4, "B00"}}));
  EXPECT_EQ(CodeOf({"e2e4", "c7c5"}), "B00");
}

}  // namespace
