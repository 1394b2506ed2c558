// Our own skins as the build packs them into the program's skins folder.
#include <gtest/gtest.h>

#include <utility>
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
     {"Personality", "Colours",     "BUTTON0",   "BUTTON1",         "BUTTON2",  "BUTTON3",     "BUTTON4",
      "MDICONTROLS", "Buttons",     "Scrollbar", "HorzScrollThumb", "SunkEdge", "ComboButton", "MenuItem",
      "Tabs",        "Tab.Pane",    "GroupBox",  "Progress",        "Track",    "UpDown.Horz", "Trackbar.ThumbHorz",
      "Colour0",     "Customcolors"},
     {}},
    {"Ink",
     {"Personality", "Colours", "BUTTON0", "BUTTON4", "Buttons", "Scrollbar", "MenuItem", "Tabs", "Progress", "Track",
      "UpDown.Vert", "UpDown.Horz"},
     {"Colour0", "Customcolors"}},
    {"Plain",
     {"Personality", "Colours", "BUTTON0", "BUTTON1", "BUTTON2", "BUTTON3", "BUTTON4", "MDICONTROLS"},
     {"Buttons", "Scrollbar", "MenuItem", "Tabs", "SunkEdge", "Progress", "UpDown.Vert"}},
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

// Maximize and restore share one place: maximize shows on a window that is not
// maximized, restore on one that is, and both act as maximize (which restores).
TEST(OurSkins, MaximizeAndRestoreShareAPlaceByTheWindowsState) {
  for (const SkinCase& c : kSkins) {
    SCOPED_TRACE(c.name);
    Loaded skin;
    ASSERT_NO_FATAL_FAILURE(Load(c.name, skin));
    std::vector<std::pair<int, int>> shown;  // visibility and place of the maximize actions
    for (int i = 0; skin.ini.GetSectionIndex("BUTTON" + IntToStr(i)) >= 0; ++i) {
      const std::string section = "BUTTON" + IntToStr(i);
      if (skin.ini.ReadInteger(section, "Action", -1) != 1) continue;
      shown.emplace_back(skin.ini.ReadInteger(section, "Visibility", 0), skin.ini.ReadInteger(section, "Xcoord", 0));
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first + shown[1].first, 3) << "one for each state (1 and 2)";
    EXPECT_NE(shown[0].first, shown[1].first);
    EXPECT_EQ(shown[0].second, shown[1].second);
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

int Brightness(uint32_t rgb) { return static_cast<int>((rgb & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb >> 16)); }

// The glyph's extent across its direction in the first and the last row it touches:
// an arrow's tip row is narrower than its base row.
std::pair<int, int> TipAndBase(const Bmp& glyphs, uint32_t x0, uint32_t size, bool vertical) {
  std::vector<int> widths;
  for (uint32_t a = 0; a < size; ++a) {
    int n = 0;
    for (uint32_t b = 0; b < size; ++b) {
      const uint32_t p = vertical ? glyphs.Pixel(x0 + b, a) : glyphs.Pixel(x0 + a, b);
      n += p != 0xFF00FFu;
    }
    if (n) widths.push_back(n);
  }
  if (widths.empty()) return {0, 0};
  return {widths.front(), widths.back()};
}

// Up-down frames: per direction (up then down, left then right) the states normal,
// pressed, disabled and hot, in that order, as the up-down skinner reads them.
TEST(OurSkins, UpDownFramesRunNormalPressedDisabledHotForEachDirection) {
  for (const char* name : {"Mx1", "Ink"})
    for (const char* section : {"UpDown.Vert", "UpDown.Horz"}) {
      SCOPED_TRACE(std::string(name) + " " + section);
      Loaded skin;
      ASSERT_NO_FATAL_FAILURE(Load(name, skin));
      std::string bmp, glyphBmp;
      ASSERT_TRUE(skin.reader.readfile(skin.ini.ReadString(section, "Image", ""), bmp));
      ASSERT_TRUE(skin.reader.readfile(skin.ini.ReadString(section, "GlyphImage", ""), glyphBmp));
      const Bmp image(bmp), glyphs(glyphBmp);
      const uint32_t size = image.height;
      ASSERT_EQ(image.width, 8 * size);
      ASSERT_EQ(glyphs.width, 8 * size);
      for (uint32_t dir = 0; dir < 2; ++dir) {
        auto frame = [&](uint32_t state) { return (dir * 4 + state - 1) * size; };
        auto centre = [&](uint32_t state) { return image.Pixel(frame(state) + size / 2, size / 2); };
        auto flat = [&](uint32_t state) {
          return image.Pixel(frame(state) + size / 2, 3) == image.Pixel(frame(state) + size / 2, size - 4);
        };
        EXPECT_TRUE(flat(3)) << "frame 3 is the flat disabled look";
        EXPECT_FALSE(flat(1));
        EXPECT_FALSE(flat(4));
        EXPECT_GT(Brightness(centre(4)), Brightness(centre(1))) << "frame 4 is the lit hot look";
        EXPECT_NE(centre(2), centre(1)) << "frame 2 is pressed";
        // The first four frames point up (or left), the next four down (or right).
        const bool vertical = section[7] == 'V';
        const auto [tip, base] = TipAndBase(glyphs, frame(1), size, vertical);
        EXPECT_EQ(dir == 0, tip < base) << "first row narrower: points up or left";
      }
    }
}

}  // namespace
