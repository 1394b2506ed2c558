// Owner-drawn menu items: the form skinner measures and paints the items of the menus it
// opens from the skin's MenuItem object over the menu window's background.
#include <algorithm>

#include "classlib/Gbk.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"

namespace {

thread_local TOwnerDrawnMenu* current = nullptr;

constexpr int kGlyph = 16;
constexpr int kKeysGap = 16, kKeysMargin = 11;  // before an item's keys, and after them
constexpr int kMenuFrame = 3;                   // the menu window's border
constexpr int kItemFrames = 5;
constexpr int kObmCheck = 32760;  // the system's check-mark bitmap

// A memory bitmap of the given size, selected into its own DC while it lives.
class TWorkBitmap {
 public:
  TWorkBitmap(HDC like, int w, int h) : dc_(CreateCompatibleDC(like)), bmp_(CreateCompatibleBitmap(like, w, h)) {
    old_ = SelectObject(dc_, bmp_);
  }
  ~TWorkBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  TWorkBitmap(const TWorkBitmap&) = delete;
  TWorkBitmap& operator=(const TWorkBitmap&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

HFONT MenuFont(bool bold) {
  NONCLIENTMETRICSW nc{};
  nc.cbSize = sizeof nc;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0);
  if (bold) nc.lfMenuFont.lfWeight = FW_BOLD;
  return CreateFontIndirectW(&nc.lfMenuFont);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  const std::wstring shown = text.empty() || text == L"&" ? L" " : text;
  DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r,
            DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP | DT_CALCRECT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The system menu's commands that have a glyph among the skin's menu images (restore,
// maximise, minimise, close).
int SysMenuGlyph(UINT id) {
  switch (id) {
    case SC_RESTORE:
      return 0;
    case SC_MAXIMIZE:
      return 1;
    case SC_MINIMIZE:
      return 2;
    case SC_CLOSE:
      return 3;
    default:
      return -1;
  }
}

bool HasImage(const TMenuItemLook& item) {
  return item.ImageIndex >= 0 && item.Images && item.ImageIndex < item.Images->Count();
}

// One image of the list; in the item's text colour when it is one of the skin's own
// black glyphs (which a dark menu would hide) or disabled.
void DrawGlyph(const TMenuItemLook& item, HDC dc, POINT at, TColor text, bool recolour) {
  if (item.Enabled && !recolour) {
    item.Images->Draw(dc, at.x, at.y, item.ImageIndex);
  } else {
    item.Images->DrawShape(dc, at.x, at.y, item.ImageIndex, ColorToRGB(text));
  }
}

// The system's check mark, centred in the glyph area.
void DrawCheck(HDC dc, const RECT& glyph, const RECT& r) {
  HBITMAP check = LoadBitmapW(nullptr, MAKEINTRESOURCEW(kObmCheck));
  BITMAP info{};
  GetObjectW(check, sizeof info, &info);
  HDC src = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(src, check);
  const int x = glyph.left + (Width(glyph) - info.bmWidth) / 2, y = r.top + (Height(r) - info.bmHeight) / 2;
  const COLORREF text = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT)), back = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, info.bmWidth, info.bmHeight, src, 0, 0, SRCAND);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(check);
}

// The colour of an item's text: selected, plain or disabled.
TColor ItemTextColour(const TSkinData& data, const TMenuItemLook& item, bool selected) {
  const TColor text = data.SchemeColors[csMenuText];
  if (!item.Enabled) {
    return data.SchemeColors[csButtonShadow] == text ? TColor(GetSysColor(COLOR_BTNSHADOW))
                                                     : data.SchemeColors[csButtonShadow];
  }
  return selected ? data.SchemeColors[csHilightText] : text;
}

// The submenu arrow in the item's text colour. Windows draws its own after the owner's
// drawing, on a square of the system's highlight: the item leaves the clipping region so
// that none of it shows.
void DrawSubMenuArrow(HDC dc, const RECT& r, TColor colour) {
  {
    TCanvas canvas(dc);
    canvas.Pen.Color = colour;
    DrawArrow(&canvas, r.right - 12, r.top + (Height(r) - 7) / 2, 3);
  }
  ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
}

// An item of a plain menu; the system menu's commands take the skin's glyphs, an item of
// the class library's menus (a drop-down of the menu bar) its menu's image.
TMenuItemLook SystemItem(HMENU menu, UINT position, const TSkinData& data) {
  TMenuItemLook item = CreateMenuItem(menu, position);
  if (item.ImageIndex >= 0) {
    item.Images = data.MenuImages.get();
  } else if (const TMenuItem* own = TMenu::ItemAt(menu, static_cast<int>(position)); own && own->GetParentMenu()) {
    item.ImageIndex = own->ImageIndex;
    item.Images = own->GetParentMenu()->Images;
  }
  return item;
}

}  // namespace

