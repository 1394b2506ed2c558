#include "engine/NameTables.h"

#include <string_view>

#include "classlib/Gbk.h"

namespace NameTables {

namespace {

// Good numbers; the half-good ones follow; every other number is bad.
constexpr int kGood81[] = {1,  3,  5,  6,  7,  8,  11, 13, 15, 16, 17, 18, 21, 23, 24, 25, 31,
                           32, 33, 35, 37, 39, 41, 45, 47, 48, 52, 57, 63, 65, 67, 68, 81};
constexpr int kHalf81[] = {29, 38, 55, 58, 61, 71, 73, 75, 77, 78};
static_assert(std::size(kGood81) == 33 && std::size(kHalf81) == 10);

constexpr std::array<uint8_t, 81> MakeClass81(bool alt) {
  std::array<uint8_t, 81> t{};
  for (int n : kGood81) t[n % 81] = 2;
  for (int n : kHalf81) t[n % 81] = (alt && (n == 29 || n == 73)) ? 2 : 1;
  return t;
}

// One string per heaven element and person element (both 木 火 土 金 水); its five
// digits are the classes for the earth element in the same order.
constexpr std::string_view kTalentRows[25] = {
    "22200", "21200", "01000", "00000", "10001",  // heaven 木
    "22201", "21000", "12200", "00100", "00001",  // heaven 火
    "11000", "21210", "02220", "00220", "00000",  // heaven 土
    "00000", "00000", "11220", "00200", "00021",  // heaven 金
    "21200", "00000", "00000", "00210", "00000",  // heaven 水
};

constexpr std::array<uint8_t, 125> MakeTalentClass() {
  std::array<uint8_t, 125> t{};
  for (int i = 0; i < 125; ++i) t[i] = static_cast<uint8_t>(kTalentRows[i / 5][i % 5] - '0');
  return t;
}

// Stroke rows 1 to 27, UTF-8, written by gen/nametables.
#include "engine/StrokeRows.inc"

// Splits a space-separated UTF-8 list into GBK entries.
template <size_t N>
std::array<std::string, N> Split(std::string_view utf8) {
  std::array<std::string, N> out;
  size_t i = 0;
  while (!utf8.empty() && i < N) {
    size_t sp = utf8.find(' ');
    out[i++] = gbk::FromUtf8(utf8.substr(0, sp));
    utf8 = sp == std::string_view::npos ? std::string_view() : utf8.substr(sp + 1);
  }
  return out;
}

template <size_t N>
std::array<std::string, N> Rows(const char* const (&utf8)[N]) {
  std::array<std::string, N> out;
  for (size_t i = 0; i < N; ++i) out[i] = gbk::FromUtf8(utf8[i]);
  return out;
}

Texts MakeTexts() {
  Texts t;
  t.SolarTermNames = Split<24>(
      "小寒 大寒 立春 雨水 惊蛰 春分 清明 谷雨 立夏 小满 芒种 夏至 小暑 大暑 立秋 处暑 白露 秋分 寒露 霜降 立冬 小雪 "
      "大雪 冬至");
  t.WeekdayNames = Split<7>("一 二 三 四 五 六 日");
  t.StemNames = Split<10>("癸 甲 乙 丙 丁 戊 己 庚 辛 壬");
  t.BranchNames = Split<12>("亥 子 丑 寅 卯 辰 巳 午 未 申 酉 戌");
  t.TenGodNames = Split<15>("比肩 劫财 食神 伤官 偏财 正财 七杀 正官 偏印 正印 比劫 食伤 财星 官杀 印枭");
  t.ElementNames = Split<6>("水 木 火 土 金 无");
  t.DigitElement = Split<10>("水 木 木 火 火 土 土 金 金 水");
  t.GridNames = Split<5>("天 人 地 总 外");
  t.DayNumerals = Split<33>(
      "零 一 二 三 四 五 六 七 八 九 十 十一 十二 十三 十四 十五 十六 十七 十八 十九 二十 廿一 廿二 廿三 廿四 廿五 "
      "廿六 廿七 廿八 廿九 三十 三一 三二");
  t.LuckWords = Split<3>("吉 凶 平");
  t.CompoundSurnames = Split<81>(
      "欧阳 太史 端木 上官 司马 东方 独孤 南宫 万俟 闻人 夏侯 诸葛 尉迟 公羊 赫连 澹台 皇甫 宗政 濮阳 公冶 太叔 申屠 "
      "公孙 慕容 仲孙 钟离 长孙 宇文 司徒 鲜于 司空 闾丘 子车 亓官 司寇 巫马 公西 颛孙 壤驷 公良 漆雕 乐正 宰父 谷梁 "
      "拓跋 夹谷 轩辕 令狐 段干 百里 呼延 东郭 南门 羊舌 微生 公户 公玉 公仪 梁丘 公仲 公上 公门 公山 公坚 左丘 公伯 "
      "西门 公祖 第五 公乘 贯丘 公皙 南荣 东里 东宫 仲长 子书 子桑 即墨 达奚 褚师");
  t.SurnameList = gbk::FromUtf8(
      "赵*钱*孙*李*周*吴*郑*王*冯*陈*褚*卫*蒋*沈*韩*杨*朱*秦*尤*许*何*吕*施*张*孔*曹*严*华*金*魏*陶*姜*戚*谢*邹*喻*柏*"
      "水*窦*章*云*苏*潘*葛*奚*范*彭*郎*鲁*韦*昌*马*苗*凤*花*方*俞*任*袁*柳*酆*鲍*史*唐*费*廉*岑*薛*雷*贺*倪*汤*滕*殷*"
      "罗*毕*郝*邬*安*常*乐*于*时*傅*皮*卞*齐*康*伍*余*元*卜*顾*孟*平*黄*和*穆*萧*尹*姚*邵*湛*汪*祁*毛*禹*狄*米*贝*明*"
      "臧*计*伏*成*戴*谈*宋*茅*庞*熊*纪*舒*屈*项*祝*董*梁*杜*阮*蓝*闵*席*季*麻*强*贾*路*娄*危*江*童*颜*郭*梅*盛*林*刁*"
      "钟*徐*邱*骆*高*夏*蔡*田*樊*胡*凌*霍*虞*万*支*柯*昝*管*卢*莫*经*房*裘*缪*干*解*应*宗*丁*宣*贲*邓*郁*单*杭*洪*包*"
      "诸*左*石*崔*吉*钮*龚*程*嵇*邢*滑*裴*陆*荣*翁*荀*羊*於*惠*甄*曲*家*封*芮*羿*储*靳*汲*邴*糜*松*井*段*富*巫*乌*焦*"
      "巴*弓*牧*隗*山*谷*车*侯*宓*蓬*全*郗*班*仰*秋*仲*伊*宫*宁*仇*栾*暴*甘*钭*厉*戎*祖*武*符*刘*景*詹*束*龙*叶*幸*司*"
      "韶*郜*黎*蓟*薄*印*宿*白*怀*蒲*邰*从*鄂*索*咸*籍*赖*卓*蔺*屠*蒙*池*乔*阴*胥*能*苍*双*闻*莘*党*翟*谭*贡*劳*逄*姬*"
      "申*扶*堵*冉*宰*郦*雍*却*璩*桑*桂*濮*牛*寿*通*边*扈*燕*冀*郏*浦*尚*农*温*别*庄*晏*柴*瞿*阎*充*慕*连*茹*习*宦*艾*"
      "鱼*容*向*古*易*慎*戈*廖*庾*终*暨*居*衡*步*都*耿*满*弘*匡*国*文*寇*广*禄*阙*东*欧*殳*沃*利*蔚*越*夔*隆*师*巩*厍*"
      "聂*晁*勾*敖*融*冷*訾*辛*阚*那*简*饶*空*曾*毋*沙*乜*养*鞠*须*丰*巢*关*蒯*相*查*后*荆*红*游*竺*权*逯*盖*益*桓*公*"
      "晋*楚*闫*法*汝*鄢*涂*钦*岳*帅*缑*亢*况*郈*佘*佴*墨*哈*谯*笪*年*爱*阳*佟*言*福*仉*督*万俟*司马*上官*欧阳*夏侯*"
      "诸葛*闻人*东方*赫连*皇甫*尉迟*公羊*澹台*公冶*宗政*濮阳*太叔*申屠*公孙*仲孙*轩辕*令狐*钟离*宇文*长孙*慕容*鲜于*"
      "闾丘*司徒*司空*亓官*司寇*子车*颛孙*端木*巫马*乐正*拓跋*谷梁*段干*百里*东郭*南门*呼延*左丘*西门*南宫*第五*公西*"
      "漆雕*壤驷*公良*夹谷*宰父*微生*羊舌*");
  t.KangxiStrokeChars = Rows(kKangxiRows);
  t.SimplifiedStrokeChars = Rows(kSimplifiedRows);
  t.StrengthStates = Split<5>("旺 相 休 囚 死");
  t.UsefulGodNames = Split<5>("用神 喜神 忌神 仇神 闲神");
  t.DayMasterClasses = Split<7>("从旺 太弱 偏弱 平和 偏旺 太旺 从弱");
  return t;
}

}  // namespace

const std::array<uint8_t, 81> NumberClass81 = MakeClass81(false);
const std::array<uint8_t, 81> NumberClass81Alt = MakeClass81(true);
const std::array<uint8_t, 125> ThreeTalentClass = MakeTalentClass();

const Texts& Text() {
  static const Texts texts = MakeTexts();
  return texts;
}

int Fold81(int n) { return n > 81 ? (n - 81) % 80 + 1 : n; }

int NumberClass(int n) { return NumberClass81[Fold81(n) % 81]; }

int NumberClassAlt(int n) { return NumberClass81Alt[Fold81(n) % 81]; }

int DigitElementOf(int n) { return DigitCode[n % 10] / 2; }

int TalentElement(int n) {
  int d = n % 10;
  if (d % 2 == 1) ++d;
  int e = (d % 10) / 2;
  return e == 0 ? 5 : e;
}

int TalentClass(int t, int r, int d) { return ThreeTalentClass[(t - 1) * 25 + (r - 1) * 5 + (d - 1)]; }

int TalentTextId(int t, int r, int d) { return 100 * (2 * t - 1) + 10 * (2 * r - 1) + (2 * d - 1); }

int PersonalityTextId(int personGrid) {
  int d = personGrid % 10;
  return 1290 + (d == 0 ? 10 : d);
}

}  // namespace NameTables
