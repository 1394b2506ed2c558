#include "classlib/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/StrUtils.h"

// Shows an exception that escaped a message handler (Forms.cpp): exceptions never
// cross the system's frames of a window procedure.
void ApplicationHandleException();

COLORREF ColorToRGB(TColor c) { return (c & 0x80000000) ? GetSysColor(c & 0xFF) : static_cast<COLORREF>(c & 0xFFFFFF); }

// ---- TComponent ----

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
  while (!components_.empty()) delete components_.back();  // each removes itself
  if (owner_) owner_->Remove(this);
}

void TComponent::Remove(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

const TPropertyTable& TComponent::Published() {
  if (!published_) {
    published_ = std::make_unique<TPropertyTable>();
    PublishProperties(*published_);
  }
  return *published_;
}

void TComponent::PublishProperties(TPropertyTable& t) {
  t.String(
      "Name", [this] { return Name; }, [this](const std::string& v) { Name = v; });
  t.Integer(
      "Tag", [this] { return Tag; }, [this](long long v) { Tag = static_cast<int>(v); });
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : components_) {
    if (SameText(c->Name, name)) return c;
  }
  return nullptr;
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {}

void TControl::PublishProperties(TPropertyTable& t) {
  TComponent::PublishProperties(t);
  t.Integer(
      "Color", [this] { return Color(); }, [this](long long v) { SetColor(static_cast<TColor>(v)); });
  t.Boolean(
      "Enabled", [this] { return Enabled(); }, [this](bool v) { SetEnabled(v); });
  t.Boolean(
      "Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); });
  t.String(
      "Caption", [this] { return Caption(); }, [this](const std::string& v) { SetCaption(v); });
  t.String(
      "Hint", [this] { return Hint; }, [this](const std::string& v) { Hint = v; });
  t.Boolean(
      "ShowHint", [this] { return ShowHint; }, [this](bool v) { ShowHint = v; });
  t.Method("OnClick", [this] { return OnClick; });
}

TControl::~TControl() {
  DestroyHandle();
  if (brush_) DeleteObject(brush_);
  SetParent(nullptr);
}

const wchar_t* TControl::ControlPropName() {
  static const std::wstring name = [] {
    std::string n =
        Format("ControlOfs%.8X%.8X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))),
               static_cast<unsigned>(GetCurrentThreadId()));
    return std::wstring(n.begin(), n.end());
  }();
  return name.c_str();
}

namespace {

// Our controls by window, beside the window property that the skin engine reads: every
// message looks its control up, and GetPropW costs a trip to the window server under Wine.
// One map a thread, as the property's name is.
std::unordered_map<HWND, TControl*>& ControlMap() {
  thread_local std::unordered_map<HWND, TControl*> map;
  return map;
}

void Forget(HWND h) {
  RemovePropW(h, TControl::ControlPropName());
  ControlMap().erase(h);
}

}  // namespace

TControl* TControl::FromHandle(HWND h) {
  if (!h) return nullptr;
  auto& map = ControlMap();
  auto it = map.find(h);
  return it == map.end() ? nullptr : it->second;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent_ == parent) return;
  if (parent_) {
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    parent_->ChildBoundsChanged();
  }
  parent_ = parent;
  if (parent_) {
    parent_->controls_.push_back(this);
    if (hwnd_) {
      ::SetParent(hwnd_, parent_->Handle());
    } else if (parent_->HandleAllocated() && MadeWithParent()) {
      CreateHandle();
    }
    if (align_ != alNone) parent_->AlignControls();
    parent_->ChildBoundsChanged();
  }
}

DWORD TControl::CreateStyle() const {
  DWORD s = WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_) s |= WS_VISIBLE;
  if (!enabled_) s |= WS_DISABLED;
  return s;
}

void TControl::RegisterClassOnce() {
  std::string cls = ClassName();
  std::wstring wcls(cls.begin(), cls.end());
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(inst, wcls.c_str(), &wc)) return;
  if (const wchar_t* baseName = BaseClassName()) {
    if (!GetClassInfoExW(nullptr, baseName, &wc) && !GetClassInfoExW(inst, baseName, &wc)) {
      throw Exception("no window class " + gbk::FromWide(baseName));
    }
  } else {
    wc.style = CS_DBLCLKS;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;
  }
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = StaticProc;
  wc.hInstance = inst;
  wc.lpszClassName = wcls.c_str();
  wc.style &= ~CS_GLOBALCLASS;
  int baseExtra = wc.cbClsExtra;
  wc.cbClsExtra = baseExtra + static_cast<int>(sizeof(LONG_PTR));
  ATOM atom = RegisterClassExW(&wc);
  if (!atom) throw Exception("cannot register window class " + cls);
}

