// MSurnameGame: the surname-guessing game apart from its window. Seven tables of 64
// surnames each; table t (1..7) holds the surnames whose number has bit 7 - t set, so
// the yes/no answers spell the number (1..127) of the user's surname.
#pragma once

#include <array>
#include <string>

class MSurnameGame {
 public:
  static constexpr int kSurnames = 127;
  static constexpr int kColumns = 8;
  static constexpr int kRows = 8;

  MSurnameGame();

  void Reset();  // shows the first table
  // Takes the answer to the table shown (1 "有", 0 "没有") and shows the next one.
  void NextTable(int answer);
  bool Finished() const { return tablesLeft == 0; }
  int TablesLeft() const { return tablesLeft; }
  // GBK surname of number 1..127.
  std::string Surname(int number) const { return surnames.substr(2 * (number - 1), 2); }
  // The surname in a cell of the table shown ("" when empty).
  const std::string& Cell(int column, int row) const { return table[row * kColumns + column]; }
  // Panel text: the table count while playing, the guess at the end ("" when none).
  std::string PanelText() const;
  // The closing message and its caption; valid once Finished().
  std::string ResultText() const;
  std::string ResultCaption() const;
  int Sum() const { return sum; }

 private:
  std::string surnames;  // 127 surnames, 2 bytes each
  std::array<std::string, kColumns * kRows> table;
  int weight = 128;
  int tablesLeft = 8;
  int sum = 0;

  void FillTable();
};
