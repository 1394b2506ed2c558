// Reading a skin's description into the skin objects, and the bitmaps derived from them.
#include "skin/WinSkinData.h"

#include <algorithm>
#include <cctype>

#include "classlib/StrUtils.h"
#include "skin/Imgutil.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinIni.h"

namespace {

// The built-in track: a sunken groove, 16 x 4 (or 4 x 16 upright), with margins of 3.
void DrawTrackGroove(TBitmap& b, bool vertical) {
  const int w = vertical ? 4 : 16, h = vertical ? 16 : 4;
  b.SetSize(w, h);
  b.PixelFormat = pf24bit;
  TCanvas& c = b.Canvas();
  c.Brush.Color = ColorToRGB(clBtnFace);
  c.FillRect(RECT{0, 0, w, h});
  c.Brush.Color = ColorToRGB(static_cast<TColor>(0x80000000 | COLOR_BTNSHADOW));
  c.FillRect(vertical ? RECT{0, 0, 1, h} : RECT{0, 0, w, 1});
  c.Brush.Color = ColorToRGB(static_cast<TColor>(0x80000000 | COLOR_BTNHIGHLIGHT));
  c.FillRect(vertical ? RECT{w - 1, 0, w, h} : RECT{0, h - 1, w, h});
}

int EntryAsBitmapName(const std::string& value, std::string& name) {
  size_t cut = value.find_last_of("\\:");
  name = cut == std::string::npos ? value : value.substr(cut + 1);
  return name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0;
}

std::string UpperAscii(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

}  // namespace

// ---- Reading the description ----

bool TSkinData::LoadFromIni() {
  if (!Ini) return Fail("no description to read");
  Ini->ReadSections(SectionList);
  SkinName = Ini->ReadString("TitlebarSkin", "SkinName", "");
  ReadBord();
  ReadColor();
  ReadSysButton();
  ReadButton();
  ReadTitle();
  ReadSurfaces();
  SetFrame();
  ReBuildCombobox();
  ReBuildComboxArrow();
  RebuildToolbar();
  SchemeColors[csCaption] = GetCaptionColor();
  if (FaceBrush) DeleteObject(FaceBrush);
  FaceBrush = CreateSolidBrush(ColorToRGB(SchemeColors[csButtonFace]));
  SectionList.Clear();
  SkinEmpty = false;
  return true;
}

void TSkinData::ReadImage(const std::string& section, const std::string& key, TBitmap& target) const {
  target.SetSize(0, 0);
  std::string name, data;
  if (!EntryAsBitmapName(Ini->ReadString(section, key, ""), name)) return;
  if (!reader_ || !reader_->readfile(LowerCase(name), data) || data.empty()) return;
  if (!target.LoadFromStream(data)) target.SetSize(0, 0);
}

void TSkinData::ReadBord() {
  const std::string s = "Personality";
  for (int i = 1; i <= 4; ++i) {
    TDataSkinBorder& b = *Border[i];
    const std::string& n = b.Name;
    const int first = Ini->ReadInteger(s, n + "TopHeight", 0), last = Ini->ReadInteger(s, n + "BotHeight", 0);
    const bool side = i <= 2;
    b.TopHeight = side ? first : 0;
    b.BottomHeight = side ? last : 0;
    b.LeftWidth = side ? 0 : first;
    b.RightWidth = side ? 0 : last;
    b.Frame = Ini->ReadInteger(s, n + "Frame", 1);
    b.Tile = Ini->ReadInteger(s, n + "Stretch", 1);
    if (b.Tile > 1) b.Tile = 1;
    b.Trans = Ini->ReadInteger(s, n + "Trans", 1);
    ReadImage(s, n, *b.Image);
  }
}

void TSkinData::ReadColor() {
  struct ColourKey {
    const char* key;
    TShemeColor element;
    int sysColour;  // -1: the ButtonFace colour just read
  };
  static constexpr ColourKey kColours[] = {
      {"WindowText", csText, COLOR_WINDOWTEXT},
      {"ButtonFace", csButtonFace, COLOR_BTNFACE},
      {"Scrollbar", csScrollbar, COLOR_SCROLLBAR},
      {"HilightText", csHilightText, COLOR_HIGHLIGHTTEXT},
      {"Hilight", csHilight, COLOR_HIGHLIGHT},
      {"Menubar", csMenuBar, -1},
      {"Menu", csMenubg, COLOR_MENU},
      {"MenuText", csMenuText, COLOR_MENUTEXT},
      {"ButtonText", csButtonText, COLOR_BTNTEXT},
      {"ButtonHilight", csButtonHilight, COLOR_BTNHIGHLIGHT},
      {"Buttonlight", csButtonlight, COLOR_BTNHIGHLIGHT},
      {"ButtonShadow", csButtonShadow, COLOR_BTNSHADOW},
      {"ButtonDkShadow", csButtonDkshadow, COLOR_3DDKSHADOW},
      {"MenuBarText", csMenuBarText, COLOR_MENUTEXT},
      {"TitleTextActive", csTitleTextActive, COLOR_CAPTIONTEXT},
      {"TitleTextNoActive", csTitleTextNoActive, COLOR_INACTIVECAPTIONTEXT},
  };
  for (const ColourKey& c : kColours) {
    const TColor def = c.sysColour < 0 ? SchemeColors[csButtonFace] : static_cast<TColor>(0x80000000 | c.sysColour);
    SchemeColors[c.element] = GetColor(Ini->ReadString("Colours", c.key, ""), def);
  }
  PreColors.clear();
  for (const std::string& section : SectionList) {
    const std::string upper = UpperAscii(section);
    if (upper.compare(0, 6, "COLOUR") != 0 || upper == "COLOURS") continue;
    PreColors.push_back(GetColor(Ini->ReadString(section, "color", ""), clWindowText));
  }
  for (int i = 0; i < 10; ++i) {
    CustomColors[static_cast<size_t>(i)] =
        GetColor(Ini->ReadString("Customcolors", "Color" + IntToStr(i), ""), clWhite);
  }
}

void TSkinData::ReadSysButton() {
  SysButtons.clear();
  for (const std::string& section : SectionList) {
    const std::string upper = UpperAscii(section);
    if (upper.compare(0, 6, "BUTTON") != 0 || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
        upper == "BUTTON.CHECKBOX" || upper == "BUTTON") {
      continue;
    }
    const int action = Ini->ReadInteger(section, "Action", 0);
    if (action == -1 && Ini->ReadInteger(section, "Visibility", -1) != 0) continue;
    auto b = std::make_unique<TDataSkinSysButton>(upper);
    b->Action = action;
    b->Align = Ini->ReadInteger(section, "Align", 0);
    b->Xcoord = Ini->ReadInteger(section, "Xcoord", 0);
    b->Ycoord = Ini->ReadInteger(section, "Ycoord", 0);
    b->Visibility = Ini->ReadInteger(section, "Visibility", 0);
    b->Visibility1 = Ini->ReadInteger(section, "Visibility1", action == -1 ? -1 : 0);
    b->CombineOp = Ini->ReadInteger(section, "CombineOp", -1);
    b->Frame = Ini->ReadInteger(section, "frame", 0);
    ReadImage(section, "ButtonImage", *b->Image);
    if (b->Frame == 0) {
      // Without a count the image's shape decides: three frames when it is short.
      const TBitmap& img = *b->Image;
      b->Frame = img.Empty() || action < 0 || img.Width() > 3.8 * img.Height() ? 6 : 3;
      if (action == 3 || action == 11) b->Image->SetSize(0, 0);
    }
    SysButtons.push_back(std::move(b));
  }
  for (int action : {7, 8, 9}) {
    auto b = std::make_unique<TDataSkinSysButton>("MDI" + IntToStr(action));
    b->Action = action;
    b->Align = b->Visibility = b->Visibility1 = 100;
    b->Frame = 4;
    SysButtons.push_back(std::move(b));
  }
  CreateMdibtn();
}

void TSkinData::CreateMdibtn() {
  TBitmap source;
  ReadImage("MDICONTROLS", "Image", source);
  const int w = source.Width() / 12;
  if (source.Empty() || w < 1) return;
  const size_t first = SysButtons.size() - 3;
  for (int k = 0; k < 3; ++k) {
    TDataSkinSysButton& b = *SysButtons[first + static_cast<size_t>(k)];
    b.Image->SetSize(4 * w, source.Height());
    BitBlt(b.Image->Canvas().Handle(), 0, 0, 4 * w, source.Height(), source.Canvas().Handle(), 4 * k * w, 0, SRCCOPY);
    b.Xcoord = (3 - k) * (w + 4);
  }
}

// The keys every generic surface shares.
void TSkinData::ReadCommon(const std::string& section, TDataSkinObject& o, bool frame, int tileMax) const {
  o.Style = Ini->ReadInteger(section, "Style", 0);
  o.LeftWidth = Ini->ReadInteger(section, "LeftWidth", 0);
  o.RightWidth = Ini->ReadInteger(section, "RightWidth", 0);
  o.TopHeight = Ini->ReadInteger(section, "TopHeight", 0);
  o.BottomHeight = Ini->ReadInteger(section, "BottomHeight", 0);
  if (frame) o.Frame = Ini->ReadInteger(section, "Frame", 0);
  o.Trans = Ini->ReadInteger(section, "Trans", 0);
  o.Tile = Ini->ReadInteger(section, "Tile", 0);
  if (o.Tile > 1) o.Tile = tileMax;
}

void TSkinData::ReadStateColours(const std::string& section, TDataSkinObject& o) const {
  o.NormalColour = Ini->ReadInteger(section, "NormalColour", -1);
  o.MouseOverColour = Ini->ReadInteger(section, "MouseOverColour", -1);
  o.PressedColour = Ini->ReadInteger(section, "PressedColour", -1);
  const TColor text = SchemeColors[csButtonText];
  o.NormalColour2 = GetColor(Ini->ReadString(section, "NormalColour2", ""), text);
  o.MouseOverColour2 = GetColor(Ini->ReadString(section, "MouseOverColour2", ""), text);
  o.PressedColour2 = GetColor(Ini->ReadString(section, "PressedColour2", ""), text);
}

std::unique_ptr<TDataSkinObject> TSkinData::ReadObject(const std::string& section) const {
  if (Ini->ReadString(section, "Image", "").empty()) return nullptr;
  auto o = std::make_unique<TDataSkinObject>(section);
  ReadCommon(section, *o, true, 0);
  ReadStateColours(section, *o);
  ReadImage(section, "Image", *o->Image);
  return o;
}

std::unique_ptr<TDataSkinBorder> TSkinData::ReadObject2(const std::string& section, const std::string& key2) const {
  if (Ini->ReadString(section, "Image", "").empty()) return nullptr;
  auto o = std::make_unique<TDataSkinBorder>(section);
  ReadCommon(section, *o, false, 0);
  ReadStateColours(section, *o);
  ReadImage(section, "Image", *o->Image);
  ReadImage(section, key2, *o->Image2);
  return o;
}

std::unique_ptr<TDataSkinBoxLabel> TSkinData::ReadBoxLabel(const std::string& section) const {
  if (Ini->ReadString(section, "Image", "").empty()) return nullptr;
  auto o = std::make_unique<TDataSkinBoxLabel>(section);
  ReadCommon(section, *o, false, 0);
  ReadStateColours(section, *o);
  ReadImage(section, "Image", *o->Image);
  o->BackgroundAlignment = Ini->ReadInteger(section, "BackgroundAlignment", 0);
  o->BackgroundLeftShift = Ini->ReadInteger(section, "BackgroundLeftShift", 0);
  o->BackgroundRightShift = Ini->ReadInteger(section, "BackgroundRightShift", 0);
  return o;
}

std::unique_ptr<TDataSkinBorder> TSkinData::ReadProgress(const std::string& section) const {
  if (Ini->ReadString(section, "Bitmap", "").empty()) return nullptr;
  auto o = std::make_unique<TDataSkinBorder>(section);
  ReadCommon(section, *o, false, 1);
  ReadImage(section, "Bitmap", *o->Image);
  return o;
}

std::unique_ptr<TDataSkinObject> TSkinData::ReadMenuBar(const std::string& section) const {
  if (Ini->ReadString(section, "menuBar", "").empty()) return nullptr;
  auto o = std::make_unique<TDataSkinObject>("MenuBar");
  o->Tile = Ini->ReadInteger(section, "TileMenu", 1);
  if (o->Tile > 1) o->Tile = 1;
  o->LeftWidth = Ini->ReadInteger(section, "TileLeftMenu", 1);
  o->RightWidth = Ini->ReadInteger(section, "TileRightMenu", 1);
  ReadImage(section, "menuBar", *o->Image);
  return o;
}

std::unique_ptr<TDataSkinObject> TSkinData::ReadTrack(bool vertical) const {
  auto o = std::make_unique<TDataSkinObject>(vertical ? "TRACKVERT" : "TRACK");
  DrawTrackGroove(*o->Image, vertical);
  o->LeftWidth = o->TopHeight = o->RightWidth = o->BottomHeight = 3;
  o->Tile = 0;
  o->Frame = 1;
  return o;
}

void TSkinData::ReadButton() {
  const std::string s = "Buttons";
  TDataSkinButton& b = *Buttons;
  b.LeftWidth = Ini->ReadInteger(s, "LeftWidth", 0);
  b.RightWidth = Ini->ReadInteger(s, "RightWidth", 0);
  b.TopHeight = Ini->ReadInteger(s, "TopHeight", 0);
  b.BottomHeight = Ini->ReadInteger(s, "BottomHeight", 0);
  b.Trans = Ini->ReadInteger(s, "Trans", 0);
  ReadImage(s, "Bitmap", *b.Image);
  b.Tile = Ini->ReadInteger(s, "Tile", 0);
  if (b.Tile > 1) b.Tile = 0;
  ReadImage(s, "CheckButton", *b.CheckButton);
  ReadImage(s, "RadioButton", *b.RadioButton);
  b.RadioButtonFrame = Ini->ReadInteger(s, "RadioButtonFrame", 0);
  b.CheckButtonFrame = Ini->ReadInteger(s, "CheckButtonFrame", 0);
  b.HasNormalColour2 = !Ini->ReadString(s, "NormalColour2", "").empty();
  b.HasMouseOverColour2 = !Ini->ReadString(s, "MouseOverColour2", "").empty();
  b.HasPressedColour2 = !Ini->ReadString(s, "PressedColour2", "").empty();
  ReadStateColours(s, b);
}

void TSkinData::ReadTitle() {
  const std::string s = "Personality";
  TDataSkinTitle& t = *Title;
  ReadImage(s, "TextBack", *t.Image);
  t.LeftWidth = Ini->ReadInteger(s, "TextShift", 0);
  t.TopHeight = Ini->ReadInteger(s, "TextShiftVert", 0);
  t.RightWidth = Ini->ReadInteger(s, "TextRightClip", 0);
  t.BottomHeight = 0;
  t.TextAlignment = Ini->ReadInteger(s, "TextAlignment", 0);
  t.Textbackground = Ini->ReadInteger(s, "Textbackground", 0);
  t.TXTBackleft = Ini->ReadInteger(s, "TXTBackleft", 0);
  t.TXTBackRight = Ini->ReadInteger(s, "TXTBackRight", 0);
  t.FontHeight = Ini->ReadInteger("Fonts", "FontHeight", 14);
  t.ActiveText = t.InActiveText = kNoColour;
  ReadRGB(s, "ActiveText", t.ActiveText);
  ReadRGB(s, "InActiveText", t.InActiveText);
}

void TSkinData::ReadRGB(const std::string& section, const std::string& prefix, TColor& colour) const {
  const int r = Ini->ReadInteger(section, prefix + "R", -1), g = Ini->ReadInteger(section, prefix + "G", -1),
            b = Ini->ReadInteger(section, prefix + "B", -1);
  if (r >= 0 && g >= 0 && b >= 0) colour = RGBToColor(r & 0xFF, g & 0xFF, b & 0xFF);
}

void TSkinData::ReadSurfaces() {
  Progress = ReadProgress("Progress");
  ProgressChunk = ReadObject("Progress.Chunk");
  MenuBar = ReadMenuBar("Personality");
  GroupBoxEdge = ReadObject("GroupBoxEdge");
  GroupBox = ReadBoxLabel("GroupBox");
  Tabs = ReadObject2("Tabs", "Border");
  StatusBarEdges = ReadObject("StatusBarEdges");
  if ((TabPane = ReadObject("Tab.Pane"))) {
    for (int32_t* edge : {&TabPane->LeftWidth, &TabPane->TopHeight, &TabPane->RightWidth, &TabPane->BottomHeight}) {
      *edge = std::min(*edge, 4);
    }
  }
  ToolBars = ReadObject("ToolBars");
  if ((ComboButton = ReadObject2("ComboButton", "****")) && !ComboButton->Image->Empty()) {
    CopyBitmap(*ComboButton->Image2, *ComboButton->Image);
    ComboButton->Image2->PixelFormat = pf24bit;
    SpiegelnHorizontal(*ComboButton->Image2);
  }
  const std::pair<std::unique_ptr<TDataSkinObject>*, const char*> plain[] = {
      {&SunkEdge, "SunkEdge"},
      {&ExtraImages, "ExtraImages"},
      {&Headerbar, "Headerbar"},
      {&MenuItem, "MenuItem"},
      {&MenuBackground, "MenuBackground"},
      {&Scrollbar, "Scrollbar"},
      {&HorzScroll, "HorzScroll"},
      {&VertScroll, "VertScroll"},
      {&HorzScrollThumb, "HorzScrollThumb"},
      {&VertScrollThumb, "VertScrollThumb"},
      {&TrackbarThumbHorz, "Trackbar.ThumbHorz"},
      {&TrackbarThumbVert, "Trackbar.ThumbVert"},
      {&TrackbarThumbLeft, "Trackbar.ThumbLeft"},
      {&TrackbarThumbRight, "Trackbar.ThumbRight"},
      {&TrackbarThumbUp, "Trackbar.ThumbUp"},
      {&TrackbarThumbDown, "Trackbar.ThumbDown"},
  };
  for (const auto& [field, section] : plain) *field = ReadObject(section);
  UpDownHorz = ReadObject2("UpDown.Horz", "GlyphImage");
  UpDownVert = ReadObject2("UpDown.Vert", "GlyphImage");
  if (!(Track = ReadObject("Track"))) Track = ReadTrack(false);
  if (!(TrackVert = ReadObject("TRACKVERT"))) TrackVert = ReadTrack(true);
}

// ---- Derived bitmaps ----

void TSkinData::SetFrame() {
  auto fix = [](TDataSkinObject* o, int frames) {
    if (o) o->Frame = frames;
  };
  fix(Tabs.get(), 5);
  fix(UpDownHorz.get(), 8);
  fix(UpDownVert.get(), 8);
  fix(SunkEdge.get(), 4);
  fix(ExtraImages.get(), 5);
  fix(ComboButton.get(), 4);
  fix(GroupBoxEdge.get(), 2);
  fix(ToolBars.get(), 5);
  if (Progress) Progress->Frame = Progress->Style != 0 ? 1 : 2;
  fix(GroupBox.get(), 1);
  fix(StatusBarEdges.get(), 3);
  fix(TabPane.get(), 1);
  if (Headerbar && Headerbar->Frame == 0) Headerbar->Frame = 5;
  fix(MenuBar.get(), 2);
  fix(MenuItem.get(), 5);
  fix(MenuBackground.get(), 1);
  fix(Scrollbar.get(), 23);
  fix(HorzScroll.get(), 4);
  fix(VertScroll.get(), 4);
  fix(HorzScrollThumb.get(), Ini->ReadInteger("HorzScrollThumb", "FrameCount", 3));
  fix(VertScrollThumb.get(), Ini->ReadInteger("VertScrollThumb", "FrameCount", 3));
  for (TDataSkinObject* o : {TrackbarThumbHorz.get(), TrackbarThumbVert.get(), TrackbarThumbLeft.get(),
                             TrackbarThumbRight.get(), TrackbarThumbUp.get(), TrackbarThumbDown.get()}) {
    fix(o, 5);
  }
  fix(Buttons.get(), 5);
  // The painters divide by these counts: a skin that says 0 (or less) gets one frame.
  for (TDataSkinObject* o :
       {static_cast<TDataSkinObject*>(Border[1].get()), static_cast<TDataSkinObject*>(Border[2].get()),
        static_cast<TDataSkinObject*>(Border[3].get()), static_cast<TDataSkinObject*>(Border[4].get()),
        ProgressChunk.get(), Track.get(), TrackVert.get(), HorzScrollThumb.get(), VertScrollThumb.get(),
        Headerbar.get()}) {
    if (o && o->Frame < 1) o->Frame = 1;
  }
  auto cells = [](const TBitmap& b, int32_t& frames) {
    if (frames != 0 || b.Empty()) return;
    frames = std::max(b.Width() / (b.Height() < 16 ? 13 : 16), 4);
  };
  cells(*Buttons->RadioButton, Buttons->RadioButtonFrame);
  cells(*Buttons->CheckButton, Buttons->CheckButtonFrame);
}

void TSkinData::ReBuildCombobox() {
  if (!SunkEdge || !ComboButton) return;
  const int frames = SunkEdge->Frame;
  constexpr int kCellW = 50, kCellH = 21;
  TBitmap cell, strip;
  cell.SetSize(kCellW, kCellH);
  strip.SetSize(kCellW * frames, kCellH);
  cell.PixelFormat = strip.PixelFormat = pf24bit;
  strip.Canvas().Brush.Color = kKeyColour;
  strip.Canvas().FillRect(RECT{0, 0, strip.Width(), kCellH});
  const int bw = GetSystemMetrics(SM_CXHSCROLL) + 2;
  const RECT button{kCellW - bw, 0, kCellW, kCellH};
  HDC dc = cell.Canvas().Handle();
  for (int f = 1; f <= frames; ++f) {
    cell.Canvas().Brush.Color = kKeyColour;
    cell.Canvas().FillRect(RECT{0, 0, kCellW, kCellH});
    DrawRect2(dc, RECT{0, 0, kCellW, kCellH}, SunkEdge->Image.get(), false, false, SunkEdge->Trans != 0, frames, f,
              SunkEdge->Margins());
    DrawRect2(dc, button, ComboButton->Image.get(), false, false, true, ComboButton->Frame, f, ComboButton->Margins());
    if (ExtraImages) DrawRect3(dc, button, ExtraImages->Image.get(), true, ExtraImages->Frame, f);
    cell.Canvas().FillRect(RECT{2, 2, kCellW - 1 - bw, 18});  // the text area stays see-through
    BitBlt(strip.Canvas().Handle(), kCellW * (f - 1), 0, kCellW, kCellH, dc, 0, 0, SRCCOPY);
  }
  ComboButton->Style = 2;
  ComboButton->TopHeight = SunkEdge->TopHeight;
  ComboButton->BottomHeight = SunkEdge->BottomHeight;
  ComboButton->LeftWidth = 2;
  ComboButton->RightWidth = bw + 2;
  CopyBitmap(*ComboButton->Image, strip);
  ComboButton->Frame = frames;
  SpiegelnHorizontal(strip);
  CopyBitmap(*SunkEdge->Image, strip);
  SunkEdge->LeftWidth = bw + 2;
  SunkEdge->RightWidth = 2;
}

void TSkinData::ReBuildComboxArrow() {
  // Rebuilt at every load, so no arrow of an earlier skin outlives it.
  ComboxArrow.reset();
  if (!ComboButton || ComboButton->Image->Empty()) return;
  if (!SunkEdge) {
    ComboxArrow = std::make_unique<TDataSkinObject>("ComboxArrow");
    CopyBitmap(*ComboxArrow->Image, *ComboButton->Image);
    ChangeTrans(*ComboxArrow->Image, static_cast<TColor>(ColorToRGB(SchemeColors[csButtonFace])));
    ComboxArrow->Frame = ComboButton->Frame;
    return;
  }
  if (ComboButton->Style != 2) return;
  const int frames = SunkEdge->Frame, fw = ComboButton->Image->Width() / frames;
  ComboxArrow = std::make_unique<TDataSkinObject>("ComboxArrow");
  TBitmap& arrow = *ComboxArrow->Image;
  arrow.SetSize(17 * frames, 17);
  arrow.PixelFormat = pf24bit;
  for (int f = 1; f <= frames; ++f) {
    BitBlt(arrow.Canvas().Handle(), 17 * (f - 1), 0, 17, 17, ComboButton->Image->Canvas().Handle(), f * fw - 2 - 17, 2,
           SRCCOPY);
  }
  ComboxArrow->Frame = frames;
}

void TSkinData::RebuildToolbar() {
  TBitmap b;
  b.SetSize(10, 40);
  const TColor caption = GetCaptionColor();
  TColor bottom = Blend(0x808080, caption, 150);
  const TColor top = Blend(SchemeColors[csButtonFace], 0xFFFFFF, 150);
  if (const int s = GetHSV(caption); s > 110) bottom = Blend(caption, 0xFFFFFF, (225 - s) * 25 / 140 + 50);
  GradFill(b.Canvas().Handle(), RECT{0, 0, 10, 40}, top, bottom, 1);
  if (!Toolbar) Toolbar = std::make_unique<TDataSkinObject>("Toolbar");
  CopyBitmap(*Toolbar->Image, b);
  Toolbar->Frame = 1;
}
