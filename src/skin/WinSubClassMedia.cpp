// The media player's skinner: a panel of skinned buttons laid over the player, which
// passes a completed click on to it.
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

namespace {

const char* const kButtonNames[kMPButtonCount] = {"MPPLAY", "MPPAUSE", "MPSTOP",   "MPNEXT", "MPPREV",
                                                  "MPSTEP", "MPBACK",  "MPRECORD", "MPEJECT"};
const char* const kLooks[3] = {"EN", "DI", "CL"};
constexpr COLORREF kOlive = 0x008080;  // the pictures' transparent colour

int VisibleCount(TMPBtnSet visible) {
  int n = 0;
  for (int i = 0; i < kMPButtonCount; ++i) n += HasButton(visible, i);
  return n;
}

}  // namespace

TWMediaPlayer::TWMediaPlayer(TComponent* owner, TSkinMP* skinner, TMediaPlayer* player)
    : TPaintedControl(owner), skinner_(skinner), player_(player) {
  LoadBitmaps();
  SetParent(player->Parent());
  SetPosition();
}

// A missing picture stays empty: the button's frame is still drawn.
void TWMediaPlayer::LoadBitmaps() {
  for (int i = 0; i < kMPButtonCount; ++i) {
    for (int look = 0; look < 3; ++look) {
      auto& b = bitmaps_[static_cast<size_t>(i)][static_cast<size_t>(look)];
      b = std::make_unique<TBitmap>();
      const std::string name = std::string(kButtonNames[i]) + "_" + kLooks[look];
      HBITMAP h = static_cast<HBITMAP>(LoadImageA(GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, 0));
      if (!h) continue;
      BITMAP info{};
      GetObjectW(h, sizeof info, &info);
      b->SetSize(info.bmWidth, info.bmHeight);
      HDC src = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(src, h);
      BitBlt(b->Canvas().Handle(), 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
      SelectObject(src, old);
      DeleteDC(src);
      DeleteObject(h);
    }
  }
}

void TWMediaPlayer::SetPosition() {
  SetBounds(player_->Left(), player_->Top(), player_->Width(), player_->Height());
  SetVisible(player_->Visible());
  if (HandleAllocated()) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWMediaPlayer::Paint(HDC dc) {
  TSkinData* data = skinner_->Data();
  const int w = ClientWidth(), h = ClientHeight();
  RECT all{0, 0, w, h};
  FillColor(dc, all, data->SchemeColors[csButtonFace]);
  const TDataSkinButton* skin = data->Buttons.get();
  const int n = VisibleCount(player_->VisibleButtons);
  for (int i = 0, slot = 0; i < kMPButtonCount; ++i) {
    if (!HasButton(player_->VisibleButtons, i)) continue;
    const RECT b{slot * w / n, 0, (slot + 1) * w / n, h};
    ++slot;
    const bool enabled = HasButton(player_->EnabledButtons, i);
    const int frame = pressed_ && down_ == i ? 2 : enabled ? 1 : 3;
    if (skin && !EmptyImage(skin->Image.get()))
      DrawRect2(dc, b, skin->Image.get(), false, skin->Tile == 1, skin->Trans == 1, skin->Frame, frame,
                skin->Margins());
    const int look = !enabled ? 1 : HasButton(player_->ColoredButtons, i) ? 2 : 0;
    TBitmap* pic = bitmaps_[static_cast<size_t>(i)][static_cast<size_t>(look)].get();
    if (EmptyImage(pic)) continue;
    TransparentBlt(dc, (b.left + b.right - pic->Width()) / 2, (b.top + b.bottom - pic->Height()) / 2, pic->Width(),
                   pic->Height(), pic->Canvas().Handle(), 0, 0, pic->Width(), pic->Height(), kOlive);
  }
}

LRESULT TWMediaPlayer::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      down_ = TMediaPlayer::ButtonAt(player_->VisibleButtons, ClientWidth(), static_cast<short>(LOWORD(l)));
      pressed_ = down_ >= 0 && HasButton(player_->EnabledButtons, down_);
      SetCapture(Handle());
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      if (GetCapture() == Handle()) ReleaseCapture();
      const bool was = pressed_;
      pressed_ = false;
      const int x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
      const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
      if (was && inside && TMediaPlayer::ButtonAt(player_->VisibleButtons, ClientWidth(), x) == down_)
        player_->Perform(WM_LBUTTONUP, w, l);
      InvalidateRect(Handle(), nullptr, FALSE);
      return 0;
    }
    default:
      return TPaintedControl::WndProc(msg, w, l);
  }
}

// ---- The skinner ----

void TSkinMP::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  auto* player = dynamic_cast<TMediaPlayer*>(control_);
  if (!initialised_ || !player || panel_) return;
  panel_ = new TWMediaPlayer(this, this, player);
}

void TSkinMP::AfterProc(TMessage& m) {
  if (m.Msg == WM_WINDOWPOSCHANGED && panel_) panel_->SetPosition();
  if (m.Msg == WM_SHOWWINDOW && panel_) panel_->SetVisible(m.WParam != 0);
}

void TSkinMP::Unsubclass() {
  TSkinControl::Unsubclass();
  if (stage_ != 6) {
    delete panel_;
    panel_ = nullptr;
  }
}
