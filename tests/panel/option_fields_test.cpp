// The option pages' drop-down fields: their items, choices and typed texts as they change the
// options, and what a refresh shows.
#include "panel/option_fields.h"

#include <gtest/gtest.h>

#include "pgn/game_reader.h"

namespace {

using OC = OptionControl;

FieldOutcome Typed(TProcessingOptions& options, OC field, std::u16string_view text, int32_t current = 5) {
  return TypeFieldText(options, field, text, current);
}

bool Accepted(const FieldOutcome& outcome) { return outcome.verdict == FieldVerdict::Accepted; }

std::u16string Shown(const TProcessingOptions& options, OC field) { return ShownField(options, field).text; }

TEST(OptionFieldItems, EveryFieldOffersItsList) {
  EXPECT_EQ(DropDownFields().size(), 21u);
  EXPECT_EQ(FieldItems(OC::SplitWhiteElo).size(), 21u);
  EXPECT_EQ(FieldItems(OC::SplitWhiteElo)[9], u"10");
  EXPECT_EQ(FieldItems(OC::SplitWhiteElo)[10], u"15");
  EXPECT_EQ(FieldItems(OC::SplitWhiteElo).back(), u"100");
  EXPECT_EQ(FieldItems(OC::DateFromYear).size(), 101u);
  EXPECT_EQ(FieldItems(OC::DateFromYear)[1], u"1913");
  EXPECT_EQ(FieldItems(OC::DateToYear).size(), 71u);
  EXPECT_EQ(FieldItems(OC::DateToYear).back(), u"2019");
  EXPECT_EQ(FieldItems(OC::DateFromMonth).size(), 13u);
  EXPECT_EQ(FieldItems(OC::DateToDay).size(), 32u);
  EXPECT_EQ(FieldItems(OC::WhiteEloFrom).size(), 15u);
  EXPECT_EQ(FieldItems(OC::WhiteEloTo).size(), 15u);
  EXPECT_EQ(FieldItems(OC::MovesFrom).size(), 14u);
  EXPECT_EQ(FieldItems(OC::MovesTo).size(), 14u);
  const auto eco = FieldItems(OC::EcoOpening);
  ASSERT_EQ(eco.size(), 556u);
  EXPECT_EQ(eco[1], u"A");
  EXPECT_EQ(eco[2], u"A0");
  EXPECT_EQ(eco[3], u"A00");
  EXPECT_EQ(eco[13], u"A1");
  EXPECT_EQ(eco.back(), u"E99");
  EXPECT_TRUE(FieldIsReadOnly(OC::Nags));
  EXPECT_TRUE(FieldIsReadOnly(OC::DateToDay));
  EXPECT_FALSE(FieldIsReadOnly(OC::DateToYear));
  EXPECT_FALSE(FieldIsReadOnly(OC::EcoOpening));
  EXPECT_FALSE(IsDropDownField(OC::Comments));
}

TEST(OptionFieldDates, EachFieldChangesOnlyItsPartOfTheDate) {
  TProcessingOptions o;
  EXPECT_TRUE(Accepted(Typed(o, OC::DateFromYear, u"2000")));
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::DateFromMonth, 3)));  // March
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::DateFromDay, 15)));
  EXPECT_EQ(o.dateFrom, 832111);
  // The year again: month and day stay.
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::DateFromYear, 1)));  // 1913
  EXPECT_EQ(o.dateFrom, DateKey(1913, 3, 15));
  EXPECT_TRUE(Accepted(Typed(o, OC::DateFromMonth, u"july")));
  EXPECT_EQ(o.dateFrom, DateKey(1913, 7, 15));
  EXPECT_TRUE(Accepted(Typed(o, OC::DateFromDay, u"ANY")));
  EXPECT_EQ(o.dateFrom, DateKey(1913, 7, 0));
  // The upper date: "any" means the end of each part.
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::DateToYear, 1)));  // 1950
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::DateToMonth, 0)));
  EXPECT_EQ(DateMonth(o.dateTo), 12);
  EXPECT_EQ(Shown(o, OC::DateToMonth), u"any");
  EXPECT_TRUE(Accepted(Typed(o, OC::DateToYear, u"ANY")));
  EXPECT_EQ(DateYear(o.dateTo), 10000);
  EXPECT_TRUE(Accepted(Typed(o, OC::DateFromYear, u"Any")));
  EXPECT_EQ(DateYear(o.dateFrom), 0);
  EXPECT_FALSE(Accepted(Typed(o, OC::DateFromYear, u"10000")));
  EXPECT_FALSE(Accepted(Typed(o, OC::DateToDay, u"32")));
  EXPECT_FALSE(Accepted(Typed(o, OC::DateToMonth, u"13")));
  EXPECT_FALSE(Accepted(Typed(o, OC::DateToMonth, u"Marc")));
}

