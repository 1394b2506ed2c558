#include "tools/Utxthelp.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"

namespace {

const char* const kUsage = R"(Torvik 使用说明

一、姓名分析
在“姓名分析”页的“尊姓大名”中输入姓名，选择单姓或复姓，再点“测名”。要把出生时间算进去，就点“输入生日”，填好出生日期、时辰和出生地后点“确定”，程序随即分析。右边的报告给出五格数理、三才配置、八字五行和喜用神；左边的面板用五行的颜色写出姓名，并列出五格、得分和三才，点其中的字或格可以看解释。报告可以编辑，在报告上点右键可以另存为文本或RTF文件、打印或设置字体。“用神”按钮可以改定喜用神。

二、个人起名
在“个人起名”页先点“输入生日”，再在“起名条件”中选择姓氏、名字字数、性别、五行、起名方式和字库，点“起名”开始。生成的名字按分数从高到低排列，每页五百个，用“<”和“>”翻页。单击一个名字，左边面板显示它的五格；再点面板上的“解”字，或在名单上点右键选“查看姓名分析”，就在“姓名分析”页得到它的完整分析。在“包含文字”中输入一个字后按回车，可以找出含有这个字的名字，用“<<<”和“>>>”前后查看，“名”按钮列出全部找到的名字。右键菜单还可以复制姓名和导出全部姓名。

三、公司起名
在“公司起名”页输入公司名称，点“测名”得到笔画总数对应的数理和吉凶；数理不吉时，程序列出再加多少笔画的字就能变吉。填好公司名前缀、中间名字数、后缀和想要的五行后点“起名”，程序推荐中间可用的字。

四、姓名学字典
“汉字查询”逐字列出输入文字的拼音、笔画、五行和解释；“组合查询”按拼音、用字性别、五行、笔画和偏旁查找合适的字。

五、81数理吉凶
字典页的“手机号”、“公司”、“车牌号”三个按钮会打开一个输入窗口，一行输入一个号码或名称，点“测算”逐行给出81数理的解释；点“返回”不做改动。输入的内容在本次运行中会被记住。

六、命例
分析过的姓名可以用“文件”菜单的“保存新命”保存为命例（在“软件设置”中也可以设为每次分析后自动保存），按类别放在左边的命例树中。在命例树上点右键，可以查看、编辑、移动和删除命例，增加或修改类别，以及查找命例。“文件”菜单还可以导出、导入和清除历史记录。

七、其他工具
“辅助工具”菜单里有巧猜姓氏、百家姓查询、编辑起名字库、经纬度设置、万年历和挑选手机号。“选项”菜单里的“命稿设置”调整报告的字体和背景色，“命稿结尾信息”编辑报告末尾的文字，“软件设置”选择分析方法，“界面风格”更换皮肤。

在输入框中按回车相当于点窗口的默认按钮，按Esc相当于点“取消”。

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