// ---- The open drop-down's items ----

TOwnerDrawnMenu::TOwnerDrawnMenu(HMENU menu) : outer_(current) {
  Mark(menu);
  current = this;
}

TOwnerDrawnMenu::~TOwnerDrawnMenu() {
  for (const Item& it : items_) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(it.menu, it.position, TRUE, &mi)) continue;
    mi.fType &= ~MFT_OWNERDRAW;
    SetMenuItemInfoW(it.menu, it.position, TRUE, &mi);
  }
  current = outer_;
}

TOwnerDrawnMenu* TOwnerDrawnMenu::Current() { return current; }

void TOwnerDrawnMenu::Mark(HMENU menu) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    const UINT pos = static_cast<UINT>(i);
    if (!GetMenuItemInfoW(menu, pos, TRUE, &mi)) continue;
    if (mi.hSubMenu) Mark(mi.hSubMenu);
    if (mi.fType & (MFT_OWNERDRAW | MFT_BITMAP)) continue;  // someone else's drawing
    items_.push_back(Item{menu, pos, mi.wID, mi.dwItemData});
    mi.fMask = MIIM_FTYPE;
    mi.fType |= MFT_OWNERDRAW;
    SetMenuItemInfoW(menu, pos, TRUE, &mi);
  }
}

bool TOwnerDrawnMenu::Find(ULONG_PTR data, UINT id, HMENU& menu, UINT& position) const {
  for (const Item& it : items_) {
    if (data ? it.data == data : it.id == id) {
      menu = it.menu;
      position = it.position;
      return true;
    }
  }
  return false;
}

TMenuItemLook CreateMenuItem(HMENU menu, UINT position) {
  TMenuItemLook look;
  wchar_t text[256] = {};
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_ID | MIIM_SUBMENU;
  mi.dwTypeData = text;
  mi.cch = 255;
  if (!GetMenuItemInfoW(menu, position, TRUE, &mi)) return look;
  std::wstring caption = text;
  look.Separator = (mi.fType & MFT_SEPARATOR) || caption.empty() || caption == L"-";
  if (const size_t tab = caption.find(L'\t'); tab != std::wstring::npos) {
    look.ShortCut = caption.substr(tab + 1);
    caption.resize(tab);
  }
  look.Caption = caption;
  look.Enabled = !(mi.fState & (MFS_GRAYED | MFS_DISABLED));
  look.Checked = mi.fState & MFS_CHECKED;
  look.Default = mi.fState & MFS_DEFAULT;
  look.SubMenu = mi.hSubMenu != nullptr;
  look.ImageIndex = SysMenuGlyph(mi.wID);
  return look;
}

// ---- Measuring and drawing ----

void TWinSkinForm::WMMEASUREITEM(TMessage& m) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  HMENU menu = nullptr;
  UINT pos = 0;
  TOwnerDrawnMenu* open = TOwnerDrawnMenu::Current();
  if (mis->CtlType != ODT_MENU || !open || !open->Find(mis->itemData, mis->itemID, menu, pos)) {
    Default(m);
    return;
  }
  if (FForm && SkinManager) SkinManager->SetPopMenu();
  const TMenuItemLook item = SystemItem(menu, pos, *FSkinData);
  const int edge = FSkinData->MenuItem ? FSkinData->MenuItem->LeftWidth : 0;
  if (item.Separator) {
    mis->itemWidth = 8;
    mis->itemHeight = 8;
  } else {
    // The menu's own text, its keys after a tab, in the plain menu font.
    HDC dc = GetDC(FHandle);
    HFONT font = MenuFont(false);
    HGDIOBJ old = SelectObject(dc, font);
    const SIZE caption = TextSize(dc, item.Caption);
    const int keys = item.ShortCut.empty() ? 0 : kKeysGap + TextSize(dc, item.ShortCut).cx;
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(FHandle, dc);
    // As DrawItemText lays the item out: glyph place, caption, then the keys before the
    // right margin.
    mis->itemWidth = static_cast<UINT>(1 + edge + kGlyph + 3 + caption.cx + keys + kKeysMargin);
    mis->itemHeight = static_cast<UINT>(std::max<int>(GetSystemMetrics(SM_CYMENU), caption.cy) + 4);
  }
  m.Result = 1;
}