TEST(OptionFieldDates, ARefreshRaisesAMissingUpperMonthToJanuary) {
  TProcessingOptions o;
  o.dateTo = DateKey(2005, 0, 10);
  NormaliseOptions(o);
  EXPECT_EQ(Shown(o, OC::DateToMonth), u"January");
  EXPECT_EQ(Shown(o, OC::DateToYear), u"2005");
  EXPECT_EQ(Shown(o, OC::DateToDay), u"10");
  EXPECT_EQ(Shown(o, OC::DateFromYear), u"any");
  EXPECT_EQ(Shown(o, OC::DateFromMonth), u"any");
}

TEST(OptionFieldNumbers, RangesWordsAndWhatIsNotANumber) {
  TProcessingOptions o;
  // An empty text is 0; 10000 is past the range and changes nothing.
  o.whiteEloFrom = 2200;
  EXPECT_TRUE(Accepted(Typed(o, OC::WhiteEloFrom, u"")));
  EXPECT_EQ(o.whiteEloFrom, 0);
  EXPECT_FALSE(Accepted(Typed(o, OC::WhiteEloFrom, u"10000")));
  EXPECT_EQ(o.whiteEloFrom, 0);
  EXPECT_FALSE(Accepted(Typed(o, OC::WhiteEloFrom, u"any")));
  for (const char16_t* bad : {u"-5", u"+5", u" 5", u"5 ", u"1e3", u"\uFF15", u"99999999999999999999999"})
    EXPECT_FALSE(Accepted(Typed(o, OC::BlackEloTo, bad))) << std::string(bad, bad + 1);
  EXPECT_TRUE(Accepted(Typed(o, OC::BlackEloTo, u"2650")));
  EXPECT_EQ(o.blackEloTo, 2650);
  const FieldOutcome any = Typed(o, OC::BlackEloTo, u"aNy");
  EXPECT_TRUE(Accepted(any));
  EXPECT_EQ(any.index, 0);
  EXPECT_EQ(o.blackEloTo, AnyElo);
  // Elo splits: 1 to 255, or the word "no".
  EXPECT_FALSE(Accepted(Typed(o, OC::SplitWhiteElo, u"256")));
  EXPECT_FALSE(Accepted(Typed(o, OC::SplitWhiteElo, u"0")));
  EXPECT_TRUE(Accepted(Typed(o, OC::SplitWhiteElo, u"7")));
  EXPECT_EQ(o.splitWhiteEloParts, 7);
  const FieldOutcome no = Typed(o, OC::SplitWhiteElo, u"NO");
  EXPECT_TRUE(Accepted(no));
  EXPECT_EQ(no.index, 0);
  EXPECT_EQ(o.splitWhiteEloParts, 1);
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::SplitBlackElo, 10)));
  EXPECT_EQ(o.splitBlackEloParts, 15);
  // Moves: 0 to 999.
  EXPECT_FALSE(Accepted(Typed(o, OC::MovesFrom, u"1000")));
  EXPECT_TRUE(Accepted(Typed(o, OC::MovesTo, u"999")));
  EXPECT_EQ(o.movesTo, 999);
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::MovesTo, 13)));
  EXPECT_EQ(o.movesTo, 140);
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::WhiteEloTo, 14)));
  EXPECT_EQ(o.whiteEloTo, 3000);
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::WhiteEloFrom, 1)));
  EXPECT_EQ(o.whiteEloFrom, 1700);
}