// The procedure our class replaced: the base class's, or the default one.
WNDPROC TControl::BaseProc() const {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  const wchar_t* baseName = BaseClassName();
  if (baseName &&
      (GetClassInfoExW(nullptr, baseName, &wc) || GetClassInfoExW(GetModuleHandleW(nullptr), baseName, &wc)))
    return wc.lpfnWndProc;
  return DefWindowProcW;
}

void TControl::CreateHandle() {
  if (hwnd_) return;
  RegisterClassOnce();
  HWND parentWnd = parent_ ? parent_->Handle() : parentWindow_;
  if (hwnd_) return;  // making the parent's window made ours too
  std::wstring wcls;
  for (char c : ClassName()) wcls += static_cast<wchar_t>(c);
  DWORD style = CreateStyle();
  HMENU id = nullptr;
  if ((style & WS_CHILD) && parent_) {
    TWinControl* top = parent_;
    while (top->parent_) top = top->parent_;
    id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(top->NextChildId()));
  }
  HWND h = CreateWindowExW(ExStyle(), wcls.c_str(), gbk::ToWide(text_).c_str(), style, left_, top_, width_,
                           height_ + ExtraWindowHeight(), parentWnd, id, GetModuleHandleW(nullptr), this);
  if (!h) throw Exception("cannot create window " + ClassName());
  ApplyFont();
  AfterCreate();
  if (parent_) parent_->HintToolCreated(h);
}

void TControl::DestroyHandle() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  if (parent_) parent_->HintToolDestroyed(h);
  Forget(h);
  hwnd_ = nullptr;
  // The window's own procedure stays in place for the rest of its life.
  if (baseProc_) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
  DestroyWindow(h);
}

void TControl::Attach(HWND h) {
  hwnd_ = h;
  SetPropW(h, ControlPropName(), this);
  ControlMap()[h] = this;
  // The replaced procedure sits in the class's last extra bytes, put there by the first
  // window of the class, for the messages a window gets before its object is attached
  // (the first one's come before: they are the default procedure's, as for our own classes).
  int extra = static_cast<int>(GetClassLongPtrW(h, GCL_CBCLSEXTRA)) - static_cast<int>(sizeof(LONG_PTR));
  baseProc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrW(h, extra));
  if (!baseProc_) {
    baseProc_ = BaseProc();
    SetClassLongPtrW(h, extra, reinterpret_cast<LONG_PTR>(baseProc_));
  }
}

HWND TControl::Handle() {
  if (!hwnd_) CreateHandle();
  return hwnd_;
}

LRESULT CALLBACK TControl::StaticProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TControl* self = FromHandle(h);
  if (!self && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
    self = static_cast<TControl*>(cs->lpCreateParams);
    if (self) self->Attach(h);
  }
  if (!self) {
    int extra = static_cast<int>(GetClassLongPtrW(h, GCL_CBCLSEXTRA)) - static_cast<int>(sizeof(LONG_PTR));
    auto base = reinterpret_cast<WNDPROC>(GetClassLongPtrW(h, extra));
    return CallWindowProcW(base ? base : DefWindowProcW, h, msg, w, l);
  }
  if (msg == WM_NCDESTROY) {
    LRESULT r = self->DefaultHandler(msg, w, l);
    Forget(h);
    self->hwnd_ = nullptr;
    return r;
  }
  // The form's tooltip learns of the mouse here, whatever loop took the message.
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && self->parent_) self->parent_->HintRelay(MSG{h, msg, w, l, 0, {}});
  try {
    return self->WndProc(msg, w, l);
  } catch (...) {
    ApplicationHandleException();
    return 0;
  }
}

LRESULT TControl::DefaultHandler(UINT msg, WPARAM w, LPARAM l) {
  return CallWindowProcW(baseProc_ ? baseProc_ : DefWindowProcW, hwnd_, msg, w, l);
}

HBRUSH TControl::BackgroundBrush() {
  COLORREF c = ColorToRGB(color_);
  if (!brush_ || brushColor_ != c) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(c);
    brushColor_ = c;
  }
  return brush_;
}

HBRUSH TControl::HandleCtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(font_.Color));
  SetBkColor(dc, ColorToRGB(color_));
  return BackgroundBrush();
}

