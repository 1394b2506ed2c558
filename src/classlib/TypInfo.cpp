#include "classlib/TypInfo.h"

#include <utility>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

void TPropertyTable::Add(TPropInfo p) { props_.push_back(std::move(p)); }

void TPropertyTable::Integer(const std::string& name, std::function<long long()> get,
                             std::function<void(long long)> set) {
  Add(TPropInfo{.Name = name, .Kind = tkInteger, .GetOrd = std::move(get), .SetOrd = std::move(set)});
}

void TPropertyTable::Enumeration(const std::string& name, std::vector<std::string> names,
                                 std::function<long long()> get, std::function<void(long long)> set) {
  Add(TPropInfo{.Name = name,
                .Kind = tkEnumeration,
                .ValueNames = std::move(names),
                .GetOrd = std::move(get),
                .SetOrd = std::move(set)});
}

void TPropertyTable::Boolean(const std::string& name, std::function<bool()> get, std::function<void(bool)> set) {
  std::function<void(long long)> ord;
  if (set) ord = [set](long long v) { set(v != 0); };
  Enumeration(
      name, {"False", "True"}, [get] { return get() ? 1LL : 0LL; }, std::move(ord));
}

void TPropertyTable::String(const std::string& name, std::function<std::string()> get,
                            std::function<void(const std::string&)> set) {
  Add(TPropInfo{.Name = name, .Kind = tkString, .GetStr = std::move(get), .SetStr = std::move(set)});
}

void TPropertyTable::WideString(const std::string& name, std::function<std::wstring()> get,
                                std::function<void(const std::wstring&)> set) {
  Add(TPropInfo{.Name = name, .Kind = tkWString, .GetWStr = std::move(get), .SetWStr = std::move(set)});
}

void TPropertyTable::Method(const std::string& name, std::function<TNotifyEvent()> get) {
  Add(TPropInfo{.Name = name, .Kind = tkMethod, .GetMethod = std::move(get)});
}

const TPropInfo* TPropertyTable::Find(const std::string& name) const {
  for (const TPropInfo& p : props_)
    if (SameText(p.Name, name)) return &p;
  return nullptr;
}

std::string PropEnumName(const TPropInfo* p) {
  if (!p || p->Kind != tkEnumeration || !p->GetOrd) return "";
  const long long v = p->GetOrd();
  return v >= 0 && v < static_cast<long long>(p->ValueNames.size()) ? p->ValueNames[static_cast<size_t>(v)] : "";
}

std::string PropText(const TPropInfo* p) {
  if (!p) return "";
  switch (p->Kind) {
    case tkEnumeration:
      return PropEnumName(p);
    case tkInteger:
      return p->GetOrd ? std::to_string(p->GetOrd()) : "";
    default:
      return "";
  }
}

int PropInt(const TPropInfo* p) { return p && p->Kind == tkInteger && p->GetOrd ? static_cast<int>(p->GetOrd()) : -1; }

bool SetPropText(const TPropInfo* p, const std::string& value) {
  if (!p) return false;
  switch (p->Kind) {
    case tkEnumeration:
      if (!p->SetOrd) return false;
      for (size_t i = 0; i < p->ValueNames.size(); ++i) {
        if (!SameText(p->ValueNames[i], value)) continue;
        p->SetOrd(static_cast<long long>(i));
        return true;
      }
      return false;
    case tkInteger: {
      long long v = 0;
      if (!p->SetOrd || !TryStrToInt(value, v)) return false;
      p->SetOrd(v);
      return true;
    }
    case tkString:
      if (!p->SetStr) return false;
      p->SetStr(value);
      return true;
    case tkWString:
      if (!p->SetWStr) return false;
      {
        const std::u16string u = gbk::ToUtf16(value);
        p->SetWStr(std::wstring(u.begin(), u.end()));
      }
      return true;
    default:
      return false;
  }
}
