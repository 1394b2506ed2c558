#include "skin/WinSubClass.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/WinSkinForm.h"

namespace {

const wchar_t kLinkProp[] = L"TorvikSkinLink";

}  // namespace

// The window's procedure as we took it over, and who answers for the window now. With
// no skinner, the link only passes messages on (another subclass sits above ours).
struct TSkinControl::Link {
  WNDPROC old = nullptr;
  TSkinControl* skinner = nullptr;
};

TSkinControl::TSkinControl(TComponent* control) : TComponent(control) {}

TSkinControl::~TSkinControl() {
  if (control_ && recolour_ && stage_ != 6 && control_->HandleAllocated()) control_->SetColor(savedColour_);
  Detach();
  if (formSkin_) formSkin_->DeleteControl(this);
}

bool TSkinControl::Attach(HWND wnd) {
  auto* link = static_cast<Link*>(GetPropW(wnd, kLinkProp));
  if (link && link->skinner) return false;  // one skinner a window
  if (!link) {
    link = new Link;
    link->old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
    SetPropW(wnd, kLinkProp, link);
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkProc));
  }
  link->skinner = this;
  link_ = link;
  return true;
}

// Gives the window back. When our procedure is still on top the old one returns; when
// another subclass sits above, the link stays, passing messages on, and the window frees
// it when it goes. A window that is already gone took its property with it.
void TSkinControl::Detach() {
  if (!link_) return;
  Link* link = link_;
  link_ = nullptr;
  if (!IsWindow(wnd_) || GetPropW(wnd_, kLinkProp) != link) {
    delete link;
    return;
  }
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd_, GWLP_WNDPROC)) == &LinkProc) {
    SetWindowLongPtrW(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->old));
    RemovePropW(wnd_, kLinkProp);
    delete link;
  } else {
    link->skinner = nullptr;
  }
}

LRESULT CALLBACK TSkinControl::LinkProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* link = static_cast<Link*>(GetPropW(h, kLinkProp));
  if (!link) return DefWindowProcW(h, msg, w, l);
  if (link->skinner) {
    TMessage m{msg, w, l, 0};
    link->skinner->NewWndProc(m);
    return m.Result;
  }
  WNDPROC old = link->old;
  if (msg == WM_NCDESTROY) {
    RemovePropW(h, kLinkProp);
    delete link;
  }
  return CallWindowProcW(old, h, msg, w, l);
}

void TSkinControl::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  if (initialised_) return;
  recolour_ = recolour;
  data_ = data;
  formSkin_ = formSkin;
  canvas_ = canvas;
  control_ = dynamic_cast<TControl*>(Owner());
  if (!control_) return;
  wnd_ = control_->Handle();
  unicode_ = IsWindowUnicode(wnd_);
  if (!Attach(wnd_)) return;
  if (formSkin_) formSkin_->AddControlList(this);
  if (recolour_) {
    savedColour_ = control_->Color();
    control_->SetColor(Face());
  }
  // The first paint waits for the derived skinner, which may still load its images. A
  // form skinner repaints its form once all its controls are skinned; a control skinned
  // on its own asks for its paint here, which comes after the derived skinner's Init.
  if (!formSkin_) control_->Invalidate();
  initialised_ = true;
  stage_ = 1;
}

void TSkinControl::Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  if (initialised_) return;
  data_ = data;
  canvas_ = canvas;
  formSkin_ = formSkin;
  wnd_ = wnd;
  enabled_ = true;
  variant_ = 0;
  unicode_ = IsWindowUnicode(wnd);
  text_ = WindowTextW(wnd);
  if (!Attach(wnd)) return;
  if (formSkin_) formSkin_->AddControlList(this);
  InvalidateRect(wnd, nullptr, TRUE);
  initialised_ = true;
  stage_ = 1;
}

void TSkinControl::Unsubclass() {
  if (recolour_ && control_ && stage_ != 6) control_->SetColor(savedColour_);
}

