// The processing options, their defaults and normalisation, and the settings file: its exact
// bytes, the placement corrections, and damaged files.
#include "options/settings_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "options/processing_options.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::string_literals;

// Records what loading asks of the window, and answers what saving asks.
class FakeWindow : public SettingsWindow {
 public:
  PanelRect rect{100, 50, 640, 480};
  bool visible = true;
  WorkArea area{0, 0, 1920, 1040};
  std::vector<PanelRect> moves;
  int shows = 0, refreshes = 0;
  std::u16string shownBase;
  int checkMarks = 0;
  bool checked = false;

  PanelRect PanelRectangle() override { return rect; }
  bool PanelVisible() override { return visible; }
  WorkArea DesktopWorkArea() override { return area; }
  void MovePanel(const PanelRect& r) override { moves.push_back(r); }
  void ShowPanel() override { ++shows; }
  void ShowOutputBase(const std::u16string& base) override { shownBase = base; }
  void CheckMakeDefault(bool value) override {
    ++checkMarks;
    checked = value;
  }
  void RefreshOptionControls() override { ++refreshes; }
};

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { choices.outputBase = u"C:\\chess\\output"; }

  TempDir dir;
  std::filesystem::path file = dir / "pgn_util.dat";
  FakeWindow window;
  TJobChoices choices;
};

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += char(v);
  return s;
}

TEST_F(Settings, DefaultsAreThoseOfTheTable) {
  const TProcessingOptions& o = choices.ProcessingOptions;
  EXPECT_FALSE(o.removeComments);
  EXPECT_EQ(o.tagRemoval, TagRemoval::None);
  EXPECT_EQ(o.keptNags.count(), 256u);
  EXPECT_TRUE(o.removeOldEcoTags);
  EXPECT_EQ(o.splitWhiteEloParts, 1);
  EXPECT_EQ(o.resultMask, 31);
  EXPECT_EQ(o.dateTo, 4160415);
  EXPECT_EQ(DateYear(o.dateTo), 10000);
  EXPECT_EQ(DateMonth(o.dateTo), 12);
  EXPECT_EQ(DateDay(o.dateTo), 31);
  EXPECT_EQ(o.whiteEloTo, 10000);
  EXPECT_EQ(o.movesTo, 100000);
  EXPECT_TRUE(o.doNotRewrite);
}

TEST_F(Settings, DefaultOptionsRestoreEveryFieldButNotThePath) {
  choices.ProcessingOptions.doNotRewrite = false;
  choices.ProcessingOptions.removeOldEcoTags = false;
  choices.ProcessingOptions.whitePlayer = "Tal";
  choices.ProcessingOptions.keptNags.reset();
  choices.ProcessingOptions.resultMask = 1;
  choices.makeDefaultAutomatically = false;
  ResetOptions(choices);
  EXPECT_EQ(choices.ProcessingOptions, TProcessingOptions{});
  EXPECT_EQ(choices.outputBase, u"C:\\chess\\output");
  EXPECT_FALSE(choices.makeDefaultAutomatically);
}

TEST_F(Settings, ANewOutputPathResetsOptionsOnlyInAutomaticMode) {
  choices.ProcessingOptions.removeComments = true;
  EXPECT_EQ(CommitOutputBase(choices, u"C:\\chess\\output"), OutputBaseCommit::Unchanged);  // the same path
  EXPECT_TRUE(choices.ProcessingOptions.removeComments);
  EXPECT_EQ(CommitOutputBase(choices, u"C:\\chess\\Output"), OutputBaseCommit::TakenAndReset);  // differs in case
  EXPECT_FALSE(choices.ProcessingOptions.removeComments);
  EXPECT_EQ(choices.outputBase, u"C:\\chess\\Output");
  choices.makeDefaultAutomatically = false;
  choices.ProcessingOptions.removeComments = true;
  EXPECT_EQ(CommitOutputBase(choices, u"D:\\elsewhere"), OutputBaseCommit::Taken);
  EXPECT_TRUE(choices.ProcessingOptions.removeComments);
  EXPECT_EQ(choices.outputBase, u"D:\\elsewhere");
}