LRESULT TControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_COMMAND:
      if (TControl* c = l ? FromHandle(reinterpret_cast<HWND>(l)) : nullptr; c && c != this) {
        if (SendMessageW(c->hwnd_, CN_COMMAND, w, l)) return 0;
      }
      break;
    case CN_COMMAND:
      return HandleCommand(HIWORD(w)) ? 1 : 0;
    case WM_NOTIFY: {
      auto* n = reinterpret_cast<NMHDR*>(l);
      LRESULT result = 0;
      TControl* c = FromHandle(n->hwndFrom);
      // Custom drawing is answered by whoever paints the child, which may subclass it.
      if (c && c != this && n->code == static_cast<UINT>(NM_CUSTOMDRAW)) return SendMessageW(c->hwnd_, CN_NOTIFY, w, l);
      if (c && c != this && c->HandleNotify(n, result)) return result;
      break;
    }
    case CN_NOTIFY: {
      LRESULT result = CDRF_DODEFAULT;
      HandleNotify(reinterpret_cast<NMHDR*>(l), result);
      return result;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (TControl* c = FromHandle(reinterpret_cast<HWND>(l)); c && c != this)
        return SendMessageW(c->hwnd_, CN_BASE + msg, w, l);
      break;
    case CN_BASE + WM_CTLCOLORSTATIC:
    case CN_BASE + WM_CTLCOLOREDIT:
    case CN_BASE + WM_CTLCOLORBTN:
    case CN_BASE + WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(HandleCtlColor(reinterpret_cast<HDC>(w)));
    case WM_MEASUREITEM:
      if (TMenuItem::OwnerDrawMessage(msg, l)) return TRUE;
      break;
    case WM_SYSCOMMAND:
      if (DialogChar(w, l)) return 0;
      break;
    case WM_MENUCOMMAND:
      if (TMenuItem* item = TMenu::ItemAt(reinterpret_cast<HMENU>(l), static_cast<int>(w))) {
        item->Click();
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      if (PopupMenu && reinterpret_cast<HWND>(w) == hwnd_) {
        POINT at{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        if (l == -1) {  // from the keyboard: at the control's corner
          at = {0, 0};
          ClientToScreen(hwnd_, &at);
        }
        PopupMenu->PopupComponent = this;
        PopupMenu->Popup(at.x, at.y, hwnd_);
        return 0;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (TControl* c = FromHandle(reinterpret_cast<HWND>(l)); c && c != this && c->HandleScroll(LOWORD(w))) return 0;
      break;
    case WM_DRAWITEM:
      if (auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(l); d->CtlType != ODT_MENU) {
        if (TControl* c = FromHandle(d->hwndItem); c && c != this && c->HandleDrawItem(d)) return TRUE;
      } else if (TMenuItem::OwnerDrawMessage(msg, l)) {
        return TRUE;
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(l);
      if (!(wp->flags & SWP_NOMOVE)) {
        left_ = wp->x;
        top_ = wp->y;
      }
      if (!(wp->flags & SWP_NOSIZE)) {
        width_ = wp->cx;
        height_ = wp->cy;
      }
      break;
    }
    case WM_SIZE:
      if (OnResize) OnResize(this);
      break;
    case WM_GETFONT:
      // The default window procedure keeps no font; a window of our own class paints
      // with the one its object made.
      if (!BaseClassName()) return reinterpret_cast<LRESULT>(hfont_.get());
      break;
    default:
      break;
  }
  return DefaultHandler(msg, w, l);
}

// Alt with a character in one of a form's controls: the form has the first say (a menu
// bar it draws itself opens that menu) before the system looks for a bar of its own.
bool TControl::DialogChar(WPARAM w, LPARAM l) {
  if ((w & 0xFFF0) != SC_KEYMENU || l == 0 || l == ' ' || l == '-' || IsIconic(hwnd_) || GetCapture()) return false;
  HWND form = GetAncestor(hwnd_, GA_ROOT);
  return form && form != hwnd_ && SendMessageW(form, CM_DIALOGCHAR, static_cast<WPARAM>(l), 0) != 0;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (hwnd_) MoveWindow(hwnd_, left, top, width, height + ExtraWindowHeight(), TRUE);
  if (parent_ && align_ != alNone) parent_->AlignControls();
  if (parent_) parent_->ChildBoundsChanged();
}

int TControl::ClientWidth() {
  if (!hwnd_) return width_;
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.right;
}

int TControl::ClientHeight() {
  if (!hwnd_) return height_;
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.bottom;
}

void TControl::SetAlign(TAlign a) {
  align_ = a;
  if (parent_) parent_->AlignControls();
}

std::string TControl::Text() {
  if (!hwnd_) return text_;
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd_, buf.data(), n + 1);
  buf.resize(static_cast<size_t>(std::max(n, 0)));
  return gbk::FromWide(buf);
}

void TControl::SetText(const std::string& s) {
  text_ = s;
  if (hwnd_) SetWindowTextW(hwnd_, gbk::ToWide(s).c_str());
}

void TControl::SetVisible(bool v) {
  const bool changed = visible_ != v;
  visible_ = v;
  if (hwnd_) ShowWindow(hwnd_, v ? SW_SHOW : SW_HIDE);
  if (changed) Perform(CM_VISIBLECHANGED, v);
  if (parent_ && align_ != alNone) parent_->AlignControls();
  if (parent_ && changed) parent_->ChildBoundsChanged();
}

void TControl::SetEnabled(bool v) {
  const bool changed = enabled_ != v;
  enabled_ = v;
  if (hwnd_) EnableWindow(hwnd_, v);
  if (changed) Perform(CM_ENABLEDCHANGED);
}

void TControl::SetFont(const TFont& f) {
  font_ = f;
  ParentFont = false;
  ApplyFont();
  if (auto* wc = dynamic_cast<TWinControl*>(this)) {
    for (int i = 0; i < wc->ControlCount(); ++i) {
      if (wc->Controls(i)->ParentFont) {
        wc->Controls(i)->SetFont(f);
        wc->Controls(i)->ParentFont = true;
      }
    }
  }
}

void TControl::ApplyFont() {
  if (ParentFont && parent_) font_ = parent_->font_;
  if (!hwnd_) return;
  std::shared_ptr<HFONT__> f = SharedFont(font_);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(f.get()), TRUE);
  hfont_ = std::move(f);
}

