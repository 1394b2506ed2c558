#include "cases/Caserules.h"

#include <algorithm>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

constexpr const char* kProvincesUtf8[kProvinceCount] = {
    "福建省", "北京市", "天津市", "河北省", "山西省", "内蒙古", "辽宁省", "吉林省", "黑龙江省",
    "上海市", "江苏省", "浙江省", "安徽省", "江西省", "山东省", "河南省", "湖北省", "湖南省",
    "广东省", "广西",   "海南省", "四川省", "重庆市", "贵州省", "云南省", "西藏",   "陕西省",
    "甘肃省", "青海省", "宁夏",   "新疆",   "台湾省", "香港",   "澳门",   "未知地"};

constexpr const char* kBranchesUtf8[12] = {"亥", "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌"};

constexpr int64_t kHeaderBytes = sizeof(CaseFileHeader);
constexpr int64_t kRecordBytes = sizeof(CaseRecord);

int16_t ExpectedFileCount(int32_t count) {
  return static_cast<int16_t>(count <= 0 ? 1 : (count - 1) / MDataBase::kRecordsPerFile + 1);
}

int64_t RequiredSize(int32_t fileNo, int32_t count) {
  int64_t records =
      std::clamp<int64_t>(count - int64_t{fileNo} * MDataBase::kRecordsPerFile, 0, MDataBase::kRecordsPerFile);
  return records * kRecordBytes + (fileNo == 0 ? kHeaderBytes : 0);
}

// Every live case of the store in folder lies on the globe.
bool PlacesValid(const std::string& folder, int32_t count) {
  std::vector<CaseRecord> chunk(256);
  for (int32_t n = 0; n < ExpectedFileCount(count); ++n) {
    std::FILE* f = file::Open(folder + Format("bazi%d.dat", n), "rb");
    if (!f) return false;
    std::fseek(f, n == 0 ? static_cast<long>(kHeaderBytes) : 0, SEEK_SET);
    int64_t left = (RequiredSize(n, count) - (n == 0 ? kHeaderBytes : 0)) / kRecordBytes;
    bool ok = true;
    while (ok && left > 0) {
      size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
      ok = std::fread(chunk.data(), sizeof(CaseRecord), want, f) == want;
      for (size_t i = 0; ok && i < want; ++i) {
        ok = chunk[i].deleted != 0 || BirthPlaceValid(chunk[i].longitude, chunk[i].latitude);
      }
      left -= static_cast<int64_t>(want);
    }
    std::fclose(f);
    if (!ok) return false;
  }
  return true;
}

bool Refuse(std::string& error, const char* utf8) {
  error = gbk::FromUtf8(utf8);
  return false;
}

}  // namespace

const std::vector<std::string>& ProvinceNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const char* p : kProvincesUtf8) v.push_back(gbk::FromUtf8(p));
    return v;
  }();
  return names;
}

bool CategoryNameValid(std::string_view trimmed) { return !trimmed.empty() && trimmed.size() <= kMaxCategoryBytes; }

int CategoryCount(long long stored) { return static_cast<int>(std::clamp<long long>(stored, 0, kMaxCategories)); }

int FirstBadCategoryLine(const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!CategoryNameValid(Trim(lines[i]))) return static_cast<int>(i) + 1;
  }
  return 0;
}

int ShownYear(int stored) { return stored < 1 ? stored - 1 : stored; }

int StoredYear(int typed) { return typed < 0 ? typed + 1 : typed; }

int TypedYearOf(std::string_view text) {
  long long v = StrToIntDef(Trim(text), -1000);
  return v < -100000 || v > 100000 ? -1000 : static_cast<int>(v);
}

bool TypedYearValid(int typed, int lowest) { return typed >= lowest && typed <= 2100 && typed != 0; }