void TWinSkinForm::WMDRAWITEM(TMessage& m) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  HMENU menu = reinterpret_cast<HMENU>(dis->hwndItem);
  HMENU found = nullptr;
  UINT pos = 0;
  TOwnerDrawnMenu* open = TOwnerDrawnMenu::Current();
  if (dis->CtlType != ODT_MENU || !open || !open->Find(dis->itemData, dis->itemID, found, pos) || found != menu) {
    Default(m);
    return;
  }
  if (SkinManager) {
    SkinManager->SetHMenu(menu);
    SkinManager->SetPopMenu();
  }
  DrawHMenuItem2(menu, SystemItem(menu, pos, *FSkinData), dis->itemState & ODS_SELECTED, dis->rcItem, dis->hDC);
  m.Result = 1;
}

// One item of the given menu, from the skin's item frames when it has them.
void TWinSkinForm::DrawHMenuItem2(HMENU menu, const TMenuItemLook& item, bool selected, const RECT& r, HDC dc) {
  if (FSkinData->MenuItem && FSkinData->MenuItem->Image && !FSkinData->MenuItem->Image->Empty()) {
    DrawMenuItem(item, menu, dc, r, selected);
  } else {
    DefaultMenuItem(item, dc, r, selected);
  }
  if (item.SubMenu) DrawSubMenuArrow(dc, r, ItemTextColour(*FSkinData, item, selected));
}

void TWinSkinForm::DrawMenuItem(const TMenuItemLook& item, HMENU menu, HDC dc, const RECT& r, bool selected) {
  const int w = Width(r), h = Height(r);
  if (w <= 0 || h <= 0) return;
  TWorkBitmap work(dc, w, h);
  // The part of the menu window's background under the item; the item's rectangle is in
  // the window's client area, which lies inside its frame.
  TWinSkinPopMenu* window = SkinManager ? SkinManager->FindMenuOf(menu) : nullptr;
  TBitmap* bg = window ? window->Background() : nullptr;
  if (bg && !bg->Empty()) {
    const POINT at = window->ClientOrigin();
    BitBlt(work.Dc(), 0, 0, w, h, bg->Canvas().Handle(), r.left + at.x, r.top + at.y, SRCCOPY);
  } else {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(FSkinData->SchemeColors[csMenubg]));
    const RECT all{0, 0, w, h};
    FillRect(work.Dc(), &all, brush);
    DeleteObject(brush);
  }
  const RECT local{0, 0, w, h};
  if (item.Separator) {
    BitBlt(dc, r.left, r.top, w, h, work.Dc(), 0, 0, SRCCOPY);
    DrawMenuCaption(dc, r);
    return;
  }
  const TDataSkinObject& skin = *FSkinData->MenuItem;
  DrawRect2(work.Dc(), local, skin.Image.get(), false, false, skin.Trans != 0, kItemFrames, selected ? 4 : 1,
            skin.Margins());
  DrawItemText(item, work.Dc(), local, selected);
  BitBlt(dc, r.left, r.top, w, h, work.Dc(), 0, 0, SRCCOPY);
}

void TWinSkinForm::DefaultMenuItem(const TMenuItemLook& item, HDC dc, const RECT& r, bool selected) {
  const int w = Width(r), h = Height(r);
  if (w <= 0 || h <= 0) return;
  TWorkBitmap work(dc, w, h);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(FSkinData->SchemeColors[selected ? csHilight : csMenubg]));
  const RECT local{0, 0, w, h};
  FillRect(work.Dc(), &local, brush);
  DeleteObject(brush);
  if (item.Separator) {
    RECT line{0, h / 2 - 1, w, h};
    DrawEdge(work.Dc(), &line, EDGE_ETCHED, BF_TOP);
  } else {
    DrawItemText(item, work.Dc(), local, selected);
  }
  BitBlt(dc, r.left, r.top, w, h, work.Dc(), 0, 0, SRCCOPY);
}