const TFont& TControl::EffectiveFont() const {
  const TControl* c = this;
  while (c->ParentFont && c->parent_) c = c->parent_;
  return c->font_;
}

HFONT CreateFontHandle(const TFont& f, bool crisp) {
  static const int ppi = [] {
    HDC dc = GetDC(nullptr);
    int v = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return v;
  }();
  int height = -MulDiv(f.Size, ppi, 72);
  return CreateFontW(height, 0, 0, 0, f.Bold ? FW_BOLD : FW_NORMAL, f.Italic, f.Underline, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, crisp ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY,
                     DEFAULT_PITCH, gbk::ToWide(f.Name).c_str());
}

std::shared_ptr<HFONT__> SharedFont(const TFont& f, bool crisp) {
  using Key = std::tuple<std::string, int, bool, bool, bool, bool>;
  thread_local std::map<Key, std::weak_ptr<HFONT__>> fonts;
  std::weak_ptr<HFONT__>& slot = fonts[Key{f.Name, f.Size, f.Bold, f.Italic, f.Underline, crisp}];
  std::shared_ptr<HFONT__> font = slot.lock();
  if (!font) {
    font = std::shared_ptr<HFONT__>(CreateFontHandle(f, crisp), [](HFONT h) { DeleteObject(h); });
    slot = font;
  }
  return font;
}

void TControl::SetColor(TColor c) {
  color_ = c;
  Invalidate();
}

LRESULT TControl::Perform(UINT msg, WPARAM w, LPARAM l) { return hwnd_ ? SendMessageW(hwnd_, msg, w, l) : 0; }

void TControl::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TControl::Repaint() {
  if (hwnd_) {
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
  }
}

// ---- TWinControl ----

TWinControl::~TWinControl() {
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
}

void TWinControl::RecreateWnd() {
  if (!hwnd_) return;
  Perform(CM_RECREATEWND);
  text_ = TControl::Text();
  DestroyHandle();
  CreateHandle();
}

void TWinControl::CreateHandle() {
  TControl::CreateHandle();
  for (TControl* c : std::vector<TControl*>(controls_)) {
    if (!c->HandleAllocated() && c->MadeWithParent()) c->CreateHandle();
  }
  AlignControls();
}