void TSkinControl::SkinChange() {
  if (recolour_ && control_) control_->SetColor(Face());
  Invalidate();
}

void TSkinControl::NewWndProc(TMessage& m) {
  if (m.Msg == CN_SkinEnable) {
    skinningOn_ = m.WParam > 0;
    if (skinningOn_) {
      Invalidate();
    } else if (wnd_) {
      InvalidateRect(wnd_, nullptr, TRUE);
    }
    return;
  }
  if (!skinningOn_) {
    Default(m);
    return;
  }
  if (BeforeProc(m)) {
    Default(m);
    AfterProc(m);
  }
}

void TSkinControl::Default(TMessage& m) {
  if (!link_) {
    m.Result = wnd_ ? DefWindowProcW(wnd_, m.Msg, m.WParam, m.LParam) : 0;
    return;
  }
  m.Result = CallWindowProcW(link_->old, wnd_, m.Msg, m.WParam, m.LParam);
}

bool TSkinControl::BeforeProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCDESTROY:
      Default(m);
      skinningOn_ = false;
      stage_ = 6;
      Unsubclass();
      Detach();
      return false;
    case CN_IsSkinned:
      m.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinControl::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintControl(reinterpret_cast<HDC>(m.WParam));
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
}

void TSkinControl::PaintControl(HDC dc) {
  if (!wnd_ || !GetWindowRect(wnd_, &windowRect_)) return;
  const RECT r = Sized(windowRect_);
  if (dc) {
    DrawControl(dc, r);
    return;
  }
  HDC own = GetWindowDC(wnd_);
  DrawControl(own, r);
  ReleaseDC(wnd_, own);
}

void TSkinControl::DrawControl(HDC, const RECT&) {}

void TSkinControl::Invalidate() {
  if (!wnd_) return;
  InvalidateRect(wnd_, nullptr, TRUE);
  UpdateWindow(wnd_);
}

void TSkinControl::MouseLeave() {
  if (wnd_) SendMessageW(wnd_, CM_MOUSELEAVE, 0, 0);
}

// ---- Painting helpers ----

TColor TSkinControl::Face() const { return data_ ? data_->SchemeColors[csButtonFace] : clBtnFace; }

void FillColor(HDC dc, const RECT& r, TColor colour) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(colour));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void TSkinControl::FillBG(HDC dc, const RECT& r) const { FillColor(dc, r, Face()); }

TColor TSkinControl::GetParentColor(TColor def) const {
  const TPropInfo* colour = control_ ? FindPublished(control_->Parent(), "Color") : nullptr;
  return colour && colour->Kind == tkInteger ? static_cast<TColor>(colour->GetOrd()) : def;
}

LONG TSkinControl::GetWindowLongEx(HWND wnd, int index) const {
  return unicode_ ? GetWindowLongW(wnd, index) : GetWindowLongA(wnd, index);
}

// The systems of the engine's time gave the desktop a fixed handle; ours asks for it.
bool IsTopPopup(HWND wnd) {
  return GetParent(wnd) == GetDesktopWindow() || (GetWindowLongW(wnd, GWL_STYLE) & WS_POPUP) != 0;
}

void TSkinControl::FillParentBG(HDC dc, const RECT& r) const { FillColor(dc, r, GetParentColor(Face())); }

void DrawTextOn(HDC dc, const std::wstring& text, RECT& r, UINT flags) {
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TSkinControl::DrawFocus(HDC dc, const std::wstring& text, const RECT& r, UINT flags) const {
  RECT t = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT | DT_NOCLIP);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  if (flags & DT_CENTER) {
    OffsetRect(&t, (r.right - r.left - tw) / 2, (r.bottom - r.top - th) / 2 - 1);
  } else if (flags & DT_RIGHT) {
    OffsetRect(&t, r.right - r.left - tw, 0);
  }
  InflateRect(&t, 2, 1);
  RECT clipped;
  if (IntersectRect(&clipped, &t, &r)) DrawFocusRect(dc, &clipped);
}