// Glyph area (image or check mark), caption and shortcut of one item.
void TWinSkinForm::DrawItemText(const TMenuItemLook& item, HDC dc, const RECT& r, bool selected) {
  const int edge = FSkinData->MenuItem ? FSkinData->MenuItem->LeftWidth : 0;
  int place = item.Images && item.Images->Count() > 0 ? item.Images->Width() : kGlyph;
  if (item.Checked) place = std::max(place, kGlyph);
  const RECT glyph{r.left + 1 + edge, r.top + 1, r.left + 1 + edge + place, r.top + 1 + place};
  const TColor colour = ItemTextColour(*FSkinData, item, selected);
  if (HasImage(item)) {
    if (item.Checked) {
      // A checked item with an image shows it on a sunken square.
      const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
      HBRUSH brush =
          CreateSolidBrush(RGB((GetRValue(face) + GetRValue(light)) / 2, (GetGValue(face) + GetGValue(light)) / 2,
                               (GetBValue(face) + GetBValue(light)) / 2));
      RECT box = glyph;
      FillRect(dc, &box, brush);
      DeleteObject(brush);
      DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    }
    const int g = item.Images->Height();
    const int x = item.Checked ? glyph.left + (place - g) / 2 : glyph.left;
    DrawGlyph(item, dc, POINT{x, r.top + (Height(r) - g) / 2}, colour, item.Images == FSkinData->MenuImages.get());
  } else if (item.Checked) {
    DrawCheck(dc, glyph, r);
  }
  HFONT font = MenuFont(item.Default);
  HGDIOBJ old = SelectObject(dc, font);
  const int mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF was = SetTextColor(dc, ColorToRGB(colour));
  const SIZE size = TextSize(dc, item.Caption);
  RECT caption{glyph.right + 3, r.top + (Height(r) - size.cy) / 2, r.right - 1, 0};
  caption.bottom = caption.top + size.cy;
  DrawTextW(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), &caption,
            DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP);
  if (!item.ShortCut.empty()) {
    RECT keys{caption.left, caption.top, r.right - kKeysMargin, caption.bottom};
    DrawTextW(dc, item.ShortCut.c_str(), static_cast<int>(item.ShortCut.size()), &keys,
              DT_RIGHT | DT_SINGLELINE | DT_NOCLIP);
  }
  SetTextColor(dc, was);
  SetBkMode(dc, mode);
  SelectObject(dc, old);
  DeleteObject(font);
}

// The separator: frame 2 of the item image, its edges kept, made transparent at the key
// colour; a row lower than the image shows the image's bottom.
void TWinSkinForm::DrawMenuCaption(HDC dc, const RECT& r) {
  const TDataSkinObject& skin = *FSkinData->MenuItem;
  const int ih = skin.Image->Height();
  RECT line = r;
  if (Height(r) >= ih) {
    line.top = r.top + (Height(r) - ih) / 2;
    line.bottom = line.top + ih;
  }
  const RECT edges{skin.LeftWidth, 0, skin.RightWidth, 0};
  std::unique_ptr<TBitmap> map =
      GetHMap(RECT{0, 0, Width(line), ih}, skin.Image.get(), edges, false, false, kItemFrames, 2);
  if (!map) return;
  TBitmap shown;
  shown.SetSize(Width(line), Height(line));
  BitBlt(shown.Canvas().Handle(), 0, 0, Width(line), Height(line), map->Canvas().Handle(), 0, ih - Height(line),
         SRCCOPY);
  DrawTranmap(dc, line, &shown, kKeyColour);
}

// ---- The program's popup menus ----