std::string CaseNodeText(const CaseRecord& r) {
  std::string s = FieldText(r.name);
  s += gbk::FromUtf8(r.lunar ? "  农" : "  公");
  if (r.lunar && r.leapMonth) s += gbk::FromUtf8("闰");
  s += Format("%d-%d-%d|%d", ShownYear(r.year), r.month, r.day, r.id);
  return s;
}

int32_t CaseIdOfText(std::string_view text) {
  size_t bar = text.rfind('|');
  if (bar == std::string_view::npos) return -1;
  std::string_view digits = text.substr(bar + 1);
  if (digits.empty() || digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
    return -1;
  }
  return static_cast<int32_t>(StrToIntDef(digits, -1));
}

std::string HourItemText(int hour) {
  int h = hour % 2 == 0 ? hour : (hour + 1) % 24;
  return Format("%d", hour) + gbk::FromUtf8("时") + gbk::FromUtf8(kBranchesUtf8[(h / 2 + 1) % 12]);
}

CriteriaError FillCriteria(const SearchFields& f, CaseCriteria& c) {
  CaseCriteria n = c;
  n.province = f.provinceItem <= 0 ? 0xFFFF : static_cast<uint16_t>(f.provinceItem - 1);
  n.sexOn = f.sexItem == 0 ? 0 : 1;
  if (f.sexItem != 0) n.sex = f.sexItem == 1 ? 1 : 0;
  if (f.yearFrom.empty() && f.yearTo.empty()) {
    n.yearOn = 0;
  } else {
    int from = TypedYearOf(f.yearFrom);
    int to = TypedYearOf(f.yearTo);
    if (!TypedYearValid(from, -850) || !TypedYearValid(to, -850)) return CriteriaError::YearRange;
    if (to < from) return CriteriaError::YearOrder;
    n.yearOn = 1;
    n.yearFrom = static_cast<int16_t>(StoredYear(from));
    n.yearTo = static_cast<int16_t>(StoredYear(to));
  }
  n.nameMode = f.name.empty() ? 0 : (f.nameWhole ? 2 : 1);
  if (!f.name.empty()) SetText(n.name, f.name);
  n.categoryMode = f.category.empty() ? 0 : (f.categoryWhole ? 2 : 1);
  if (!f.category.empty()) SetText(n.category, f.category);
  c = n;
  return CriteriaError::None;
}

SearchFields FieldsOf(const CaseCriteria& c) {
  SearchFields f;
  f.provinceItem = c.province == 0xFFFF || c.province >= kProvinceCount ? 0 : c.province + 1;
  f.sexItem = c.sexOn == 0 ? 0 : (c.sex == 1 ? 1 : 2);
  if (c.yearOn) {
    f.yearFrom = IntToStr(ShownYear(c.yearFrom));
    f.yearTo = IntToStr(ShownYear(c.yearTo));
  }
  f.nameWhole = c.nameMode == 2;
  if (c.nameMode != 0) f.name = FieldText(c.name);
  f.categoryWhole = c.categoryMode == 2;
  if (c.categoryMode != 0) f.category = FieldText(c.category);
  return f;
}

void SetPlace(CaseRecord& r, int provinceIndex, std::string_view placeName) {
  if (provinceIndex < 0 || provinceIndex >= kProvinceCount - 1) {
    SetText(r.place, gbk::FromUtf8("未知"));
    return;
  }
  SetText(r.place, ProvinceNames()[static_cast<size_t>(provinceIndex)] + "-" + std::string(placeName));
}

void SetNote(CaseRecord& r, std::string_view memoText) {
  if (memoText.ends_with("\r\n")) memoText.remove_suffix(2);
  SetText(r.note, memoText);
}

void CaseToBirth(const CaseRecord& c, BirthRecord& b) {
  SetText(b.name, FieldText(c.name));
  b.year = c.year;
  b.month = c.month;
  b.day = c.day;
  b.hour = c.hour;
  b.minute = c.minute;
  b.lunar = c.lunar;
  b.leapMonth = c.leapMonth;
  b.male = c.male;
  b.provinceIndex = c.provinceIndex;
  b.cityIndex = c.cityIndex;
  b.longitude = c.longitude;
  b.latitude = c.latitude;
  b.singleSurname = c.singleSurname != 0 ? 1 : 0;
}