void TSkinControl::DrawCaption(HDC dc, const RECT& r, const std::wstring& text, bool enabled, UINT align) const {
  const UINT flags = align | DT_EXPANDTABS;
  RECT t = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT | DT_NOCLIP);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  OffsetRect(&t, 0, (r.bottom - r.top - th) / 2 - 1);
  if (align == DT_CENTER) {
    OffsetRect(&t, (r.right - r.left - tw) / 2, 0);
  } else {
    t.left = r.left;
    t.right = r.right;
  }
  if (!enabled) SetTextColor(dc, ColorToRGB(static_cast<TColor>(0x80000000 | COLOR_BTNSHADOW)));
  DrawTextOn(dc, text, t, CheckBiDi(flags));
}

void TSkinControl::DrawImgCaption(HDC dc, const RECT& r, UINT align, const std::wstring& text, int index,
                                  HIMAGELIST images) const {
  ImgCaption(dc, r, align, text, index, images, enabled_, CheckBiDi(0));
}

int TextHeight(HDC dc, const std::string& text) {
  SIZE s{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
  return s.cy;
}

void TSkinControl::DrawSkinMap(HDC dc, const RECT& r, const TDataSkinObject* obj, int frame, int frames) const {
  if (!obj || EmptyImage(obj->Image.get()) || r.right < r.left || r.bottom < r.top) return;
  auto map = GetHMap(Sized(r), obj->Image.get(), obj->Margins(), false, obj->Tile == 1, frames, frame);
  if (!map) return;
  if (obj->Trans == 1) {
    DrawTranmap(dc, r, map.get(), kKeyColour);
  } else {
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, map->Canvas().Handle(), 0, 0, SRCCOPY);
  }
}

void DrawSkinMap2(HDC dc, const RECT& r, TBitmap* bmp, int frame, int frames) {
  if (EmptyImage(bmp) || r.right <= r.left || r.bottom <= r.top) return;
  DrawRect1(dc, r, bmp, true, frames, frame);
}

void TSkinControl::WMPaint(const TMessage& m) {
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) dc = BeginPaint(wnd_, &ps);
  if (GetWindowRect(wnd_, &windowRect_)) DrawControl(dc, Sized(windowRect_));
  if (!m.WParam) EndPaint(wnd_, &ps);
}

void TSkinControl::WMERASEBKGND(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (control_) {
    DrawParentImage(control_, dc, false);
  } else {
    RECT r;
    GetClientRect(wnd_, &r);
    FillParentBG(dc, r);
  }
  m.Result = 1;
}

HFONT TSkinControl::WindowFont() const { return reinterpret_cast<HFONT>(SendMessageW(wnd_, WM_GETFONT, 0, 0)); }

std::wstring TSkinControl::CaptionText() const { return WindowTextW(wnd_); }

std::wstring WindowTextW(HWND wnd) {
  const int n = GetWindowTextLengthW(wnd);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(wnd, s.data(), n + 1)));
  return s;
}

void CopyBMP(TBitmap* src, TBitmap* dst) {
  if (!src || !dst) return;
  dst->SetSize(src->Width(), src->Height());
  dst->PixelFormat = src->PixelFormat;
  if (!src->Empty())
    BitBlt(dst->Canvas().Handle(), 0, 0, src->Width(), src->Height(), src->Canvas().Handle(), 0, 0, SRCCOPY);
}

// ---- Rules the skinners share ----

RECT Sized(const RECT& r) { return RECT{0, 0, r.right - r.left, r.bottom - r.top}; }
bool EmptyImage(const TBitmap* b) { return !b || b->Empty() || b->Width() == 0 || b->Height() == 0; }

bool ParentBackground(const TControl* c, const TSkinData* d) {
  return (c && c->Tag == kParentBackgroundTag) || (d && InSet(d->Options, xoParentBackGround));
}

bool Disabled(HWND w) { return (GetWindowLongW(w, GWL_STYLE) & WS_DISABLED) != 0; }
