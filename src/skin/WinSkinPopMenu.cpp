// The popup-menu window skin.
#include <cstdio>

#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"

namespace {

const wchar_t kPopMenuProp[] = L"TorvikSkinPopMenu";
constexpr int kFrame = 3;                   // the menu window's border
constexpr DWORD kDcxUseStyle = 0x00010000;  // the window class's own DC settings

TWinSkinPopMenu* newskinmenu = nullptr;

// The name of a message a menu window sees, or its number.
std::string MessageName(UINT msg) {
  switch (msg) {
    case WM_DESTROY:
      return "WM_DESTROY";
    case WM_PAINT:
      return "WM_PAINT";
    case WM_ERASEBKGND:
      return "WM_ERASEBKGND";
    case WM_WINDOWPOSCHANGED:
      return "WM_WINDOWPOSCHANGED";
    case WM_NCPAINT:
      return "WM_NCPAINT";
    case WM_PRINT:
      return "WM_PRINT";
    case WM_PRINTCLIENT:
      return "WM_PRINTCLIENT";
    case WM_TIMER:
      return "WM_TIMER";
    default: {
      char number[16];
      std::snprintf(number, sizeof number, "0x%04x", msg);
      return number;
    }
  }
}

}  // namespace

TWinSkinPopMenu* NewSkinMenu() { return newskinmenu; }

TWinSkinPopMenu::TWinSkinPopMenu() : Bitmap(std::make_unique<TBitmap>()) {}

TWinSkinPopMenu::~TWinSkinPopMenu() {
  UnSubClass();
  if (newskinmenu == this) newskinmenu = nullptr;
}

void TWinSkinPopMenu::InitSkin(HWND window, TSkinData* data, HMENU menu) {
  Wnd = window;
  Data = data;
  MenuHandle = menu;
  IsOwnPopup = false;
  SetPropW(Wnd, kPopMenuProp, this);
  OldWndProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

void TWinSkinPopMenu::UnSubClass() {
  if (!OldWndProc) return;
  if (HasRegion) {
    DeleteObject(Region);
    HasRegion = false;
    Region = nullptr;
  }
  if (IsWindow(Wnd)) {
    SetWindowLongPtrW(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldWndProc));
    RemovePropW(Wnd, kPopMenuProp);
  }
  OldWndProc = nullptr;
  Bitmap = std::make_unique<TBitmap>();
}

LRESULT CALLBACK TWinSkinPopMenu::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TWinSkinPopMenu*>(GetPropW(h, kPopMenuProp));
  if (!self || !self->OldWndProc) return DefWindowProcW(h, msg, w, l);
  TMessage m{msg, w, l, 0};
  self->WinWndProc(m);
  return m.Result;
}

void TWinSkinPopMenu::AddLog(const TMessage& m) {
  if (!Data) return;
  const std::string name = MessageName(m.Msg);
  char line[96];
  std::snprintf(line, sizeof line, "Menu hook:%4x %s", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(Wnd)),
                name.c_str());
  Data->DoDebug(line);
}

void TWinSkinPopMenu::Default(TMessage& m) { m.Result = CallWindowProcW(OldWndProc, Wnd, m.Msg, m.WParam, m.LParam); }

void TWinSkinPopMenu::WinWndProc(TMessage& m) {
  if (m.Msg == CN_IsSkinned) {
    m.Result = 1;
    return;
  }
  if (!SkinManager || !SkinManager->Enabled) {
    Default(m);
    return;
  }
  PaintPending = false;
  switch (m.Msg) {
    case WM_DESTROY: {
      WNDPROC old = OldWndProc;
      HWND wnd = Wnd;
      UnSubClass();
      m.Result = CallWindowProcW(old, wnd, m.Msg, m.WParam, m.LParam);
      break;
    }
    case WM_ERASEBKGND:
      if (!(WinVersion & 0x80000000u)) {
        WMERASEBKGND(m);
      } else {
        m.Result = 1;
      }
      break;
    case WM_NCPAINT:
      NcPaint(m);
      break;
    case WM_PRINT:
      WMPrint(m);
      break;
    case WM_PAINT:
      // Some systems draw the menu's edge in the client area while painting the items:
      // the skin's frame goes back over it.
      Default(m);
      if (Usable()) {
        HDC dc = GetWindowDC(Wnd);
        BuildBackground();
        PaintFrame(dc);
        ReleaseDC(Wnd, dc);
      }
      break;
    default:
      Default(m);
  }
}