// A path that names no file is refused whole: the path the settings hold stays, and so do the
// options, whatever the mode.
TEST_F(Settings, AnUnusableOutputPathChangesNothing) {
  choices.ProcessingOptions.splitEcoLevel = EcoSplit::Letter;
  for (const std::u16string& bad :
       {std::u16string(), std::u16string(u"   "), std::u16string(u"C:\\chess\\"), std::u16string(u"games/"),
        std::u16string(u"C:"), std::u16string(u"C:\\chess\\.."), std::u16string(u"out<1>"), std::u16string(u"what?"),
        std::u16string(u"a|b"), std::u16string(u"games:2024"), std::u16string(u"C:\\nul"), std::u16string(u"COM1"),
        std::u16string(u"lpt9.games"), std::u16string(u"a\tb")}) {
    SCOPED_TRACE(std::string(bad.begin(), bad.end()));
    EXPECT_FALSE(IsUsableOutputBase(bad));
    EXPECT_EQ(CommitOutputBase(choices, bad), OutputBaseCommit::Refused);
    EXPECT_EQ(choices.outputBase, u"C:\\chess\\output");
    EXPECT_EQ(choices.ProcessingOptions.splitEcoLevel, EcoSplit::Letter);
  }
  for (const std::u16string& good :
       {std::u16string(u"out"), std::u16string(u"C:\\chess\\games"), std::u16string(u"Z:/tmp/custom/games"),
        std::u16string(u"\\\\server\\share\\games"), std::u16string(u"games.2024"), std::u16string(u"console"),
        std::u16string(u"COM10"), std::u16string(u"C:games")}) {
    SCOPED_TRACE(std::string(good.begin(), good.end()));
    EXPECT_TRUE(IsUsableOutputBase(good));
  }
}

TEST_F(Settings, InAutomaticModeOnlyPlacementPathAndModeAreSaved) {
  choices.outputBase = u"out";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  const std::string bytes = TempDir::Read(file);
  ASSERT_EQ(bytes.size(), 4u * 4 + 1 + 4 + 2 * 3 + 1);
  EXPECT_EQ(bytes, Bytes({0, 0, 0, 100, 0, 0, 0, 50, 0, 0, 2, 128, 0, 0, 1, 224, 1}) + Bytes({0, 0, 0, 3}) +
                       "o\0u\0t\0"s + Bytes({1}));
  choices.ProcessingOptions.removeVariations = true;
  choices.outputBase = u"elsewhere";
  EXPECT_FALSE(LoadSettings(file, window, 512, 450, choices));  // the file holds no options to load
  EXPECT_TRUE(choices.ProcessingOptions.removeVariations);
  EXPECT_EQ(choices.outputBase, u"out");
  EXPECT_EQ(window.shownBase, u"out");
  EXPECT_TRUE(window.checked);
  EXPECT_EQ(window.shows, 1);
  EXPECT_EQ(window.refreshes, 0);
}