// Lays out the aligned children: top and bottom bands first, then left and right, then
// the client control in what is left, in the order the children were added. They move
// in one step, so that none is painted over at its old place while the others move.
void TWinControl::AlignControls() {
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  std::vector<TControl*> placed;
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : controls_) {
      if (c->align_ != pass || !c->visible_) continue;
      int x = r.left, y = r.top, cw = r.right - r.left, ch = r.bottom - r.top;
      switch (pass) {
        case alTop:
          ch = c->height_;
          r.top += ch;
          break;
        case alBottom:
          ch = c->height_;
          y = r.bottom - ch;
          r.bottom -= ch;
          break;
        case alLeft:
          cw = c->width_;
          r.left += cw;
          break;
        case alRight:
          cw = c->width_;
          x = r.right - cw;
          r.right -= cw;
          break;
        default:
          break;
      }
      c->left_ = x;
      c->top_ = y;
      c->width_ = std::max(cw, 0);
      c->height_ = std::max(ch, 0);
      if (c->hwnd_) placed.push_back(c);
    }
  }
  // Children already in place stay as they are.
  struct Move {
    TControl* control;
    RECT from, to;  // in this window's client area
  };
  std::vector<Move> moves;
  for (TControl* c : placed) {
    RECT from;
    GetWindowRect(c->hwnd_, &from);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&from), 2);
    const RECT to{c->left_, c->top_, c->left_ + c->width_, c->top_ + c->height_ + c->ExtraWindowHeight()};
    if (!EqualRect(&from, &to)) moves.push_back({c, from, to});
  }
  if (moves.empty()) return;
  // The moves draw nothing themselves: the system would paint each child's frame at once,
  // at every level of a nested layout. Each moved child and the parent's part it left or
  // took are marked for one paint afterwards.
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
  HDWP step = BeginDeferWindowPos(static_cast<int>(moves.size()));
  for (const Move& m : moves) {
    if (!step) break;
    step = DeferWindowPos(step, m.control->hwnd_, nullptr, m.to.left, m.to.top, m.to.right - m.to.left,
                          m.to.bottom - m.to.top, kFlags);
  }
  if (step) {
    EndDeferWindowPos(step);
  } else {
    // Without the system's room for a deferred step the children move one by one.
    for (const Move& m : moves)
      SetWindowPos(m.control->hwnd_, nullptr, m.to.left, m.to.top, m.to.right - m.to.left, m.to.bottom - m.to.top,
                   kFlags);
  }
  for (const Move& m : moves) {
    RECT both;
    UnionRect(&both, &m.from, &m.to);
    RedrawWindow(hwnd_, &both, nullptr, RDW_INVALIDATE | RDW_ERASE);
    // A child that only changed its size keeps its own children where they were (those it
    // moves it marks itself); one that moved takes them along, to be drawn anew.
    const bool shifted = m.from.left != m.to.left || m.from.top != m.to.top;
    RedrawWindow(m.control->hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | (shifted ? RDW_ALLCHILDREN : 0));
  }
}

void TWinControl::MoveFreeControls(int dx, int dy) {
  for (TControl* c : controls_) {
    if (c->align_ != alNone) continue;
    c->left_ += dx;
    c->top_ += dy;
    if (c->hwnd_) SetWindowPos(c->hwnd_, nullptr, c->left_, c->top_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int TWinControl::NextChildId() {
  if (nextChildId_ >= 0xFFFF) nextChildId_ = kFirstChildId;
  return nextChildId_++;
}

void TWinControl::HintToolCreated(HWND h) {
  if (parent_) parent_->HintToolCreated(h);
}

void TWinControl::HintToolDestroyed(HWND h) {
  if (parent_) parent_->HintToolDestroyed(h);
}

void TWinControl::HintRelay(const MSG& m) {
  if (parent_) parent_->HintRelay(m);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_SIZE) AlignControls();
  if (msg == WM_SETFOCUS) BroadcastToForm(hwnd_, CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(hwnd_));
  return TControl::WndProc(msg, w, l);
}

void TWinControl::Broadcast(UINT msg, WPARAM w, LPARAM l) {
  for (TControl* c : controls_) {
    if (c->HandleAllocated()) SendMessageW(c->hwnd_, msg, w, l);
    if (auto* inner = dynamic_cast<TWinControl*>(c)) inner->Broadcast(msg, w, l);
  }
}

void TWinControl::BroadcastToForm(HWND within, UINT msg, WPARAM w, LPARAM l) {
  HWND top = within ? GetAncestor(within, GA_ROOT) : nullptr;
  if (auto* form = dynamic_cast<TWinControl*>(TControl::FromHandle(top))) form->Broadcast(msg, w, l);
}
