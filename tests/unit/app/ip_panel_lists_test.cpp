// The IP list panels' lists: filling from the pool and the stored favourites, adding
// and removing favourites, the used-row history and the row colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/app/ip_panel_fakes.h"

namespace {

using Rows = std::vector<std::string>;
using iptest::IpPanelRig;

class PoolPanelListsTest : public ::testing::Test, public IpPanelRig<app::CIpMgmtTab5Dlg> {};
class ClassPanelListsTest : public ::testing::Test, public IpPanelRig<app::DynamicIpTabDlg> {};

TEST_F(PoolPanelListsTest, TwoRecordsAndOneFavourite) {
  record.ipPoolList = "c1^1.1.1.1|c2^2.2.2.2";
  StoreFavourites("2.2.2.2");
  panel.LoadList();
  EXPECT_EQ(Texts(IDC_IP_AVAILABLE), (Rows{"1.1.1.1", "2.2.2.2"}));
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"2.2.2.2"}));

  Select(IDC_IP_AVAILABLE, {1});
  panel.OnDoubleClick(IDC_IP_AVAILABLE);
  EXPECT_EQ(record.ipCode, "c2");
  EXPECT_EQ(panel.RowColoursOf(IDC_IP_AVAILABLE, 1), (app::RowColours{true, app::Rgb(41, 215, 49), true, app::Rgb(255, 255, 255)}));
  EXPECT_EQ(panel.RowColoursOf(IDC_IP_AVAILABLE, 0), app::RowColours{});
  EXPECT_EQ(journal, (iptest::Journal{"login vpn c2", "start tunnel c2"}));
}

TEST_F(PoolPanelListsTest, FillFromPoolAndStoredValue) {
  struct Case {
    const char* pool;
    const char* stored;
    Rows available, favourites;  // favourites from the top row down
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      // An empty pool is one empty record, and the empty value one empty favourite.
      {"", "", {""}, {""}, {""}},
      // Favourites in pool order, each stored entry once; the newest on top.
      {"1^a|2^b|3^c", "c^a^b^c", {"a", "b", "c"}, {"c", "c", "b", "a"}, {"1", "2", "3"}},
      // Fields after the IP are ignored; a record without one shows an empty row.
      // (The empty value's one empty entry shows with an empty IP.)
      {"c1^1.1.1.1^x^y|c2", "", {"1.1.1.1", ""}, {""}, {"c1", "c2"}},
      {"c1^1.1.1.1", "", {"1.1.1.1"}, {}, {"c1"}},
      // A trailing '|' would be one more, empty record (the parser has dropped it).
      {"c1^a|", "x", {"a", ""}, {}, {"c1", ""}},
      // One IP under two codes shows its favourites once: shown twice, the next store
      // doubled the stored value at every login.
      {"1^a|2^a|3^b", "a^b^a", {"a", "a", "b"}, {"b", "a", "a"}, {"1", "2", "3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pool);
    record.ipPoolList = c.pool;
    StoreFavourites(c.stored);
    panel.LoadList();
    EXPECT_EQ(Texts(IDC_IP_AVAILABLE), c.available);
    EXPECT_EQ(Texts(IDC_IP_FAVOURITES), c.favourites);
    std::vector<std::string> codes;
    for (const app::ConnIpPool& entry : panel.pool()) codes.push_back(entry.code);
    EXPECT_EQ(codes, c.codes);
    EXPECT_EQ(panel.currentRow(), -1);
  }
}

TEST_F(ClassPanelListsTest, ClassNamesLoseTheirTrailingSeparator) {
  const std::pair<const char*, Rows> cases[] = {
      {"A^B^", {"A", "B"}}, {"", {""}}, {"A^", {"A"}}, {"서울^부산^", {"서울", "부산"}}};
  for (const auto& [classes, rows] : cases) {
    SCOPED_TRACE(classes);
    record.ipPoolClass = classes;
    panel.LoadList();
    EXPECT_EQ(Texts(IDC_CLASS_LIST), rows);
  }
}

TEST_F(PoolPanelListsTest, AddingKeepsTheSelectionOrderAndRefusesDuplicates) {
  record.ipPoolList = "1^r0|2^r1|3^r2|4^r3";
  StoreFavourites("r3");
  panel.LoadList();
  Select(IDC_IP_AVAILABLE, {2, 0});
  panel.OnCommand(IDC_IP_ADD);
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"r2", "r0", "r3"}));
  EXPECT_EQ(StoredFavourites(), "r3^r0^r2");
  EXPECT_TRUE(window.boxes().empty());

  // A duplicate gets its box and is skipped; the other rows still come, and the value
  // is written.
  Select(IDC_IP_AVAILABLE, {0, 1, 3});
  panel.OnCommand(IDC_IP_ADD);
  ASSERT_EQ(window.boxes().size(), 2u);
  EXPECT_EQ(window.boxes()[0].text, "이미 IP가 추가 되어 있습니다");
  EXPECT_EQ(window.boxes()[0].caption, "중복오류");
  EXPECT_EQ(window.boxes()[0].style, platform::kMbOk);
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"r1", "r2", "r0", "r3"}));
  EXPECT_EQ(StoredFavourites(), "r3^r0^r2^r1");
}

