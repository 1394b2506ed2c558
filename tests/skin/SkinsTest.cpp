// Our own skins as the build packs them into the program's skins folder.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/StrUtils.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinIni.h"

namespace {

struct SkinCase {
  const char* name;
  std::vector<const char*> present;
  std::vector<const char*> absent;
};

const SkinCase kSkins[] = {
    {"Mx1",
     {"Personality", "Colours",     "BUTTON0",  "BUTTON1",     "BUTTON2",
      "BUTTON3",     "MDICONTROLS", "Buttons",  "Scrollbar",   "HorzScrollThumb",
      "SunkEdge",    "ComboButton", "MenuItem", "Tabs",        "Tab.Pane",
      "GroupBox",    "Progress",    "Track",    "UpDown.Horz", "Trackbar.ThumbHorz",
      "Colour0",     "Customcolors"},
     {}},
    {"Ink", {"Personality", "Colours", "BUTTON0", "Buttons", "Scrollbar", "MenuItem", "Tabs"}, {"Progress", "Track"}},
    {"Plain",
     {"Personality", "Colours", "BUTTON0", "BUTTON1", "BUTTON2", "BUTTON3", "MDICONTROLS"},
     {"Buttons", "Scrollbar", "MenuItem", "Tabs", "SunkEdge"}},
};

struct Loaded {
  TSkinReader reader;
  TQuickIni ini;
};

void Load(const char* name, Loaded& skin) {
  std::string path = std::string(TORVIK_PROGRAM_DIR) + "/skins/" + name + ".skn";
  ASSERT_TRUE(skin.reader.loadfromfile(path)) << path;
  std::string text, entry;
  ASSERT_TRUE(skin.reader.readIni(".ini", text, entry));
  skin.ini.LoadFromStream(text);
}

uint32_t Le(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
  return v;
}

// Size and pixels of the 24-bit bottom-up bitmaps the drawing script writes.
struct Bmp {
  explicit Bmp(std::string b) : bytes(std::move(b)), width(Le(bytes, 18, 4)), height(Le(bytes, 22, 4)) {}
  uint32_t Pixel(uint32_t x, uint32_t y) const {
    size_t row = (height - 1 - y) * ((width * 3 + 3) / 4 * 4);
    return Le(bytes, Le(bytes, 10, 4) + row + 3 * x, 3);
  }
  std::string bytes;
  uint32_t width, height;
};

TEST(OurSkins, EveryImageTheDescriptionNamesIsInThePackage) {
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(c.name);
    Loaded skin;
    ASSERT_NO_FATAL_FAILURE(Load(c.name, skin));
    EXPECT_EQ(skin.ini.ReadString("TitlebarSkin", "SkinName", ""), c.name);
    for (const char* section : c.present) EXPECT_GE(skin.ini.GetSectionIndex(section), 0) << section;
    for (const char* section : c.absent) EXPECT_EQ(skin.ini.GetSectionIndex(section), -1) << section;
    TStringList sections, keys;
    skin.ini.ReadSections(sections);
    int images = 0;
    for (const std::string& section : sections) {
      skin.ini.ReadSection(section, keys);
      for (const std::string& key : keys) {
        std::string value = skin.ini.ReadString(section, key, "");
        if (LowerCase(ExtractFileExt(value)) != ".bmp") continue;
        SCOPED_TRACE(section + "." + key);
        std::string bmp;
        EXPECT_TRUE(skin.reader.readfile(value, bmp));
        EXPECT_TRUE(IsSoundBitmap(bmp));
        ++images;
      }
    }
    EXPECT_EQ(images + 1, skin.reader.Count()) << "every image is named once, and nothing else is packed";
  }
}

TEST(OurSkins, BordersAndCaptionButtonsHaveWholeFrames) {
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(c.name);
    Loaded skin;
    ASSERT_NO_FATAL_FAILURE(Load(c.name, skin));
    for (const char* border : {"Left", "Right", "Top", "Bottom"}) {
      SCOPED_TRACE(border);
      std::string bmp;
      ASSERT_TRUE(skin.reader.readfile(skin.ini.ReadString("Personality", border, ""), bmp));
      Bmp image(bmp);
      int frames = skin.ini.ReadInteger("Personality", std::string(border) + "Frame", 0);
      ASSERT_EQ(frames, 2);
      bool stacked = border[0] == 'T' || border[0] == 'B';
      EXPECT_EQ((stacked ? image.height : image.width) % 2, 0u);
    }
    for (int i = 0; skin.ini.GetSectionIndex("BUTTON" + IntToStr(i)) >= 0; ++i) {
      std::string section = "BUTTON" + IntToStr(i), bmp;
      SCOPED_TRACE(section);
      ASSERT_TRUE(skin.reader.readfile(skin.ini.ReadString(section, "ButtonImage", ""), bmp));
      Bmp image(bmp);
      int frames = skin.ini.ReadInteger(section, "frame", 0);
      ASSERT_GT(frames, 0);
      EXPECT_EQ(image.width, frames * image.height) << "square frames side by side";
    }
  }
}

TEST(OurSkins, FramedSkinsCutTheirCornersWithTheKeyColour) {
  for (const char* name : {"Mx1", "Ink"}) {
    SCOPED_TRACE(name);
    Loaded skin;
    ASSERT_NO_FATAL_FAILURE(Load(name, skin));
    EXPECT_EQ(skin.ini.ReadInteger("Personality", "TopTrans", 0), 1);
    std::string bmp;
    ASSERT_TRUE(skin.reader.readfile("top.bmp", bmp));
    Bmp top(bmp);
    uint32_t half = top.height / 2;
    for (uint32_t y : {0u, half}) {  // both frames
      EXPECT_EQ(top.Pixel(0, y), 0xFF00FFu);
      EXPECT_EQ(top.Pixel(top.width - 1, y), 0xFF00FFu);
      EXPECT_NE(top.Pixel(top.width / 2, y + half / 2), 0xFF00FFu);
    }
  }
}

}  // namespace
