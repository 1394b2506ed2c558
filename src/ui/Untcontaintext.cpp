#include "ui/Untcontaintext.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"

namespace {

using gbk::U;

// The list with rows of a fixed, roomier height.
class TNameList : public TListBox {
 public:
  using TListBox::TListBox;

 protected:
  DWORD CreateStyle() const override { return TListBox::CreateStyle() | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS; }
  void AfterCreate() override {
    TListBox::AfterCreate();
    HDC dc = GetDC(nullptr);
    int ppi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    Perform(LB_SETITEMHEIGHT, 0, ContainTextRowHeight(Font().Size, ppi));
  }
  bool HandleDrawItem(DRAWITEMSTRUCT* d) override {
    if (d->itemID == static_cast<UINT>(-1)) return true;
    bool selected = d->itemState & ODS_SELECTED;
    FillRect(d->hDC, &d->rcItem, selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : BackgroundBrush());
    RECT text = d->rcItem;
    text.left += 4;
    SetBkMode(d->hDC, TRANSPARENT);
    SetTextColor(d->hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(Font().Color));
    std::wstring w = gbk::ToWide(Items()[static_cast<int>(d->itemID)]);
    DrawTextW(d->hDC, w.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (d->itemState & ODS_FOCUS) DrawFocusRect(d->hDC, &d->rcItem);
    return true;
  }
};

// clang-format off
const LayoutRow kLayout[] = {
  {New<TNameList>, "LstName", "",       8,   8, 184, 260, "", alNone},
  {New<TButton>,   "BitBtn1", "查看",  20, 276,  72,  26, "", alNone},
  {New<TButton>,   "BitBtn2", "取消", 108, 276,  72,  26, "", alNone},
};
// clang-format on

}  // namespace

int ContainTextRowHeight(int fontSize, int pixelsPerInch) { return (fontSize * pixelsPerInch / 72) * 3 / 2; }

TFrmContainText::TFrmContainText(TComponent* owner) : TForm(owner) {
  Name = "FrmContainText";
  SetText(U("双击查看姓名"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(200, 310);
  TLayout layout(this, this, kLayout);
  layout.Bind(LstName, "LstName");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(BitBtn2, "BitBtn2");
  BitBtn1->Default = true;  // Enter on a chosen name shows it
  BitBtn2->ModalResult = mrCancel;
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  LstName->OnDblClick = [this](TObject* s) { BitBtn1Click(s); };
  DoCreate();
}

void TFrmContainText::BitBtn1Click(TObject*) {
  if (LstName->ItemIndex() < 0) {
    ShowMessage(U("请选择一个姓名！"));
    return;
  }
  ModalResult = mrOk;
}
