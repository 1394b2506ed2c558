// The table of published properties: values read and set as text by name, whatever
// their kind, and the defaults for names and kinds a caller did not expect.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Gbk.h"
#include "classlib/TypInfo.h"

namespace {

// A fixed underlying type: the test stores an ordinal past the names.
enum Side : int { sdLeft, sdRight };

struct Holder {
  long long count = 3;
  Side side = sdRight;
  bool on = false;
  std::string title = "abc";
  std::wstring wide = L"w";
  int picture = 7;
  TPropertyTable table;
  Holder() {
    table.Integer(
        "Count", [this] { return count; }, [this](long long v) { count = v; });
    table.Enumeration(
        "Side", {"sdLeft", "sdRight"}, [this] { return side; }, [this](long long v) { side = static_cast<Side>(v); });
    table.Boolean(
        "On", [this] { return on; }, [this](bool v) { on = v; });
    table.String(
        "Title", [this] { return title; }, [this](const std::string& v) { title = v; });
    table.WideString(
        "Wide", [this] { return wide; }, [this](const std::wstring& v) { wide = v; });
    table.Integer("ReadOnly", [] { return 9LL; });
    table.Class<int>("Picture", [this] { return &picture; });
  }
};

TEST(TypInfo, NamesAreFoundInAnyCaseAndUnknownNamesGiveTheDefaults) {
  Holder h;
  EXPECT_NE(h.table.Find("count"), nullptr);
  EXPECT_NE(h.table.Find("SIDE"), nullptr);
  const TPropInfo* none = h.table.Find("Missing");
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(PropText(none), "");
  EXPECT_EQ(PropInt(none), -1);
  EXPECT_EQ(PropEnumName(none), "");
  EXPECT_FALSE(SetPropText(none, "1"));
}

TEST(TypInfo, ValuesReadAsTextByKind) {
  Holder h;
  EXPECT_EQ(PropText(h.table.Find("Count")), "3");
  EXPECT_EQ(PropText(h.table.Find("Side")), "sdRight");
  EXPECT_EQ(PropText(h.table.Find("On")), "False");
  EXPECT_EQ(PropText(h.table.Find("Title")), "") << "only enumerations and integers read as text";
  EXPECT_EQ(PropInt(h.table.Find("Count")), 3);
  EXPECT_EQ(PropInt(h.table.Find("Side")), -1) << "an enumeration is no integer property";
  EXPECT_EQ(PropEnumName(h.table.Find("Count")), "");
  // An ordinal past the names has no name.
  h.side = static_cast<Side>(5);
  EXPECT_EQ(PropEnumName(h.table.Find("Side")), "");
}

TEST(TypInfo, ValuesSetFromTextByKind) {
  Holder h;
  EXPECT_TRUE(SetPropText(h.table.Find("Side"), "SDLEFT"));
  EXPECT_EQ(h.side, sdLeft);
  EXPECT_FALSE(SetPropText(h.table.Find("Side"), "sdMiddle"));
  EXPECT_EQ(h.side, sdLeft) << "an unknown value name leaves the value";
  EXPECT_TRUE(SetPropText(h.table.Find("On"), "true"));
  EXPECT_TRUE(h.on);
  EXPECT_TRUE(SetPropText(h.table.Find("Count"), "16777215"));
  EXPECT_EQ(h.count, 16777215);
  EXPECT_FALSE(SetPropText(h.table.Find("Count"), "12ab"));
  EXPECT_EQ(h.count, 16777215) << "text that is no number leaves the value";
  EXPECT_TRUE(SetPropText(h.table.Find("Title"), "xyz"));
  EXPECT_EQ(h.title, "xyz");
  EXPECT_TRUE(SetPropText(h.table.Find("Wide"), gbk::FromUtf8("李")));
  EXPECT_EQ(h.wide, std::wstring(1, static_cast<wchar_t>(0x674E)));
  EXPECT_FALSE(SetPropText(h.table.Find("ReadOnly"), "1"));
  EXPECT_FALSE(SetPropText(h.table.Find("Picture"), "1")) << "class properties are not set from text";
}

TEST(TypInfo, ClassPropertiesHandOutTheHeldObjectOfItsOwnClassOnly) {
  Holder h;
  const std::any held = h.table.Find("Picture")->GetObj();
  int* const* typed = std::any_cast<int*>(&held);
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(*typed, &h.picture);
  EXPECT_EQ(std::any_cast<long*>(&held), nullptr);
}

}  // namespace