TEST_F(PoolPanelListsTest, RemovingTakesEverySelectedRowAndAlwaysStores) {
  record.ipPoolList = "1^a|2^b|3^c";
  StoreFavourites("a^b^c^b");
  panel.LoadList();
  ASSERT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"c", "b", "b", "a"}));
  Select(IDC_IP_FAVOURITES, {1, 3});
  panel.OnCommand(IDC_IP_REMOVE);
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"c", "b"}));
  EXPECT_EQ(StoredFavourites(), "b^c");  // the last equal entry of "a^b^b^c" went

  registry.SetText(settings::kSettingsRoot, settings::kSettingsKeyPath, "IpCode", "stale");
  panel.OnCommand(IDC_IP_REMOVE);  // nothing selected: the value is written all the same
  EXPECT_EQ(StoredFavourites(), "b^c");
}

// An entry ending in a lead byte without its second byte took the next '^' as that
// byte: stored as "x\xB0^10.0.0.1", it read back as one entry and the new favourite was
// lost. Such an entry (no address is one) is left out of the value.
TEST_F(PoolPanelListsTest, AHalfCharacterEntryNeverSwallowsTheNextFavourite) {
  record.ipPoolList = "1^10.0.0.1";
  StoreFavourites("x\xB0");
  panel.LoadList();
  Select(IDC_IP_AVAILABLE, {0});
  panel.OnCommand(IDC_IP_ADD);
  EXPECT_EQ(StoredFavourites(), "10.0.0.1");
  panel.LoadList();
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), Rows{"10.0.0.1"});
}

// Favourites of another pool (another class, or every favourite after a failed pool
// exchange) used to be dropped from the value at the next add or remove.
TEST_F(ClassPanelListsTest, FavouritesOfOtherPoolsStayInTheValue) {
  host.pools = {{"A", "a1^10.0.0.1|a2^10.0.0.2"}, {"B", "b1^10.0.1.1|b2^10.0.1.2"}};
  record.ipPoolClass = "A^B^";
  StoreFavourites("10.0.0.2^172.16.0.9^10.0.0.1");
  panel.LoadList();

  Select(IDC_CLASS_LIST, {1});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), Rows{});
  Select(IDC_IP_AVAILABLE, {1});
  panel.OnCommand(IDC_IP_ADD);
  EXPECT_EQ(StoredFavourites(), "10.0.0.2^172.16.0.9^10.0.0.1^10.0.1.2");

  Select(IDC_CLASS_LIST, {0});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES), (Rows{"10.0.0.2", "10.0.0.1"}));
  Select(IDC_IP_FAVOURITES, {1});
  panel.OnCommand(IDC_IP_REMOVE);
  EXPECT_EQ(StoredFavourites(), "172.16.0.9^10.0.1.2^10.0.0.2");

  // A failed pool exchange shows one empty row and no favourite; none is lost.
  Select(IDC_CLASS_LIST, {1});
  host.pools.clear();
  panel.OnDoubleClick(IDC_CLASS_LIST);
  EXPECT_EQ(Texts(IDC_IP_AVAILABLE), Rows{""});
  panel.OnCommand(IDC_IP_REMOVE);
  EXPECT_EQ(StoredFavourites(), "172.16.0.9^10.0.1.2^10.0.0.2");
}

