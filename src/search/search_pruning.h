// The side searches of a main-search node: null move, multi-cut, the search for a hash
// move, the hash-disagreement search and the singular test.
#pragma once
#include "board/position.h"
#include "search/search_node.h"

// 1 when the null move refutes the node (score in *score).
int NullMoveCutoff(Position* pos, PlyState* node, NodeFrame* f, int* score);
// 1 when two of the first ten moves fail high at reduced depth: bestScore, bestMove and
// multiCutSecond are set. Otherwise the first move that failed high becomes hash move 1.
int MultiCut(Position* pos, PlyState* node, NodeFrame* f);
// Without a hash move, a reduced search for a move that beats beta (then hash move 1).
void FindHashMove(Position* pos, PlyState* node, NodeFrame* f);
// When the table promised a lower bound the first move did not reach: shallow searches for
// a move that beats alpha, which becomes hash move 1.
void HashDisagreementSearch(Position* pos, PlyState* node, NodeFrame* f);
// 1 when no other move comes within 100 of the best move's score at reduced depth.
int IsBestMoveSingular(Position* pos, PlyState* node, NodeFrame* f);
