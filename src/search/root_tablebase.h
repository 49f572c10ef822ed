// The tablebases at the root of a search: which positions the search probes, the root's own
// result, the drawing moves kept when the side to move is ahead in a drawn position, and the
// check of every iteration's score against the root's result.
#pragma once

struct Position;
struct PlyState;

// The most men a probed position of this search may have: the largest tables available when
// "Use Tablebases" is not Never and the root is an endgame class or has at most 12 men;
// otherwise 0.
int RootTablebasePieceLimit(const PlyState* root);

// With few enough men, probes the root, reports its result and keeps it in
// RootInfo.tablebaseScore (NoTablebaseScore when there is none). A drawn root where the side
// to move has more material, searched for one line without "searchmoves", keeps only the
// root moves after which the opponent has no tablebase win; when two or more remain, the
// search runs over those without probes (so the engine tries to win the draw) and a clock
// search's target is cut to three seconds.
void ProbeRootTablebase(Position* pos, PlyState* root);

// After the iteration of depth d: false when the search ends because it confirmed the root's
// tablebase result (a draw, or a score within 1 of it). A score that disagrees from depth 4 on
// gives the tables up for this search: no more probes, the hash tables cleared, root score 0.
// Also deepens the probe cut when probes take more than their share of the time.
bool CheckRootTablebase(int depth);
