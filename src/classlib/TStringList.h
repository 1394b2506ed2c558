// A list of GBK text lines, with name=value access and file loading.
//
// Text() joins the lines with "\r\n", as the program's files and controls expect;
// SetText and LoadFromFile accept "\r\n", "\n" or "\r" line ends. A sorted list keeps
// its order on Add and finds with a binary search; comparisons are byte-wise.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class TStringList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int i) const { return items_[i]; }
  const std::string& Strings(int i) const { return items_[i]; }
  void SetString(int i, std::string s) { items_[i] = std::move(s); }

  int Add(std::string s);  // its index
  void Insert(int index, std::string s);
  void Delete(int index);
  void Clear() { items_.clear(); }
  void Exchange(int a, int b) { std::swap(items_[a], items_[b]); }
  int IndexOf(std::string_view s) const;  // -1 when absent

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  void Sort();

  std::string Text() const;
  void SetText(std::string_view text);
  bool LoadFromFile(std::string_view path);
  bool SaveToFile(std::string_view path) const;

  // "name=value" lines.
  std::string Names(int i) const;
  std::string ValueFromIndex(int i) const;
  std::string Values(std::string_view name) const;
  void SetValue(std::string_view name, std::string_view value);
  int IndexOfName(std::string_view name) const;

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::string> items_;
  bool sorted_ = false;
};