TEST_F(Settings, TheDefaultOptionBlockHasItsKnownBytes) {
  choices.makeDefaultAutomatically = false;
  choices.outputBase = u"";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  const std::string bytes = TempDir::Read(file);
  const size_t header = 4 * 4 + 1 + 4 + 1;
  ASSERT_EQ(bytes.size(), header + 94);
  const std::string block = bytes.substr(header);
  EXPECT_EQ(block.substr(0, 3), Bytes({0, 2, 0}));
  EXPECT_EQ(block.substr(3, 32), std::string(32, '\xFF'));
  EXPECT_EQ(block.substr(35, 12), Bytes({0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0}));
  EXPECT_EQ(block[47], '\x1F');
  EXPECT_EQ(block.substr(48, 4), Bytes({0, 0, 0, 0}));
  EXPECT_EQ(block.substr(52, 4), Bytes({0x00, 0x3F, 0x7B, 0x9F}));
  EXPECT_EQ(block.substr(56, 8), std::string(8, '\0'));  // two empty player names
  EXPECT_EQ(block.substr(65, 16), Bytes({0, 0, 0, 0, 0, 0, 0x27, 0x10, 0, 0, 0, 0, 0, 0, 0x27, 0x10}));
  EXPECT_EQ(block.substr(85, 8), Bytes({0, 0, 0, 0, 0x00, 0x01, 0x86, 0xA0}));
  EXPECT_EQ(block[93], '\x01');
}

TEST_F(Settings, OptionsSurviveSavingAndLoading) {
  choices.makeDefaultAutomatically = false;
  TProcessingOptions& o = choices.ProcessingOptions;
  o.removeComments = true;
  o.tagRemoval = TagRemoval::AllButRoster;
  o.keptNags.reset();
  o.keptNags.set(1).set(6).set(200);
  o.splitEcoLevel = EcoSplit::LetterAndDigit;
  o.splitByPlayer = true;
  o.splitWhiteEloParts = 4;
  o.resultMask = ResultDraw | ResultOther;
  o.dateFrom = DateKey(1990, 1, 1);
  o.dateTo = DateKey(1999, 12, 31);
  o.whitePlayer = "Kasparov, Garry";
  o.blackPlayer = "Karpov, Anatoly";
  o.ignorePlayerColour = true;
  o.whiteEloFrom = 2500;
  o.blackEloTo = 2800;
  o.ecoOpening = "B2";
  o.movesFrom = 20;
  o.movesTo = 60;
  o.doNotRewrite = false;
  const TProcessingOptions saved = o;
  ASSERT_TRUE(SaveSettings(file, window, choices));
  ResetOptions(choices);
  choices.makeDefaultAutomatically = true;
  EXPECT_TRUE(LoadSettings(file, window, 512, 450, choices));  // the options came from the file
  EXPECT_EQ(choices.ProcessingOptions, saved);
  EXPECT_FALSE(choices.makeDefaultAutomatically);
  EXPECT_FALSE(window.checked);
  EXPECT_EQ(window.refreshes, 1);
}

TEST_F(Settings, AStoredResultMaskKeepsOnlyFiveBits) {
  choices.makeDefaultAutomatically = false;
  choices.outputBase = u"";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  std::string bytes = TempDir::Read(file);
  bytes[22 + 47] = '\xFF';
  TempDir::Write(file, bytes);
  LoadSettings(file, window, 512, 450, choices);
  EXPECT_EQ(choices.ProcessingOptions.resultMask, 31);
}

TEST_F(Settings, LoadingNormalisesOutOfRangeValues) {
  choices.makeDefaultAutomatically = false;
  TProcessingOptions& o = choices.ProcessingOptions;
  o.splitEcoLevel = EcoSplit(9);
  o.splitDateLevel = DateSplit(4);
  o.splitBlackEloParts = 0;
  o.dateFrom = -5;
  o.dateTo = DateKey(2000, 0, 0);
  o.whiteEloTo = -3;
  o.blackEloTo = 12345;
  o.ecoOpening = "B20x";
  o.movesFrom = -1;
  o.movesTo = 999999;
  ASSERT_TRUE(SaveSettings(file, window, choices));
  ResetOptions(choices);
  LoadSettings(file, window, 512, 450, choices);
  EXPECT_EQ(o.splitEcoLevel, EcoSplit::WholeCode);
  EXPECT_EQ(o.splitDateLevel, DateSplit::Day);
  EXPECT_EQ(o.splitBlackEloParts, 1);
  EXPECT_EQ(o.dateFrom, 0);
  EXPECT_EQ(o.dateTo, DateKey(2000, 1, 1));
  EXPECT_EQ(o.whiteEloTo, 0);
  EXPECT_EQ(o.blackEloTo, 10000);
  EXPECT_EQ(o.ecoOpening, "B20");
  EXPECT_EQ(o.movesFrom, 1);
  EXPECT_EQ(o.movesTo, 100000);
}

