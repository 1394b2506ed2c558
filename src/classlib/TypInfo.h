// Published properties: the table of accessors by name that a component lists for
// callers who know its class only by name (the skin engine reads and sets the
// properties of other libraries' controls this way). Names compare case-insensitively;
// string properties hold GBK text.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <vector>

class TObject;
using TNotifyEvent = std::function<void(TObject* sender)>;

enum TTypeKind { tkInteger, tkEnumeration, tkString, tkWString, tkClass, tkMethod };

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkInteger;
  std::vector<std::string> ValueNames;  // enumerations: the names by ordinal
  std::function<long long()> GetOrd;    // integers and enumerations
  std::function<void(long long)> SetOrd;
  std::function<std::string()> GetStr;  // string properties
  std::function<void(const std::string&)> SetStr;
  std::function<std::wstring()> GetWStr;  // wide-string properties
  std::function<void(const std::wstring&)> SetWStr;
  std::function<std::any()> GetObj;         // class properties: a pointer of the held class
  std::function<TNotifyEvent()> GetMethod;  // event properties
};

class TPropertyTable {
 public:
  void Integer(const std::string& name, std::function<long long()> get, std::function<void(long long)> set = {});
  void Enumeration(const std::string& name, std::vector<std::string> names, std::function<long long()> get,
                   std::function<void(long long)> set = {});
  // A bool is the enumeration False, True.
  void Boolean(const std::string& name, std::function<bool()> get, std::function<void(bool)> set = {});
  void String(const std::string& name, std::function<std::string()> get,
              std::function<void(const std::string&)> set = {});
  void WideString(const std::string& name, std::function<std::wstring()> get,
                  std::function<void(const std::wstring&)> set = {});
  template <class T>
  void Class(const std::string& name, std::function<T*()> get) {
    Add(TPropInfo{.Name = name, .Kind = tkClass, .GetObj = [get] { return std::any(get()); }});
  }
  void Method(const std::string& name, std::function<TNotifyEvent()> get);
  // The property of that name (any case), or null.
  const TPropInfo* Find(const std::string& name) const;
  bool Empty() const { return props_.empty(); }

 private:
  void Add(TPropInfo p);
  std::vector<TPropInfo> props_;
};

// The value as text: an enumeration's value name, an integer's decimal text, a string's
// text; "" for anything else and for no property.
std::string PropText(const TPropInfo* p);
// An integer property's value; -1 for any other kind and for no property.
int PropInt(const TPropInfo* p);
// An enumeration's value name; "" otherwise.
std::string PropEnumName(const TPropInfo* p);
// Sets the property from text: an enumeration by value name (any case), an integer by
// its decimal text, a string as given. Other kinds, read-only properties, unknown names
// and text that is no number are left alone; answers whether it was set.
bool SetPropText(const TPropInfo* p, const std::string& value);
