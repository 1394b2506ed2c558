#include "classlib/TStringList.h"

#include <algorithm>

#include "classlib/Files.h"

int TStringList::Add(std::string s) {
  if (!sorted_) {
    items_.push_back(std::move(s));
    return Count() - 1;
  }
  auto at = std::upper_bound(items_.begin(), items_.end(), s);
  int index = static_cast<int>(at - items_.begin());
  items_.insert(at, std::move(s));
  return index;
}

void TStringList::Insert(int index, std::string s) {
  if (index < 0) index = 0;
  if (index > Count()) index = Count();
  items_.insert(items_.begin() + index, std::move(s));
}

void TStringList::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    auto at = std::lower_bound(items_.begin(), items_.end(), s);
    return at != items_.end() && *at == s ? static_cast<int>(at - items_.begin()) : -1;
  }
  auto at = std::find(items_.begin(), items_.end(), s);
  return at == items_.end() ? -1 : static_cast<int>(at - items_.begin());
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void TStringList::Sort() { std::stable_sort(items_.begin(), items_.end()); }

std::string TStringList::Text() const {
  std::string out;
  for (const std::string& s : items_) {
    out += s;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  items_.clear();
  size_t i = 0;
  while (i < text.size()) {
    size_t e = text.find_first_of("\r\n", i);
    if (e == std::string_view::npos) {
      items_.emplace_back(text.substr(i));
      break;
    }
    items_.emplace_back(text.substr(i, e - i));
    i = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
  }
  if (sorted_) Sort();
}

bool TStringList::LoadFromFile(std::string_view path) {
  std::string data;
  if (!file::ReadAll(path, data)) return false;
  SetText(data);
  return true;
}

bool TStringList::SaveToFile(std::string_view path) const { return file::WriteAtomic(path, Text()); }

std::string TStringList::Names(int i) const {
  const std::string& s = items_[i];
  size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int i) const {
  const std::string& s = items_[i];
  size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = items_[i];
    if (s.size() > name.size() && s[name.size()] == '=' && s.compare(0, name.size(), name) == 0) return i;
  }
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  std::string line = std::string(name) + "=" + std::string(value);
  if (i >= 0) {
    items_[i] = line;
  } else {
    Add(line);
  }
}
