// The learned-entry list: transposition slots kept as permanent (generation 1) entries
// across the searches of infinite analysis.
#pragma once
#include <cstdint>

struct TransEntry;
struct PlyState;

constexpr int LearnedListSize = 5000;
constexpr int LearnedListDrop = 100;   // oldest entries dropped when the list is full

void ClearLearnedList();
// Lists the slot with a copy of its words (or replaces the copy of a listed slot) and
// marks the table entry generation 1.
void AddLearned(TransEntry* slot, const uint32_t words[4]);
void ReinsertLearned();   // writes every saved copy back into its slot
void RefreshLearned();    // updates the copies whose slots still hold the same position

// Search start: infinite analysis (fixed depth 99) puts its kept entries back, any other
// search empties the list.
void BeginLearnedEntries(int infiniteAnalysis);
// End of an infinite analysis: keeps the saved principal-variation entries and the root's
// table-A entry, then refreshes the list.
void KeepAnalysisEntries(const PlyState* root);