void BirthToCase(const BirthRecord& b, CaseRecord& c) {
  SetText(c.name, FieldText(b.name));
  c.year = b.year;
  c.month = b.month;
  c.day = b.day;
  c.hour = b.hour;
  c.minute = b.minute;
  c.lunar = b.lunar;
  c.leapMonth = b.leapMonth;
  c.male = b.male;
  c.provinceIndex = b.provinceIndex;
  c.cityIndex = b.cityIndex;
  c.longitude = b.longitude;
  c.latitude = b.latitude;
  c.singleSurname = b.singleSurname;
  SetText(c.place, FieldText(b.place));
}

std::string CaseReportPath(std::string_view programFolder, int32_t id) {
  return Format("%sbazi_f\\%d.rtf", std::string(programFolder).c_str(), id);
}

bool CheckImportSource(std::string_view path, std::string_view programFolder, std::string& error) {
  std::string folder = ExtractFilePath(path);
  if (SameText(file::NativePath(folder), file::NativePath(std::string(programFolder) + "dat\\"))) {
    return Refuse(error, "不能导入软件自己的历史记录，请选择导出时保存的文件。");
  }
  if (!SameText(ExtractFileName(path), "bazi0.dat")) return Refuse(error, "请选择历史记录文件bazi0.dat。");
  CaseFileHeader h{};
  std::FILE* f = file::Open(path, "rb");
  if (!f) return Refuse(error, "无法读取所选文件。");
  bool whole = std::fread(&h, 1, sizeof h, f) == sizeof h;
  std::fclose(f);
  if (!whole) return Refuse(error, "所选文件不是历史记录文件。");
  bool sane = h.kind == 0 && h.count >= 0 && h.deletedCount >= 0 && h.deletedCount <= h.count && h.reuseFlag <= 1 &&
              h.fileCount == ExpectedFileCount(h.count) && file::Size(path) >= RequiredSize(0, h.count);
  if (!sane) return Refuse(error, "所选文件不是历史记录文件，或已经损坏。");
  for (int32_t n = 1; n < h.fileCount; ++n) {
    if (file::Size(folder + Format("bazi%d.dat", n)) < RequiredSize(n, h.count)) {
      return Refuse(error, "历史记录不完整：缺少数据文件，或文件已经损坏。");
    }
  }
  // An export cut short while it was replacing an older one.
  if (file::Exists(folder + "bazi.new\\ready")) return Refuse(error, "这份历史记录没有导出完，请重新导出后再导入。");
  if (!PlacesValid(folder, h.count))
    return Refuse(error, "所选历史记录中有出生地经纬度错误的命例，已经损坏，不能导入。");
  return true;
}

namespace {

bool DegreesOf(std::string_view text, float& out) {
  size_t colon = text.find(':');
  long long degrees = 0, minutes = 0;
  if (colon == std::string_view::npos || !TryStrToInt(Trim(text.substr(0, colon)), degrees) ||
      !TryStrToInt(Trim(text.substr(colon + 1)), minutes)) {
    return false;
  }
  out = static_cast<float>(static_cast<double>(degrees) + static_cast<double>(minutes) / 60.0);
  return true;
}

}  // namespace

bool PlaceCoordinates(std::string_view value, float& longitude, float& latitude) {
  size_t star = value.find('*');
  if (star == std::string_view::npos) return false;
  float lon = 0, lat = 0;
  if (!DegreesOf(value.substr(0, star), lon) || !DegreesOf(value.substr(star + 1), lat)) return false;
  if (!BirthPlaceValid(lon, lat)) return false;
  longitude = lon;
  latitude = lat;
  return true;
}
