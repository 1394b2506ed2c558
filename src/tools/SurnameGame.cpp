#include "tools/SurnameGame.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

MSurnameGame::MSurnameGame()
    : surnames(gbk::FromUtf8("白赵张包鲍谢郑周蔡曹岑熊徐晁陈程褚朱楚崔戴邓许丁董窦薛杜段樊范方严阎冯曾傅高甘葛耿龚巩章"
                             "顾关郭韩郝何贺洪胡华黄"
                             "尤纪杨贾江姜蒋金孔赖姚郎叶雷游李云连梁廖林刘柳卢鲁陆吕罗余马毛梅俞苗倪牛潘庞彭袁岳戚齐祁"
                             "钱乔秦邱任阮邵沈施石史"
                             "宋苏孙汤唐陶田王万卫韦魏温吴伍肖萧")) {
  Reset();
}

void MSurnameGame::Reset() {
  sum = 0;
  weight = 128;
  tablesLeft = 8;
  NextTable(0);
}

void MSurnameGame::NextTable(int answer) {
  if (Finished()) return;
  --tablesLeft;
  sum += weight * answer;
  if (tablesLeft > 0) {
    FillTable();
    weight /= 2;
  }
}

void MSurnameGame::FillTable() {
  table.fill("");
  int k = -1;
  for (int i = 1; i <= kSurnames; ++i) {
    if ((i & (1 << (tablesLeft - 1))) == 0) continue;
    ++k;
    table[(k / kColumns) * kColumns + k % kColumns] = Surname(i);
  }
}

std::string MSurnameGame::PanelText() const {
  if (!Finished()) return gbk::FromUtf8("倒数 第") + IntToStr(tablesLeft) + gbk::FromUtf8(" 张表");
  return sum != 0 ? gbk::FromUtf8("你姓:") + Surname(sum) : "";
}

std::string MSurnameGame::ResultText() const {
  return sum != 0 ? gbk::FromUtf8("你姓:") + Surname(sum) : gbk::FromUtf8("你的姓不在本字库中!");
}

std::string MSurnameGame::ResultCaption() const { return gbk::FromUtf8(sum != 0 ? "猜中" : "意外"); }