namespace {

TMenuItemLook LookOf(const TMenuItem& item) {
  TMenuItemLook look;
  look.Caption = gbk::ToWide(item.Caption());
  look.ShortCut = gbk::ToWide(ShortCutToText(item.ShortCut));
  // A caption copied from a system menu carries its keys after a tab.
  if (const size_t tab = look.Caption.find(L'\t'); tab != std::wstring::npos) {
    if (look.ShortCut.empty()) look.ShortCut = look.Caption.substr(tab + 1);
    look.Caption.resize(tab);
  }
  look.Separator = item.Caption() == "-";
  look.Enabled = item.Enabled();
  look.Checked = item.Checked();
  look.Default = item.Default();
  look.SubMenu = item.Count() > 0;
  look.ImageIndex = item.ImageIndex;
  if (const TMenu* menu = item.GetParentMenu()) look.Images = menu->Images;
  return look;
}

// A skinned item is as high as the class library measured it and wider by the skin's
// item edge and the room for a glyph beside the caption; its keys stand at the right,
// apart from the caption, not at the next tab stop. A separator is the skin's thin row.
void MeasureSkinned(const TSkinData* data, const TMenuItem& item, HDC dc, int& width, int& height, int imageRoom) {
  if (item.Caption() == "-") {
    height = 8;
    return;
  }
  if (const TMenuItemLook look = LookOf(item); !look.ShortCut.empty())
    width = TextSize(dc, look.Caption).cx + kKeysGap + TextSize(dc, look.ShortCut).cx + kKeysMargin;
  if (data && data->MenuItem) width += data->MenuItem->LeftWidth;
  const TMenu* menu = item.GetParentMenu();
  width += menu && menu->Images ? imageRoom : 35;
}

// The drop-downs of a menu bar leave a little less room for a glyph than popup menus.
constexpr int kPopupImageRoom = 12, kBarImageRoom = 10;

void SetItemEvents(TMenuItem* item, TWinSkinForm* skin, bool on, bool bar) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* c = item->Items(i);
    if (on) {
      c->OnAdvancedDrawItem = [skin](TMenuItem* it, TCanvas& canvas, const RECT& r, bool selected) {
        skin->DrawPopupItem(it, canvas, r, selected);
      };
      c->OnMeasureItem = [skin, bar](TMenuItem* it, TCanvas& canvas, int& w, int& h) {
        if (bar) {
          skin->MeasureItem(it, canvas, w, h);
        } else {
          skin->MeasureItemPop(it, canvas, w, h);
        }
      };
    } else {
      c->OnAdvancedDrawItem = nullptr;
      c->OnMeasureItem = nullptr;
    }
    SetItemEvents(c, skin, on, bar);
  }
}

}  // namespace

void TWinSkinForm::InitPopMenu(TComponent* owner, bool on) {
  const bool skinned = InSet(FSkinData->SkinControls, xcPopupMenu);
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
      if (popup->Tag == FSkinData->DisableTag || (on && !skinned)) continue;
      SetItemEvents(popup->Items(), this, on, false);
      popup->SetOwnerDraw(on);
    } else if (c->ComponentCount() > 0) {
      InitPopMenu(c, on);
    }
  }
}

// The items below the menu bar's own, drawn from the skin too when the skin asks for it.
void TWinSkinForm::InitMainMenu(TComponent* owner, bool on) {
  if (on && !InSet(FSkinData->SkinControls, xcMenuItem)) return;
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (auto* bar = dynamic_cast<TMainMenu*>(c)) {
      if (bar->OwnerDraw() == on) continue;
      TMenuItem* top = bar->Items();
      for (int k = 0; k < top->Count(); ++k) SetItemEvents(top->Items(k), this, on, true);
      bar->SetOwnerDraw(on);
    } else if (c->ComponentCount() > 0) {
      InitMainMenu(c, on);
    }
  }
}

void TWinSkinForm::DrawPopupItem(TMenuItem* item, TCanvas& canvas, const RECT& r, bool selected) {
  HWND window = WindowFromDC(canvas.Handle());
  auto* menu = window ? reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)) : nullptr;
  if (SkinManager) {
    SkinManager->SetPopMenu();
    SkinManager->SetHMenu(menu);
  }
  DrawHMenuItem2(menu, LookOf(*item), selected, r, canvas.Handle());
}

void TWinSkinForm::MeasureItemPop(TMenuItem* item, TCanvas& canvas, int& width, int& height) {
  MeasureSkinned(FSkinData, *item, canvas.Handle(), width, height, kPopupImageRoom);
}

// Called also from outside the class library's own measuring (tool-bar items): the
// standard size first.
void TWinSkinForm::MeasureItem(TMenuItem* item, TCanvas& canvas, int& width, int& height) {
  item->MeasureItem(canvas, width, height);
  MeasureSkinned(FSkinData, *item, canvas.Handle(), width, height, kBarImageRoom);
}