// A value longer than the settings' 1024-byte buffer read as absent, and the next add
// stored only the new favourite over it.
TEST_F(PoolPanelListsTest, AValueOverTheBufferIsReadAndStoredWhole) {
  std::string pool, stored;
  for (int i = 0; i < 120; ++i) {
    const std::string ip = "10.0." + std::to_string(i / 100) + "." + std::to_string(i % 100 + 100);
    pool += (i ? "|c" : "c") + std::to_string(i) + "^" + ip;
    stored += (stored.empty() ? "" : "^") + ip;
  }
  stored += "^192.168.200.200";  // not in this pool
  ASSERT_GT(stored.size(), 1023u);
  record.ipPoolList = pool + "|x^10.9.9.9";
  StoreFavourites(stored);
  panel.LoadList();
  EXPECT_EQ(Texts(IDC_IP_FAVOURITES).size(), 120u);

  Select(IDC_IP_AVAILABLE, {120});
  panel.OnCommand(IDC_IP_ADD);
  EXPECT_EQ(StoredFavourites(), "192.168.200.200^" + stored.substr(0, stored.rfind('^')) + "^10.9.9.9");
}

TEST_F(PoolPanelListsTest, RowsChosenThreeFiveThree) {
  record.ipPoolList = "0^a|1^b|2^c|3^d|4^e|5^f";
  panel.LoadList();
  for (int row : {3, 5, 3}) {
    Select(IDC_IP_AVAILABLE, {row});
    panel.OnDoubleClick(IDC_IP_AVAILABLE);
  }
  EXPECT_EQ(panel.usedRows().entries(), (std::vector<int>{-100, 5, 3}));
  const app::RowColours green{true, app::Rgb(41, 215, 49), true, app::Rgb(255, 255, 255)};
  const app::RowColours red{true, app::Rgb(255, 0, 0), true, app::Rgb(255, 255, 255)};
  const std::vector<app::RowColours> expected = {{}, {}, {}, green, {}, red};
  for (int row = 0; row < 6; ++row) EXPECT_EQ(panel.RowColoursOf(IDC_IP_AVAILABLE, row), expected[row]) << row;

  // The account panel's logout forgets them.
  panel.ClearUsedHistory();
  panel.SetCurrentRow(-1);
  for (int row = 0; row < 6; ++row) EXPECT_EQ(panel.RowColoursOf(IDC_IP_AVAILABLE, row), app::RowColours{});
  // The favourites list has no colours of its own.
  EXPECT_EQ(panel.RowColoursOf(IDC_IP_FAVOURITES, 3), app::RowColours{});
}

TEST_F(ClassPanelListsTest, TheChosenClassIsGreenAndTheOthersBlack) {
  host.pools = {{"B", "b1^10.0.1.1"}};
  record.ipPoolClass = "A^B^C^";
  panel.LoadList();
  Select(IDC_CLASS_LIST, {1});
  panel.OnDoubleClick(IDC_CLASS_LIST);
  EXPECT_EQ(panel.classRow(), 1);
  for (int row = 0; row < 3; ++row)
    EXPECT_EQ(panel.RowColoursOf(IDC_CLASS_LIST, row), (app::RowColours{true, app::Rgb(row == 1 ? 41 : 0, row == 1 ? 215 : 0, row == 1 ? 49 : 0), false, 0})) << row;
}

TEST(IpPanelLookTest, EveryButtonGetsItsBitmaps) {
  IpPanelRig<app::CIpMgmtTab5Dlg> pool;
  IpPanelRig<app::DynamicIpTabDlg> classes;
  EXPECT_EQ(pool.window.control(IDC_POOL_RANDOM).bitmapNormal, IDB_IP_RANDOM);
  EXPECT_EQ(pool.window.control(IDC_POOL_RANDOM).bitmapPressed, IDB_IP_RANDOM_PRESSED);
  EXPECT_EQ(pool.window.control(IDC_POOL_FAVOURITES_TITLE).bitmapPressed, IDB_IP_FAVOURITES_TITLE);
  EXPECT_EQ(classes.window.control(IDC_CLASS_RANDOM).bitmapNormal, IDB_IP_CLASS_RANDOM);
  EXPECT_EQ(classes.window.control(IDC_CLASS_NEXT_FAVOURITE).bitmapNormal, IDB_IP_RANDOM);
  EXPECT_EQ(classes.window.control(IDC_CLASS_AVAILABLE_TITLE).bitmapNormal, IDB_IP_AVAILABLE_TITLE);
  EXPECT_EQ(classes.window.control(IDC_CLASS_LIST_TITLE).bitmapNormal, IDB_IP_CLASSES_TITLE);
}

}  // namespace
