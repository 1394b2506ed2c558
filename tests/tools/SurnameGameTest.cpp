#include "tools/SurnameGame.h"

#include <gtest/gtest.h>

#include <set>

#include "classlib/Gbk.h"

namespace {

std::string U8(const std::string& gbkText) { return gbk::ToUtf8(gbkText); }

// Plays one game: answers "有" to the tables listed (1..7), "没有" to the others.
MSurnameGame Play(std::set<int> yes) {
  MSurnameGame game;
  for (int t = 1; t <= 7; ++t) game.NextTable(yes.count(t) ? 1 : 0);
  return game;
}

TEST(SurnameGame, AnswersSpellTheSurname) {
  struct Row {
    std::set<int> yes;
    const char* text;
    const char* caption;
  } rows[] = {
      {{7}, "你姓:白", "猜中"}, {{1, 5, 6, 7}, "你姓:李", "猜中"},   {{1, 2, 3, 4, 5, 6, 7}, "你姓:萧", "猜中"},
      {{6}, "你姓:赵", "猜中"}, {{}, "你的姓不在本字库中!", "意外"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    MSurnameGame game = Play(r.yes);
    ASSERT_TRUE(game.Finished());
    EXPECT_EQ(U8(game.ResultText()), r.text);
    EXPECT_EQ(U8(game.ResultCaption()), r.caption);
  }
}

TEST(SurnameGame, EveryTableHoldsItsSixtyFourSurnames) {
  MSurnameGame game;
  for (int t = 1; t <= 7; ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(game.TablesLeft(), 8 - t);
    EXPECT_EQ(U8(game.PanelText()), "倒数 第" + std::to_string(8 - t) + " 张表");
    const int bit = 1 << (7 - t);
    int k = 0;
    for (int i = 1; i <= MSurnameGame::kSurnames; ++i) {
      if ((i & bit) == 0) continue;
      EXPECT_EQ(game.Cell(k % 8, k / 8), game.Surname(i)) << "number " << i;
      ++k;
    }
    EXPECT_EQ(k, 64);
    game.NextTable(0);
  }
  EXPECT_TRUE(game.Finished());
  EXPECT_EQ(game.PanelText(), "");
}

TEST(SurnameGame, ResetStartsAgainAndExtraAnswersAreIgnored) {
  MSurnameGame game = Play({1, 2, 3, 4, 5, 6, 7});
  game.NextTable(1);
  EXPECT_EQ(game.Sum(), 127);
  game.Reset();
  EXPECT_EQ(game.Sum(), 0);
  EXPECT_EQ(game.TablesLeft(), 7);
  EXPECT_EQ(U8(game.Cell(0, 0)), "孔");  // number 64, the first with bit 6
}

}  // namespace