TEST(OptionFieldItemsByName, CaseFoldedMatchesOfItemNames) {
  TProcessingOptions o;
  EXPECT_TRUE(Accepted(Typed(o, OC::EcoOpening, u"b2")));
  EXPECT_EQ(o.ecoOpening, "B2");
  EXPECT_FALSE(Accepted(Typed(o, OC::EcoOpening, u"F1")));
  EXPECT_FALSE(Accepted(Typed(o, OC::EcoOpening, u"B2 ")));
  EXPECT_EQ(o.ecoOpening, "B2");
  EXPECT_TRUE(Accepted(Typed(o, OC::EcoOpening, u"ANY")));
  EXPECT_EQ(o.ecoOpening, "");
  // A typed item name keeps the field's index, except the words "any" and "no".
  const FieldOutcome all = Typed(o, OC::Tags, u"all", 1);
  EXPECT_TRUE(Accepted(all));
  EXPECT_EQ(all.index, 1);
  EXPECT_EQ(o.tagRemoval, TagRemoval::All);
  EXPECT_TRUE(Accepted(Typed(o, OC::Nags, u"except BASIC (! ? !! ?? !? ?!)")));
  EXPECT_EQ(o.keptNags.count(), 6u);
  EXPECT_FALSE(Accepted(Typed(o, OC::Nags, u"Options...")));
  EXPECT_EQ(ChooseFieldItem(o, OC::Nags, 3).verdict, FieldVerdict::AskNagWindow);
  EXPECT_EQ(o.keptNags.count(), 6u);
  EXPECT_TRUE(Accepted(Typed(o, OC::SplitDate, u"by MONTHS")));
  EXPECT_EQ(o.splitDateLevel, DateSplit::Month);
  EXPECT_FALSE(Accepted(ChooseFieldItem(o, OC::SplitDate, 4)));
  EXPECT_FALSE(Accepted(ChooseFieldItem(o, OC::SplitDate, -1)));
}

TEST(OptionFieldItemsByName, CyrillicCapitalsFoldLikeAscii) {
  EXPECT_EQ(FoldCase(u"\u0401\u0416\u0418\u041A ABC \u00C9"), u"\u0451\u0436\u0438\u043A abc \u00C9");
}

TEST(OptionFieldPlayers, TypedNamesStayAsTypedAndAnyClears) {
  TProcessingOptions o;
  EXPECT_TRUE(Accepted(Typed(o, OC::WhitePlayer, u"Carlsen, MAGNUS")));
  EXPECT_EQ(o.whitePlayer, "Carlsen, MAGNUS");
  EXPECT_EQ(Shown(o, OC::WhitePlayer), u"Carlsen, MAGNUS");
  EXPECT_TRUE(Accepted(Typed(o, OC::WhitePlayer, u"ANY")));
  EXPECT_EQ(o.whitePlayer, "");
  EXPECT_EQ(Shown(o, OC::WhitePlayer), u"any");
}

TEST(OptionFieldPlayers, TheListOffersEachNameOnceInByteOrder) {
  const std::string text =
      "[White \"b\"]\n[Black \"Z\"]\n\n*\n\n"
      "[White \"B\"]\n[Black \"a\"]\n\n*\n\n"
      "[White \"b\"]\n[Black \"\"]\n\n*\n\n"
      "[White \"b\"]\n[Black \"Y\"]\n\n*\n\n";
  TGameList list;
  ReadGames(text, list.entries, ReadOptions{});
  for (size_t i = 0; i < list.entries.size(); ++i) list.displayOrder.push_back(int32_t(i));
  PlayerChoices white = PlayerItems(list, true, false);
  EXPECT_EQ(white.items, (std::vector<std::u16string>{u"any", u"B", u"b"}));
  EXPECT_EQ(PlayerItems(list, false, false).items, (std::vector<std::u16string>{u"any", u"Y", u"Z", u"a"}));
  EXPECT_EQ(PlayerItems(list, true, true).items, (std::vector<std::u16string>{u"any", u"B", u"Y", u"Z", u"a", u"b"}));
  TProcessingOptions o;
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::WhitePlayer, 2, white.names)));
  EXPECT_EQ(o.whitePlayer, "b");
  EXPECT_FALSE(Accepted(ChooseFieldItem(o, OC::WhitePlayer, 3, white.names)));
  EXPECT_TRUE(Accepted(ChooseFieldItem(o, OC::WhitePlayer, 0, white.names)));
  EXPECT_EQ(o.whitePlayer, "");
  // Rows deleted from the list no longer offer their names.
  list.displayOrder = {1};
  EXPECT_EQ(PlayerItems(list, true, false).items, (std::vector<std::u16string>{u"any", u"B"}));
  list.displayOrder.clear();
  EXPECT_EQ(PlayerItems(list, true, false).items, (std::vector<std::u16string>{u"any"}));
}