void TWinSkinPopMenu::WMERASEBKGND(TMessage& m) {
  if (!InSet(Data->Options, xoMenuBG)) Default(m);
  m.Result = 1;
}

bool TWinSkinPopMenu::Usable() const {
  return Data && !Data->SkinEmpty && Data->MenuBackground && Data->MenuBackground->Image &&
         !Data->MenuBackground->Image->Empty();
}

void TWinSkinPopMenu::BuildBackground() {
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  const RECT r{0, 0, Width(wr), Height(wr)};
  const TDataSkinObject& bg = *Data->MenuBackground;
  std::unique_ptr<TBitmap> map = GetHMap(r, bg.Image.get(), bg.Margins(), false, bg.Tile == 1, 1, 1);
  if (map) Bitmap = std::move(map);
}

TBitmap* TWinSkinPopMenu::Background() {
  if (!Usable()) return nullptr;
  if (Bitmap->Empty()) BuildBackground();
  return Bitmap.get();
}

POINT TWinSkinPopMenu::ClientOrigin() const {
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  POINT p{0, 0};
  ClientToScreen(Wnd, &p);
  return POINT{p.x - wr.left, p.y - wr.top};
}

// The frame rows and columns, then the whole background; the update region limits it.
void TWinSkinPopMenu::PaintFrame(HDC dc) {
  const int w = Bitmap->Width(), h = Bitmap->Height();
  if (w == 0 || h == 0) return;
  HDC src = Bitmap->Canvas().Handle();
  BitBlt(dc, 0, 0, w, kFrame, src, 0, 0, SRCCOPY);
  BitBlt(dc, 0, h - kFrame, w, kFrame, src, 0, h - kFrame, SRCCOPY);
  BitBlt(dc, 0, 0, kFrame, h, src, 0, 0, SRCCOPY);
  BitBlt(dc, w - kFrame, 0, kFrame, h, src, w - kFrame, 0, SRCCOPY);
}

void TWinSkinPopMenu::NcPaint(TMessage& m) {
  if (!Usable()) {
    Default(m);
    return;
  }
  HRGN update = reinterpret_cast<HRGN>(m.WParam);
  HDC dc = nullptr;
  if (reinterpret_cast<UINT_PTR>(update) > 1) dc = GetDCEx(Wnd, update, DCX_WINDOW | DCX_INTERSECTRGN | kDcxUseStyle);
  if (!dc) dc = GetWindowDC(Wnd);
  BuildBackground();
  if (!MenuHandle) newskinmenu = this;
  PaintFrame(dc);
  BitBlt(dc, 0, 0, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
  ReleaseDC(Wnd, dc);
  m.Result = 0;
}

void TWinSkinPopMenu::WMPrint(TMessage& m) {
  if (!Usable()) {
    Default(m);
    return;
  }
  if (!MenuHandle) newskinmenu = this;
  RECT wr{};
  if (!GetWindowRect(Wnd, &wr)) {
    Default(m);
    return;
  }
  OffsetRect(&wr, -wr.left, -wr.top);
  HRGN inner = CreateRectRgn(kFrame, kFrame, wr.right - kFrame, wr.bottom - kFrame);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  BuildBackground();
  BitBlt(dc, 0, 0, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
  const int mode = SetBkMode(dc, TRANSPARENT);
  SelectClipRgn(dc, inner);
  Default(m);
  SelectClipRgn(dc, nullptr);
  DeleteObject(inner);
  SetBkMode(dc, mode);
}

void TWinSkinPopMenu::WMPrintClient(TMessage& m) {
  Default(m);
  if (!Usable()) return;
  RECT wr{};
  GetWindowRect(Wnd, &wr);
  OffsetRect(&wr, -wr.left, -wr.top);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  BuildBackground();
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, kFrame, kFrame, wr.right - kFrame, wr.bottom - kFrame);
  BitBlt(dc, 0, 0, Bitmap->Width(), Bitmap->Height(), Bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

void TWinSkinPopMenu::UpdateMenu(TMessage& m) {
  if (static_cast<int>(m.WParam) == SelItem) return;
  Default(m);
  SelItem = static_cast<int>(m.WParam);
  InvalidateRect(Wnd, nullptr, FALSE);
  PaintPending = true;
}