TEST_F(Settings, FirstRunCentresTheDefaultSize) {
  EXPECT_FALSE(LoadSettings(file, window, 640, 450, choices));
  ASSERT_EQ(window.moves.size(), 1u);
  EXPECT_EQ(window.moves[0], (PanelRect{640, 295, 640, 450}));
  EXPECT_EQ(window.shows, 0);
  EXPECT_EQ(choices.ProcessingOptions, TProcessingOptions{});
  EXPECT_EQ(choices.outputBase, u"C:\\chess\\output");
}

TEST(Placement, SmallWindowsGrowAndStayOnScreen) {
  const WorkArea area{0, 0, 1920, 1040};
  EXPECT_EQ(CorrectPlacement({5000, 100, 100, 100}, area), (PanelRect{1320, 100, 600, 450}));
  EXPECT_EQ(CorrectPlacement({-40, -10, 800, 600}, area), (PanelRect{0, 0, 800, 600}));
  // Taller than the work area: cut to it, and a top below the bottom comes back up.
  EXPECT_EQ(CorrectPlacement({10, 1035, 700, 1500}, area), (PanelRect{10, 0, 700, 1040}));
  EXPECT_EQ(CorrectPlacement({10, 1100, 700, 500}, area), (PanelRect{10, 530, 700, 500}));
  // The width is not limited to the work area.
  EXPECT_EQ(CorrectPlacement({0, 0, 3000, 500}, area).width, 3000);
  EXPECT_EQ(FirstRunPlacement(512, 450, WorkArea{0, 0, 1024, 768}), (PanelRect{256, 159, 512, 450}));
}

// A damaged file may hold any four numbers: the extremes of the type come back on the screen
// without overflowing on the way.
TEST(Placement, ExtremeNumbersComeBackOnScreen) {
  const WorkArea area{0, 0, 1920, 1040};
  constexpr int32_t most = INT32_MAX, least = INT32_MIN;
  EXPECT_EQ(CorrectPlacement({most, most, 700, 500}, area), (PanelRect{1220, 530, 700, 500}));
  EXPECT_EQ(CorrectPlacement({least, least, least, least}, area), (PanelRect{0, 0, 600, 450}));
  const PanelRect wide = CorrectPlacement({most, 0, most, most}, area);
  EXPECT_EQ(wide.left, 0);
  EXPECT_EQ(wide.height, 1040);
}

TEST_F(Settings, ShortAndDamagedFilesLeaveDefaults) {
  choices.makeDefaultAutomatically = false;
  choices.ProcessingOptions.removeComments = true;
  choices.ProcessingOptions.whitePlayer = "Morphy";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  const std::string whole = TempDir::Read(file);
  // Every shorter prefix: no crash, and options either all loaded or all default.
  for (size_t length = 0; length < whole.size(); ++length) {
    TempDir::Write(file, whole.substr(0, length));
    ResetOptions(choices);
    choices.makeDefaultAutomatically = true;
    choices.outputBase = u"kept";
    FakeWindow w;
    EXPECT_FALSE(LoadSettings(file, w, 640, 450, choices)) << "length " << length;
    EXPECT_EQ(choices.ProcessingOptions, TProcessingOptions{}) << "length " << length;
    ASSERT_FALSE(w.moves.empty());
    EXPECT_GE(w.moves[0].width, 600);
  }
  // Random bytes, and the real file with random bytes changed.
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    if (round % 2) {
      bytes = whole;
      for (int flips = 0; flips < 3; ++flips) bytes[rng() % bytes.size()] = char(rng());
    } else {
      bytes.resize(rng() % 200);
      for (char& c : bytes) c = char(rng());
    }
    TempDir::Write(file, bytes);
    ResetOptions(choices);
    FakeWindow w;
    LoadSettings(file, w, 640, 450, choices);
    const TProcessingOptions& o = choices.ProcessingOptions;
    EXPECT_LE(o.splitEcoLevel, EcoSplit::WholeCode);
    EXPECT_LE(o.splitDateLevel, DateSplit::Day);
    EXPECT_LE(o.resultMask, 31);
    EXPECT_LE(o.ecoOpening.size(), 3u);
    EXPECT_LE(o.whiteEloTo, 10000);
  }
}