TEST(OptionFieldRefresh, WhatEachFieldShows) {
  TProcessingOptions o;
  NormaliseOptions(o);
  // The defaults show every field's item 0.
  for (OC field : DropDownFields()) EXPECT_EQ(Shown(o, field), FieldItems(field)[0]) << int(field);
  EXPECT_EQ(Shown(o, OC::MovesFrom), u"1");
  EXPECT_EQ(Shown(o, OC::MovesTo), u"any");
  EXPECT_EQ(Shown(o, OC::WhiteEloFrom), u"0");
  EXPECT_EQ(Shown(o, OC::Tags), u"No");
  EXPECT_EQ(Shown(o, OC::Nags), u"No");
  o.tagRemoval = TagRemoval(7);
  o.keptNags.reset(200);
  o.splitEcoLevel = EcoSplit(9);
  o.splitBlackEloParts = 40;
  o.ecoOpening = "C4";
  EXPECT_EQ(Shown(o, OC::Tags), u"Except seven tag roster");
  EXPECT_EQ(ShownField(o, OC::Nags), (FieldShown{u"Options...", 3}));
  EXPECT_EQ(ShownField(o, OC::SplitEco), (FieldShown{u"A00 - E99", 3}));
  EXPECT_EQ(ShownField(o, OC::SplitBlackElo), (FieldShown{u"40", -1}));
  EXPECT_EQ(Shown(o, OC::EcoOpening), u"C4");
  o.keptNags.reset();
  EXPECT_EQ(Shown(o, OC::Nags), u"All");
}

TEST(OptionFieldRefresh, EveryItemChosenShowsAgainAsItself) {
  // Choosing an item and refreshing shows the same text, so a refresh never surprises; only the
  // upper date's last month and day are the same as "any" there and show so.
  for (OC field : DropDownFields()) {
    if (field == OC::WhitePlayer || field == OC::BlackPlayer) continue;
    const auto items = FieldItems(field);
    for (size_t i = 0; i < items.size(); ++i) {
      TProcessingOptions o;
      const FieldOutcome outcome = ChooseFieldItem(o, field, int32_t(i));
      if (outcome.verdict == FieldVerdict::AskNagWindow) continue;
      ASSERT_TRUE(Accepted(outcome));
      NormaliseOptions(o);
      const bool lastOfUpperDate = (field == OC::DateToMonth && i == 12) || (field == OC::DateToDay && i == 31);
      EXPECT_EQ(Shown(o, field), lastOfUpperDate ? u"any" : items[i]) << int(field) << " item " << i;
    }
  }
}

TEST(DropDownGeometry, HeightsAndWhereTheListOpens) {
  EXPECT_EQ(DropDownHeight(0, 13), 16);
  EXPECT_EQ(DropDownHeight(3, 13), 48);
  EXPECT_EQ(DropDownHeight(9, 13), 144);
  EXPECT_EQ(DropDownHeight(556, 13), 160);
  EXPECT_EQ(DropDownTop(100, 114, 48, 768), 114);
  // Near the bottom of the work area the list opens above its field.
  EXPECT_EQ(DropDownTop(700, 714, 160, 768), 540);
  EXPECT_EQ(DropDownTop(600, 614, 154, 768), 446);
}

}  // namespace
