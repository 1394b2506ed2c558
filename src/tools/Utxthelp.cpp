#include "tools/Utxthelp.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"

namespace {

const char* const kUsage = R"(Torvik 使用说明

一、姓名分析
在“姓名分析”页输入姓名，选择单姓或复姓，点“输入生日”填写出生时间和出生地，再点“分析”。右边的报告给出五格数理、三才配置、八字五行和喜用神；左边的小面板画出五格。报告可以编辑、另存为文本或RTF文件，也可以打印。

二、个人起名
在“个人起名”页先输入生日，再点“起名条件”选择姓氏、名字字数、性别、五行和字库，然后开始起名。生成的名字按分数排列，每页最多五百个；点一个名字可以在左边面板看到它的五格，双击可以送到分析页细看。名单可以搜索、复制和导出。

三、公司起名
在“公司起名”页输入公司名称，点“测名”得到笔画总数对应的数理和吉凶；数理不吉时，程序列出再加多少笔画的字就能变吉。也可以让程序按条件推荐字号。

四、姓名学字典
“汉字查询”逐字列出输入文字的拼音、笔画、五行和解释；“组合查询”按拼音、用字性别、五行、笔画和部首查找合适的字。

五、81数理吉凶
字典页的“手机号”、“公司”、“车牌号”三个按钮会打开一个输入窗口，一行输入一个号码或名称，点“测算”逐行给出81数理的解释；点“返回”不做改动。输入的内容在本次运行中会被记住。

六、命例
分析过的姓名可以保存为命例，按类别放在左边的命例树中，可以查找、移动、编辑和删除，也可以导出和导入。

七、其他工具
“工具”菜单里有万年历、姓氏起源、猜姓游戏、手机选号和地名编辑等小工具；“设置”菜单可以调整分析方法、报告字体和结尾信息，还可以更换皮肤。

以上内容仅供参考和娱乐，请理性看待。)";

const char* const kHistory = R"(Torvik 升级改进历史

1.0
    第一个版本：姓名分析、个人起名、公司起名、姓名学字典和命例管理。

1.1
    增加万年历、姓氏起源和猜姓游戏。
    报告可以另存为RTF格式，并可设置字体和背景色。

1.2
    增加手机选号工具和手机号、公司名、车牌号的81数理测算，可一次输入多行。
    公司测名在数理不吉时列出可增加的笔画数。
    中英文混排的号码和车牌按整字识别，不再错位。

1.3
    增加快速字库，起名速度更快。
    命例可以按类别整理、导出和导入。
    支持更换窗口皮肤。)";

// clang-format off
const LayoutRow kLayout[] = {
  {New<TPageControl>, "PageControl1", "",             0, 0, 560, 420, "",             alClient},
  {New<TTabSheet>,    "TabUsage",     "使用说明",     0, 0, 552, 392, "PageControl1", alNone},
  {New<TMemo>,        "MeoUsage",     "",             0, 0, 552, 392, "TabUsage",     alClient},
  {New<TTabSheet>,    "TabHistory",   "升级改进历史", 0, 0, 552, 392, "PageControl1", alNone},
  {New<TMemo>,        "MeoHistory",   "",             0, 0, 552, 392, "TabHistory",   alClient},
};
// clang-format on

// The source texts end lines with "\n"; an edit control needs "\r\n".
std::string MemoText(const char* utf8) { return StringReplace(gbk::FromUtf8(utf8), "\n", "\r\n"); }

}  // namespace

TFrmTxtHelp::TFrmTxtHelp(TComponent* owner) : TForm(owner) {
  Name = "FrmTxtHelp";
  SetText(gbk::FromUtf8("软件帮助"));
  Position = poScreenCenter;
  SetClientSize(560, 420);
  BuildLayout();
  DoCreate();
}

void TFrmTxtHelp::BuildLayout() {
  TLayout layout(this, this, kLayout);
  layout.Bind(PageControl1, "PageControl1");
  layout.Bind(TabUsage, "TabUsage");
  layout.Bind(TabHistory, "TabHistory");
  layout.Bind(MeoUsage, "MeoUsage");
  layout.Bind(MeoHistory, "MeoHistory");
  for (TMemo* m : {MeoUsage, MeoHistory}) m->ReadOnly = true;
  MeoUsage->SetText(MemoText(kUsage));
  MeoHistory->SetText(MemoText(kHistory));
  PageControl1->SetActivePageIndex(0);
}