// Read as a value, the file touches no option, path or window: what it holds is marked present
// part by part, and a program without a panel takes what it needs from it.
TEST_F(Settings, ReadAsAValueEachPartIsMarkedPresent) {
  EXPECT_FALSE(ReadSettings(file).placementPresent);  // no file
  choices.makeDefaultAutomatically = false;
  choices.ProcessingOptions.removeComments = true;
  choices.ProcessingOptions.whitePlayer = "Morphy";
  choices.outputBase = u"games";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  const std::string whole = TempDir::Read(file);
  ResetOptions(choices);
  choices.outputBase = u"untouched";
  TSettings settings = ReadSettings(file);
  EXPECT_TRUE(settings.placementPresent && settings.outputPresent && settings.optionsPresent);
  EXPECT_EQ(settings.placement, (PanelRect{100, 50, 640, 480}));
  EXPECT_TRUE(settings.visible);
  EXPECT_EQ(settings.outputBase, u"games");
  EXPECT_FALSE(settings.makeDefaultAutomatically);
  EXPECT_TRUE(settings.options.removeComments);
  EXPECT_EQ(settings.options.whitePlayer, "Morphy");
  EXPECT_EQ(choices.ProcessingOptions, TProcessingOptions{});
  EXPECT_EQ(choices.outputBase, u"untouched");
  EXPECT_TRUE(window.moves.empty());
  // Cut inside the option block: the placement and the path stay present, the options do not.
  TempDir::Write(file, whole.substr(0, whole.size() - 3));
  settings = ReadSettings(file);
  EXPECT_TRUE(settings.outputPresent);
  EXPECT_FALSE(settings.optionsPresent);
  // Saved in automatic mode: no options at all.
  choices.makeDefaultAutomatically = true;
  ASSERT_TRUE(SaveSettings(file, window, choices));
  settings = ReadSettings(file);
  EXPECT_TRUE(settings.makeDefaultAutomatically);
  EXPECT_FALSE(settings.optionsPresent);
}

TEST_F(Settings, ASecondSaveReplacesTheFirst) {
  choices.outputBase = u"first";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  choices.outputBase = u"second";
  ASSERT_TRUE(SaveSettings(file, window, choices));
  choices.outputBase = u"";
  LoadSettings(file, window, 640, 450, choices);
  EXPECT_EQ(choices.outputBase, u"second");
  std::filesystem::path temporary = file;
  temporary += ".new";
  EXPECT_FALSE(std::filesystem::exists(temporary));
}

TEST_F(Settings, AFailedSaveLeavesTheOldFileInPlace) {
  ASSERT_TRUE(SaveSettings(file, window, choices));
  const std::string good = TempDir::Read(file);
  // The temporary file cannot be made: a folder already has its name.
  std::filesystem::path blocker = file;
  blocker += ".new";
  std::filesystem::create_directory(blocker);
  choices.outputBase = u"something else";
  EXPECT_FALSE(SaveSettings(file, window, choices));
  EXPECT_EQ(TempDir::Read(file), good);
  EXPECT_FALSE(SaveSettings(dir / "no such folder" / "pgn_util.dat", window, choices));
}

}  // namespace
