// The name generator: given names for a surname under the user's naming conditions,
// scored against the chart the main window handed to the scorer, kept best first.
//
// The run happens on the user-interface thread. It lets messages run through a
// MessagePump before every stroke set and, inside a set, whenever kPumpInterval has
// passed or some 65,000 names have been made, so the window never freezes and Stop is
// seen within one pump. The progress
// bar and the result list sit behind small interfaces the main window implements.
//
// A name inserted is appended, at O(1); the names appended since the last read are
// sorted in, by a stable counting sort on the score, when the list is next read, so
// the list reads best first and equal scores keep the order they were inserted in.
// Both lists keep their memory from run to run. The run stops before the next stroke set once more
// than kCap names are held, and at once at kCeiling, which bounds memory when one set
// alone would add millions.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "dictionary/Namelibrary.h"
#include "engine/Namecalc.h"
#include "engine/Records.h"

// The conditions of a naming run, edited by the naming-conditions dialog.
struct NamingConditions {
  uint8_t library = 0;        // 0 full dictionary, 1 quick
  char surname[5] = {};       // GBK, one or two characters
  uint8_t givenLength = 2;    // 1 or 2
  uint8_t sex = 1;            // 1 male, 2 female, 3 either
  uint8_t gridGood[5] = {};   // heaven, person, earth, total, outer must be good
  uint8_t talentsGood = 1;    // the three talents must be good
  char firstChar[4] = {};     // fixed first given character, or empty
  int16_t elementMask = 0;    // bit 0 水 1 木 2 火 3 土 4 金
  uint8_t allowBadChars = 0;  // 0: only auspicious characters
  uint8_t formula = 0;        // 0 最佳 1 优选 2 普通
  uint8_t charset = 0;        // 0 common characters, 1 whole dictionary
  char radicals[41] = {};     // GBK, 2 bytes a radical
  char excluded[41] = {};     // GBK characters never used
};

// Lets the window's messages run (the main window calls its ProcessMessages).
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void Pump() = 0;
};

// The run's progress bar.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetRange(int max) = 0;
  virtual void SetPosition(int position) = 0;
};

// One row of the result list: caption and six columns.
struct ResultRow {
  int stateImage = 0;
  std::string caption;
  std::string columns[6];  // name, elements, talents, grids, strokes, score
};

// The result list view of the naming page.
class ResultView {
 public:
  virtual ~ResultView() = default;
  virtual void Clear() = 0;
  virtual void AddRow(const ResultRow& row) = 0;
};

class MSearchName {
 public:
  static constexpr int kPageSize = 500;
  static constexpr size_t kCap = 50000;
  static constexpr size_t kCeiling = 200000;
  static constexpr std::chrono::milliseconds kPumpInterval{25};

  // `pump` may be null (no messages to run).
  MSearchName(MNameLibrary& library, MessagePump* pump);

  void SetConditions(const NamingConditions& c) { conditions = c; }
  const NamingConditions& Conditions() const { return conditions; }
  void LoadSettings();
  // The scorer; the main window hands it the chart before a run.
  MNameCalc& Scorer() { return calc; }

  bool Generate(ProgressSink* progress);
  void Stop() { stop = true; }
  int FillResultList(ResultView& view, int page) const;
  bool ListGoodStrokeSets(std::string& out);

  bool CalcFiveGrids(bool single, int16_t grids[5], const uint16_t strokes[], int16_t n) const;
  bool AllGood(bool single, int16_t grids[5], int& talents, const uint16_t strokes[], int16_t n) const;
  bool FormulaAccepts(const uint16_t strokes[], bool single, int16_t n, int formula) const;
  bool MeetsConditions(const int16_t grids[5]) const;
  bool BuildStrokeSets(std::vector<std::vector<int>>& out);
  bool CharAccepted(const CharRecord& rec) const;
  void InsertSorted(const CandidateRecord& rec);

  size_t Count() const { return ranked.size() + made.size(); }
  // The i-th name, 0-based, best first.
  const CandidateRecord& Candidate(size_t i) const;
  const std::string& Listing() const { return listing; }
  const std::string& LastError() const { return message; }
  // Longest gap between two pumps of the last run, for the benchmark.
  std::chrono::nanoseconds LongestPumpGap() const { return longestGap; }

 private:
  // A given-name character that passed the filters.
  struct Accepted {
    char word[3];
    uint16_t element;
  };
  using CharCache = std::map<int, std::vector<Accepted>>;

  bool Fail(std::string text);
  bool SurnameStrokes(std::vector<uint16_t>& strokes, std::vector<uint16_t>& elements);
  bool FirstCharInForce() const;
  bool FixedFirst(Accepted& out, int& strokes);
  const std::vector<Accepted>& CharsOf(int strokes, CharCache& cache);
  bool Excluded(const char* word) const;
  void ClearCandidates();
  // Sorts the names made since the last read into `ranked`.
  void Rank() const;
  // Runs messages; true when the run must end.
  bool PumpAndCheck();
  bool RunSet(const std::vector<int>& set, CharCache& cache, int& setsListed);

  MNameLibrary& lib;
  MessagePump* pump;
  NamingConditions conditions;
  AnalysisSettings settings;
  bool stop = false;
  std::string listing;
  std::string message;
  MNameCalc calc;

  // Names best first, and the names inserted since, in the order they came; reading
  // the list sorts them in, so both are mutable.
  mutable std::vector<CandidateRecord> ranked;
  mutable std::vector<CandidateRecord> made;

  // State of the current run.
  TStringList groups;  // line k: the characters of k + 1 strokes
  std::vector<int> strokeCounts;
  Accepted fixed{};
  int fixedStrokes = 0;
  std::vector<uint16_t> surnameStrokes;
  std::vector<uint16_t> surnameElements;
  bool single = true;
  std::chrono::steady_clock::time_point lastPump;
  std::chrono::nanoseconds longestGap{0};
  size_t sincePumpCheck = 0;
  size_t namesSincePump = 0;
};
