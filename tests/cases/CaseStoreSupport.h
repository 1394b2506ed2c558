// Shared by the case store's tests and benchmark: stores in temp folders, sample
// cases, raw access to the data files and a comparable picture of a whole store.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cases/Database.h"
#include "classlib/Files.h"
#include "classlib/StrUtils.h"
#include "support/TempFolder.h"

namespace cases_test {

inline std::string DataPath(const TempFolder& t, int n) { return t.Path(Format("dat\\bazi%d.dat", n)); }

// A program folder with its "dat" folder, as an installation has.
inline void MakeProgramFolder(const TempFolder& t) { file::CreateDir(t.Path("dat")); }

inline CaseRecord MakeCase(int i) {
  CaseRecord r{};
  SetText(r.name, Format("%s%d", gbk::FromUtf8("\xE5\xBC\xA0").c_str(), i));  // 张 + number
  SetText(r.category, Format("c%d", i % 3));
  SetText(r.note, Format("note %d", i));
  r.year = static_cast<int16_t>(1900 + i % 120);
  r.month = static_cast<int16_t>(1 + i % 12);
  r.day = static_cast<int16_t>(1 + i % 28);
  r.male = static_cast<uint8_t>(i % 2);
  r.provinceIndex = static_cast<int16_t>(i % 35);
  r.longitude = 120.0f;
  r.latitude = 30.0f;
  r.singleSurname = 1;
  return r;
}

inline std::string Bytes(const CaseRecord& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }

inline std::string ReadRaw(const std::string& path) {
  std::string data;
  file::ReadAll(path, data);
  return data;
}

inline void WriteRaw(const std::string& path, const std::string& data) {
  std::FILE* f = file::Open(path, "wb");
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
}

inline CaseFileHeader ReadHeader(const std::string& path) {
  CaseFileHeader h{};
  std::string raw = ReadRaw(path);
  std::memcpy(&h, raw.data(), std::min(raw.size(), sizeof h));
  return h;
}

inline void PatchHeader(const std::string& path, const CaseFileHeader& h) {
  std::string raw = ReadRaw(path);
  raw.replace(0, sizeof h, reinterpret_cast<const char*>(&h), sizeof h);
  WriteRaw(path, raw);
}

// Every file under a folder byte for byte (data files, reports, whatever else lies
// there) but the lock file. Folder given with its trailing separator.
struct Disk {
  std::map<std::string, std::string> files;
  bool operator==(const Disk&) const = default;
};

inline void Gather(const std::string& folder, const std::string& prefix, Disk& d) {
  for (const std::string& name : file::List(folder, "")) {
    if (name != "bazi.lck") d.files[prefix + name] = ReadRaw(folder + name);
  }
  for (const std::string& name : file::ListFolders(folder)) Gather(folder + name + "\\", prefix + name + "/", d);
}

inline Disk Look(const std::string& folder) {
  Disk d;
  Gather(folder, "", d);
  return d;
}

// From now on the store writes its journals and nothing after them, as a process that
// dies there: the next change leaves its journal for the next Open to finish.
inline void DieAfterJournal(MDataBase& db) {
  db.SetPathFaultHook([](int, const std::string& path) {
    return path.find(".dat") == std::string::npos && !path.ends_with("bazi.jnl");
  });
}

// Everything a caller can see of a store: its header and each slot (live bytes or "-").
struct Picture {
  std::string header;
  std::vector<std::string> slots;
  bool operator==(const Picture&) const = default;
};

inline bool TakePicture(const TempFolder& t, Picture& p) {
  MDataBase db;
  if (!db.Open(t.Dir(), 0)) return false;
  p.header = ReadRaw(DataPath(t, 0)).substr(0, sizeof(CaseFileHeader));
  p.slots.clear();
  int32_t count = db.GetCount();
  for (int32_t id = 0; id < count; ++id) {
    CaseRecord r;
    p.slots.push_back(db.Read(id, r) ? Bytes(r) : "-");
  }
  return true;
}

}  // namespace cases_test
