// Category renames and deletions touch every case of a category. The operation is
// noted in "dat\bazi.op" before the first case changes and the note goes when the last
// has; an operation that finds the note finishes the work first, so a category is
// never left half renamed or half deleted.
#include <cstring>

#include "cases/Database.h"
#include "cases/DatabaseInternal.h"
#include "classlib/Files.h"
#include "classlib/StrUtils.h"

using namespace casestore;

namespace {

// "TCAT", the operation (1 rename, 2 delete), the two names each as a length byte and
// its bytes, then a uint32 FNV-1a sum of everything before it.
constexpr char kOpMagic[4] = {'T', 'C', 'A', 'T'};

uint32_t OpChecksum(std::string_view bytes) {
  uint32_t h = 2166136261u;
  for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
  return h;
}

std::string OpBytes(uint8_t op, const std::string& from, const std::string& to) {
  std::string data(kOpMagic, sizeof kOpMagic);
  data += static_cast<char>(op);
  for (const std::string* s : {&from, &to}) {
    data += static_cast<char>(s->size());
    data += *s;
  }
  uint32_t sum = OpChecksum(data);
  data.append(reinterpret_cast<const char*>(&sum), sizeof sum);
  return data;
}

bool ParseOp(std::string_view data, uint8_t& op, std::string& from, std::string& to) {
  if (data.size() < sizeof kOpMagic + 3 + 4 || std::memcmp(data.data(), kOpMagic, 4) != 0) return false;
  uint32_t sum = 0;
  std::memcpy(&sum, data.data() + data.size() - 4, 4);
  std::string_view body = data.substr(0, data.size() - 4);
  if (sum != OpChecksum(body)) return false;
  size_t pos = sizeof kOpMagic;
  op = static_cast<uint8_t>(body[pos++]);
  for (std::string* s : {&from, &to}) {
    if (pos >= body.size()) return false;
    size_t n = static_cast<unsigned char>(body[pos++]);
    if (body.size() - pos < n) return false;
    *s = std::string(body.substr(pos, n));
    pos += n;
  }
  return pos == body.size() && (op == 1 || op == 2);
}

// A category name as a record's field holds it.
std::string AsField(std::string_view name) {
  CaseRecord r{};
  SetText(r.category, name);
  return FieldText(r.category);
}

}  // namespace

bool MDataBase::RenameCategory(std::string_view from, std::string_view to, uint32_t generation) {
  Held lock(*this);
  if (!Prepare(lock, true) || !Current(generation)) return false;
  std::string a = AsField(from), b = AsField(to);
  if (a == b) return true;
  return WriteAtomic(OpFile(), OpBytes(static_cast<uint8_t>(CategoryOp::Rename), a, b)) &&
         RunCategoryOp(CategoryOp::Rename, a, b, true);
}

bool MDataBase::DeleteCategory(std::string_view name, uint32_t generation) {
  Held lock(*this);
  if (!Prepare(lock, true) || !Current(generation)) return false;
  std::string a = AsField(name);
  return WriteAtomic(OpFile(), OpBytes(static_cast<uint8_t>(CategoryOp::Delete), a, "")) &&
         RunCategoryOp(CategoryOp::Delete, a, "", true);
}

// A failed operation puts back the cases it changed, so a failure reported leaves the
// category as it was; one resumed after a crash goes on at the next try instead.
bool MDataBase::RunCategoryOp(CategoryOp op, const std::string& from, const std::string& to, bool undoOnFailure) {
  CaseFileHeader start = header_;
  Records done;
  if (ChangeCategoryCases(op, from, to, done)) {
    // Made: a note that stays only makes the next operation find nothing left to change.
    FsDelete(OpFile());
    return true;
  }
  if (!undoOnFailure) return false;
  std::string why = lastError_;
  if (UndoCategoryCases(done, start) && FsDelete(OpFile())) return Fail(why);
  return FailUtf8("%s（类别只改了一部分，下次使用历史记录时会改完）", why.c_str());
}

// Changes the cases still under `from`, a journal a chunk; done again after a crash,
// it finds only the cases not yet changed. done: each changed case as it was.
bool MDataBase::ChangeCategoryCases(CategoryOp op, const std::string& from, const std::string& to, Records& done) {
  std::vector<int32_t> ids;
  bool ok = Scan(header_.count, [&](int32_t slot, const CaseRecord& r) {
    if (r.deleted == 0 && r.id == slot && FieldText(r.category) == from) ids.push_back(slot);
    return true;
  });
  if (!ok) return false;
  for (size_t i = 0; i < ids.size(); i += kChunk) {
    std::vector<Change> changes;
    Records old;
    CaseFileHeader h = header_;
    for (size_t k = i; k < std::min(ids.size(), i + kChunk); ++k) {
      CaseRecord r;
      if (!ReadSlot(ids[k], r)) return false;
      old.emplace_back(ids[k], r);
      if (op == CategoryOp::Rename) {
        SetText(r.category, to);
      } else {
        r.deleted = 1;
        h.deletedCount += 1;
      }
      changes.push_back(RecordChange(ids[k], r));
    }
    if (op == CategoryOp::Delete) {
      if (h.deletedCount >= kReuseAfter) h.reuseFlag = 1;
      changes.push_back(HeaderChange(h));
    }
    if (!Commit(changes)) return false;
    header_ = h;
    done.insert(done.end(), old.begin(), old.end());
  }
  return true;
}

// The header goes back with the last chunk.
bool MDataBase::UndoCategoryCases(const Records& done, const CaseFileHeader& h) {
  for (size_t i = 0; i < done.size(); i += kChunk) {
    std::vector<Change> changes;
    for (size_t k = i; k < std::min(done.size(), i + kChunk); ++k) {
      changes.push_back(RecordChange(done[k].first, done[k].second));
    }
    if (i + kChunk >= done.size()) changes.push_back(HeaderChange(h));
    if (!Commit(changes)) return false;
  }
  header_ = h;
  return true;
}

bool MDataBase::ResumeCategoryOp() {
  std::string path = OpFile();
  if (file::Exists(path + ".tmp") && !FsDelete(path + ".tmp")) return false;  // never begun
  if (!file::Exists(path)) return true;
  std::string data, from, to;
  uint8_t op = 0;
  if (!file::ReadAll(path, data)) return FailUtf8("无法读出文件%s：%s", path.c_str(), file::LastReason().c_str());
  if (!ParseOp(data, op, from, to)) {
    std::string keptAs;
    if (!SetAside(path, keptAs)) return false;
    Note(Format(
        gbk::U("一次未完成的类别修改的记录已经损坏，已另存为%s。命例都完好，但那个类别可能只改了一部分。").c_str(),
        keptAs.c_str()));
    return true;
  }
  return RunCategoryOp(static_cast<CategoryOp>(op), from, to, false);
}
