// The birth chart from its four pillars: ten gods, life stages and seasonal states of
// each pillar, the relations among stems and branches, the powers of the codes and ten
// gods, the strength of the day master and the favourable elements. MDecName runs these
// steps; they need nothing but the pillars and the settings, so they stand on their own.
//
// Powers are whole numbers: the ten-god weights are kept in hundredths and every
// product w * W is truncated as w * W / 100, so a chart gives the same powers on
// every compiler (30 * 0.9 is 27, not 26).
#pragma once

#include <cstdint>

#include "engine/Records.h"

namespace chart {

// Twelve-stage index (0 长生 … 11 养) of a stem on a branch.
int LifeStage(int stem, int branch);
// Ten god (0 比肩 … 9 正印) of `stem` relative to `dayStem`, both taken mod 10.
int TenGod(int dayStem, int stem);
// The stem that stands in relation `tenGod` to `dayStem`.
int TenGodStem(int dayStem, int tenGod);
// The stems hidden in a branch, main qi first where it has one; returns their count.
int HiddenStems(int branch, int out[3]);

// Per-pillar ten gods, stages and states from chart.pillars (the counts of the stems,
// branches and hidden stems included).
void FillPillarTables(ChartResult& chart);
// Stem combinations and every branch relation code.
void CalcRelations(ChartResult& chart);
// Counts and powers of the codes and ten gods, the season adjustment, the triple bonus.
void ComputePowers(ChartResult& chart);

// How the favourable elements are decided: computed afresh, or kept from the user's
// choice (whose day-master class then holds).
struct RoleSource {
  bool fresh = true;
  const FavourableRecord* chosen = nullptr;  // used when not fresh
};
// Balance, class of the day master, month structures, special structure, the five
// roles, and the orderings by power.
void ComputeElementBalance(ChartResult& chart, const AnalysisSettings& settings, const RoleSource& source);

// The special structure of the chart (-1 for none) and its order of the five elements.
int FindSpecialStructure(const ChartResult& chart, uint8_t order[5]);

}  // namespace chart
