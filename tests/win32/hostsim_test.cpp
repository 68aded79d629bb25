// The substitute host through the real query protocol, and the plug-in's Host on top of it.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "chess/eco.h"
#include "host/hostsim_win32.h"
#include "io/host_folder.h"
#include "plugin/query_host_win32.h"
#include "tests/support/memory_host.h"
#include "tests/support/sample_games.h"

namespace {

template <typename T>
const T& Read(HostQueryFn query, int32_t id) {
  const intptr_t address = query(id);
  EXPECT_NE(address, 0) << "id " << id;
  return *reinterpret_cast<const T*>(address);
}

class HostSim : public ::testing::Test {
 protected:
  void SetUp() override { hostsim::Reset(); }
  HostQueryFn query = hostsim::Query();
  HostQueryFn Sub(int32_t id) { return reinterpret_cast<HostQueryFn>(reinterpret_cast<void*>(query(id))); }
  THostServices Services() {
    THostServices services;
    EXPECT_TRUE(FetchHostServices(query, services));
    return services;
  }
};

TEST_F(HostSim, AnswersValuesThroughTheSubQueries) {
  const HostQueryFn values = Sub(HostQueryValueQuery);
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(Read<int32_t>(values, HostValuePathLength), 260);
  EXPECT_EQ(Read<int32_t>(values, HostValueMarginTop), 8);
  EXPECT_EQ(Read<int32_t>(values, HostValueCheckBoxWidth), 16);
  EXPECT_EQ(Read<int32_t>(values, HostValueGrowthStep), 16);
  EXPECT_DOUBLE_EQ(Read<double>(values, HostValueWheelFraction), 0.9);
  EXPECT_EQ(Read<uint32_t>(values, HostValueLineColour), 0x00BEBEBEu);
  // The panel's font is a real LOGFONTA: Windows makes a font of it.
  const LOGFONTA& font = Read<LOGFONTA>(values, HostValuePanelFont);
  EXPECT_STREQ(font.lfFaceName, "Tahoma");
  HFONT made = CreateFontIndirectA(&font);
  EXPECT_NE(made, nullptr);
  DeleteObject(made);
  hostsim::Settings().lineColourGiven = false;
  EXPECT_EQ(values(HostValueLineColour), 0);
  const HostQueryFn data = Sub(HostQueryDataQuery);
  EXPECT_EQ(Read<int32_t>(data, HostDataTextHeight), 16);
  EXPECT_EQ(data(HostDataSmoothWheel), 0);
  EXPECT_EQ(Read<HostGameArray>(data, HostDataGameList).count, 0);
}

TEST_F(HostSim, TheLockIsARecursiveCriticalSection) {
  const HostQueryFn data = Sub(HostQueryDataQuery);
  auto* lock = reinterpret_cast<CRITICAL_SECTION*>(data(HostDataLock));
  ASSERT_NE(lock, nullptr);
  QueryHost host(Services());
  host.Lock();
  host.Lock();  // recursive
  std::atomic<int> entered{-1};
  std::thread other([&] { entered = TryEnterCriticalSection(lock) ? 1 : 0; });
  other.join();
  EXPECT_EQ(entered, 0);
  host.Unlock();
  host.Unlock();
  std::thread later([&] {
    entered = TryEnterCriticalSection(lock) ? 1 : 0;
    if (entered) LeaveCriticalSection(lock);
  });
  later.join();
  EXPECT_EQ(entered, 1);
}

TEST_F(HostSim, RegistersCommandsWithDistinctIds) {
  auto registerCommand = reinterpret_cast<HostRegisterCommandFn>(reinterpret_cast<void*>(query(10004)));
  ASSERT_NE(registerCommand, nullptr);
  const int32_t first = registerCommand(MAKELONG(9, 0), nullptr);
  const int32_t second = registerCommand(MAKELONG(9, 0), nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(hostsim::Commands().size(), 2u);
}

TEST_F(HostSim, FromhostReadsTheCurrentGameThroughTheQueryFunctions) {
  doska board;
  jurnal original(&board, nullptr);
  sample::BuildAnnotatedGame(original);
  original.gotoply(0);
  hostsim::Games().Add(&original, {{"Event", "Wine"}});
  QueryHost host(Services());
  ScopedHost installed(host);
  sample::ExpectReadBackFromHost(original, host);
}

TEST_F(HostSim, NavigatesVariationsAsTheServicesSay) {
  doska board;
  jurnal game(&board, nullptr);
  sample::BuildAnnotatedGame(game);
  game.gotoply(0);
  hostsim::Games().Add(&game, {});
  QueryHost host(Services());
  EXPECT_EQ(host.MoveCount(), 6);
  host.ShowMove(1);
  const HostMove* e5 = host.MoveAt(1);
  ASSERT_NE(e5, nullptr);
  EXPECT_STREQ(e5->san, "e5");
  ASSERT_EQ(e5->variationCount, 2);
  const HostLineId french = e5->variations[1];
  host.EnterVariation(2);
  EXPECT_EQ(host.CurrentLine(), french);
  EXPECT_TRUE(host.InVariation());
  EXPECT_EQ(host.PlyNumber(), 1);
  EXPECT_EQ(host.MoveAt(0)->nag, 2);
  EXPECT_STREQ(host.MoveAt(0)->comment, "{French}");
  host.LeaveVariation();
  EXPECT_FALSE(host.InVariation());
  EXPECT_EQ(host.CurrentMove(), 1);
  EXPECT_EQ(host.ResultText(), "1-0");
}

// The build puts the ECO table where the plug-in looks for it: plugins\ecos.dat beside the host
// program (this test program stands in the same folder).
TEST(EcoTableBesideTheHost, IsFoundInThePluginsFolderOfTheProgram) {
  SetEcoTableSource(HostProgramFolder() / "plugins" / "ecos.dat");
  const ecoinfar& table = EcoTable();
  EXPECT_EQ(table.size(), 3807u);
}

}  // namespace
