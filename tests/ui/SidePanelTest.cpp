// Which of the side panel's four boxes show a name, by its length and surname kind.
#include <gtest/gtest.h>

#include "ui/Untmain.h"

namespace {

TEST(SidePanel, BoxesByNameLengthAndSurnameKind) {
  struct Row {
    int chars;
    bool single;
    BoxLayout expected;
  };
  const Row rows[] = {
      {2, true, {{0, 2, -1, -1}}},   {2, false, {{0, 2, -1, -1}}},   {3, true, {{0, 2, 3, -1}}},
      {3, false, {{0, 1, 3, -1}}},   {4, true, {{0, 1, 2, 3}}},      {4, false, {{0, 1, 2, 3}}},
      {1, true, {{-1, -1, -1, -1}}}, {5, false, {{-1, -1, -1, -1}}}, {0, true, {{-1, -1, -1, -1}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.chars) + (r.single ? " single" : " compound"));
    BoxLayout got = NameBoxes(r.chars, r.single);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got.box[i], r.expected.box[i]) << "place " << i;
  }
}

}  // namespace
