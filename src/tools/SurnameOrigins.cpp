#include "tools/SurnameOrigins.h"

#include <set>

#include "classlib/StrUtils.h"
#include "engine/NameTables.h"

namespace {

const char* const kEnd = "[end]";

bool IsKey(const std::string& line) {
  return line.size() > 2 && line.front() == '[' && line.back() == ']' && line != kEnd;
}

}  // namespace

std::vector<std::string> MSurnameOrigins::Surnames() {
  std::vector<std::string> out;
  std::string rest = NameTables::Text().SurnameList;
  while (rest.size() >= 3) {
    const size_t star = Pos("*", rest);
    if (star == 0) break;
    out.push_back(Copy(rest, 1, star - 1));
    Delete(rest, 1, star);
  }
  return out;
}

std::string MSurnameOrigins::Entry(const std::string& surname) const {
  const std::string key = "[" + surname + "]";
  std::string out;
  bool copying = false;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines[i];
    if (copying && line == kEnd) break;
    if (!copying && line == key) copying = true;
    if (copying) out += line + "\r\n";
  }
  return out;
}

std::vector<std::string> MSurnameOrigins::Check() const {
  std::vector<std::string> problems;
  std::set<std::string> keys;
  std::string open;  // key of the entry being read
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines[i];
    const std::string where = "line " + IntToStr(i + 1) + ": ";
    if (IsKey(line)) {
      if (!open.empty()) problems.push_back(where + "no [end] before " + line);
      if (!keys.insert(line).second) problems.push_back(where + "again " + line);
      open = line;
    } else if (line == kEnd) {
      if (open.empty()) problems.push_back(where + "[end] outside an entry");
      open.clear();
    } else if (open.empty() && !Trim(line).empty()) {
      problems.push_back(where + "text outside an entry");
    }
  }
  if (!open.empty()) problems.push_back("no [end] after " + open);
  for (const auto& s : Surnames())
    if (!keys.count("[" + s + "]")) problems.push_back("no entry for [" + s + "]");
  return problems;
}
