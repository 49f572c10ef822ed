#include "search/root_search.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "board/game.h"
#include "board/make_move.h"
#include "board/option_values.h"
#include "board/piece_values.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"
#include "platform/platform.h"
#include "search/learned_list.h"
#include "search/learning.h"
#include "search/learning_load.h"
#include "search/learning_path.h"
#include "search/move_picker.h"
#include "search/multi_pv.h"
#include "search/principal_variation.h"
#include "search/repetition.h"
#include "search/root_moves.h"
#include "search/root_tablebase.h"
#include "search/search.h"
#include "search/search_flags.h"
#include "search/search_reports.h"
#include "search/time_control.h"
#include "search/trans_table.h"

RootRecord RootInfo;
Move SearchMovesList[SearchMovesCapacity + 1];
int32_t NoTroubleFlag = 1;

// The time events of one iteration.
struct Iteration {
  int depth;
  int previous;     // root score of the previous iteration
  int events;       // fail highs, fail lows and new best moves that bought time (0..2)
  Move bestAtStart;
};

int MaxPlyForDepth(int depth) {
  int limit;
  switch (Selectivity) {
    case -1: limit = depth; break;
    case -2: limit = 2 * depth; break;
    case -3: limit = depth * 3 / 2; break;
    default: limit = depth + std::max(Selectivity, 0); break;
  }
  return std::min(limit, 99);
}

static bool Stopped() { return StopFlag.load(std::memory_order_relaxed) != 0; }
static bool Thinking() { return SearchMode.load(std::memory_order_relaxed) == 1; }
static void StopNow() { StopFlag.store(1, std::memory_order_relaxed); }

// The time the easy-move rule took away goes back when the root turns out not to be easy.
static void GiveBackBonus() {
  GiveBackTime(RootInfo.pendingBonus);
  RootInfo.pendingBonus = 0;
}

static void RecomputeHardLimit(int depth, int change) {
  if (InClockMode() && depth >= 3) SetHardLimitAfterChange(change);
}

static bool IsQuietPawnMove(Move move) { return (move & 0x17FC000) == 0; }

// The clock checks made between root moves and between iterations.
static bool PastTarget() {
  int64_t t = ElapsedMs();
  return t >= RootTime.hardLimit || (NoTroubleFlag && t >= int64_t(RootTime.target) + RootTime.extra);
}

static void ClearSearchTables(Position* pos) {
  memset(pos->history, 0, sizeof pos->history);
  memset(pos->killers, 0, sizeof pos->killers);
  NullDepth = SingularDepth = VerifyDepth = MultiCutDepth = 0;
  AdvanceTransGeneration();
  if (!KeepHashMain) ClearHashTables();
  ClearSavedPv();
}

static PlyState* SetUpSearch(Position* pos) {
  StopFlag.store(0, std::memory_order_relaxed);
  RootInfo.pondering = SearchMode.load(std::memory_order_relaxed) == 2;
  RootSearchesStarted.fetch_add(1, std::memory_order_relaxed);
  StartSearchClock();
  ClearSearchTables(pos);

  pos->nodeCount = 0;
  TablebaseHits = 0;
  TablebaseTime = 0;
  HashfullCount = 0;
  NextPollPoint = std::min<uint64_t>(PollInterval, 1000);
  NoTroubleFlag = 1;
  TablebaseDepthCut = TablebaseDepthCutStart;

  PlyState* root = PrepareRoot(pos, &GameHistory[GameLength]);
  ReportRootNode = root;
  TablebasePieceLimit = RootTablebasePieceLimit(root);

  SetDrawContempt(root->side);
  RepetitionShift = (PhaseCode & 0x64) ? 2 : 1;
  MapGenerationSignatures(TableSignatureSearch);
  RootBalance = root->material[White] - root->material[Black];

  if (InClockMode()) AllocateTime();
  int loaded = PositionLearning ? LoadLearning(pos, root) : 0;
  BeginLearningSearch(loaded);
  if (PositionLearning) BeginLearnedEntries(RootTime.mode == TimeFixedDepth && RootTime.depthLimit == 99);

  ResetRunningBounds();
  RootInfo.score = Evaluate(pos, root, -MateScore, MateScore, 0);
  WidenRunningBounds();

  BuildRootMoves(pos, root, &RootInfo);
  RootInfo.singleMove = RootInfo.count == 1;
  SpanZeroInRunningBounds();
  if (SearchMovesList[0]) RestrictRootMoves(&RootInfo, SearchMovesList);
  if (MultiPV > 1) StartLineTable(&Lines, &RootInfo);

  RootInfo.bestMove = 0;
  RootInfo.pendingBonus = 0;
  RootInfo.firstMoveTrouble = 0;
  RootInfo.easyMoves = 0;
  RootInfo.firstMoveNodes = 0;
  if (loaded) RootInfo.bestMove = LearnedRootMove();
  return root;
}

// Drawn or finished roots are not searched.
static bool RootIsOver(const Position* pos, const PlyState* root) {
  if (RootInfo.count == 0 || ReversiblePlies(pos, root) >= 100) return true;
  int white = root->material[White], black = root->material[Black];
  return (white == 0 && black == 0) || (white == 0 && black == 325) || (black == 0 && white == 325);
}

static void StartIteration(Position* pos, int depth) {
  RootDepth = depth;
  MaxSearchPly = MaxPlyForDepth(depth);
  for (int ply = 1; ply < MaxPly; ++ply) pos->plies[ply].move = 0;
  SingularPlyLimit = depth;
  NullMaterialPlyLimit = NullMaterialLimitEnabled ? depth / 3 : 0;
  NullReductionThreshold = (PhaseCode & 0x64) ? 5 : 4;
}

// A line for the best move so far; every such report also feeds the learning record.
static void ReportBestLine(Position* pos, int depth, int moveNumber, int elapsed, int score, int bound) {
  if (PositionLearning && depth != 0 && bound != BoundUpper) NoteLearningLine(RootInfo.bestMove, score, depth, 2);
  ReportLine(pos, RootInfo.bestMove, 1, depth, moveNumber, elapsed, score, bound);
}

static bool SearchFirstMove(Position* pos, PlyState* root, Iteration* it) {
  const int d = it->depth, score = RootInfo.score;
  const bool clock = InClockMode();
  bool mate = score > MateThreshold || score < -MateThreshold;
  int lower = (mate || score <= -MateThreshold) ? -MateScore : score - 25;
  int upper = (mate || score >= MateThreshold) ? MateScore : score + 25;

  Move move = RootInfo.moves[0].move;
  RootInfo.searchingFirstMove = 1;
  ReportRootMove(pos, d, 1, RootInfo.count, move);
  uint64_t before = pos->nodeCount;
  int s = SearchRootMove(pos, root, move, lower, upper, d - 1);
  if (Stopped()) return false;
  NoteFirstMoveResult(d, s, lower, upper);
  RootInfo.bestMove = move;
  if (s >= upper) {
    if (clock) {
      AddExtraTime(ElapsedMs() / 2);
      it->events = 1;
    }
    ReportBestLine(pos, d, 1, ElapsedMs(), s, BoundLower);
    int high = std::min(s + 50, MateScore);
    int s2 = SearchRootMove(pos, root, move, s, high, d - 1);
    if (Stopped()) return false;
    if (s2 >= high) {
      NoteRepeatedFail(d);
      if (d >= 3) RootInfo.firstMoveTrouble = 1;
      GiveBackBonus();
      ReportBestLine(pos, d, 1, ElapsedMs(), s2, BoundLower);
      int s3 = SearchRootMove(pos, root, move, s2, MateScore, d - 1);
      if (Stopped()) return false;
      s2 = std::max(s2, s3);
    }
    s = std::max(s2, s);
  } else if (s <= lower) {
    NoTroubleFlag = 0;
    if (clock) {
      AddExtraTime(ElapsedMs());
      it->events = 1;
    }
    RecomputeHardLimit(d, s - it->previous - 500);
    ReportBestLine(pos, d, 1, ElapsedMs(), s, BoundUpper);
    int low = std::max(s - 50, -MateScore);
    int s2 = SearchRootMove(pos, root, move, low, s, d - 1);
    if (Stopped()) return false;
    if (s2 <= low) {
      NoteRepeatedFail(d);
      if (d >= 3) RootInfo.firstMoveTrouble = 1;
      GiveBackBonus();
      RecomputeHardLimit(d, s2 - it->previous - 500);
      if (clock) {
        AddExtraTime(ElapsedMs());
        it->events++;
      }
      ReportBestLine(pos, d, 1, ElapsedMs(), s2, BoundUpper);
      s2 = SearchRootMove(pos, root, move, -MateScore, s2, d - 1);
      if (Stopped()) return false;
      RecomputeHardLimit(d, s2 - it->previous);
    }
    s = std::min(s2, s);
  } else if (clock && s < it->previous) {
    int64_t amount = int64_t(it->previous - s) * ElapsedMs() / 25;
    AddExtraTime(amount);
    if (amount > ElapsedMs() / 2) it->events = 1;
  }
  RootInfo.score = s;
  uint64_t used = pos->nodeCount - before;
  RootInfo.moves[0].key += int64_t(used);
  RootInfo.firstMoveNodes += used;
  ReportBestLine(pos, d, 1, ElapsedMs(), s, BoundExact);
  return true;
}

// A later root move beat the best one: it takes its place with an exact score.
static bool ResolveNewBest(Position* pos, PlyState* root, Iteration* it, int number, Move move, int s) {
  const int d = it->depth;
  NoteNewBestMove(d);
  GiveBackBonus();
  if (InClockMode()) {
    if (it->events == 0) {
      AddExtraTime(ElapsedMs() / 2);
      it->events = 1;
    } else if (it->events == 1) {
      AddExtraTime(ElapsedMs() / 4);
      it->events = 2;
    }
  }
  if (s + 25 >= it->previous) NoTroubleFlag = 1;
  RootInfo.bestMove = move;
  RootInfo.score = s;
  ReportBestLine(pos, d, number, ElapsedMs(), s, BoundLower);
  int high = s < -MateThreshold ? 0 : std::min(s + 35, MateScore);
  int s2 = SearchRootMove(pos, root, move, s, high, d - 1);
  if (Stopped()) return false;
  if (s2 >= high) {
    RecomputeHardLimit(d, s2 - it->previous);
    ReportBestLine(pos, d, number, ElapsedMs(), s2, BoundLower);
    int s3 = SearchRootMove(pos, root, move, s2, MateScore, d - 1);
    if (Stopped()) {
      RootInfo.score = s2;
      return false;
    }
    s2 = std::max(s2, s3);
  }
  s2 = std::max(s2, s);
  RootInfo.score = s2;
  if (s2 + 25 >= it->previous) NoTroubleFlag = 1;
  if (s2 > it->previous) HalveExtraTime();
  ReportBestLine(pos, d, number, ElapsedMs(), s2, BoundExact);
  return true;
}

static bool SearchOtherMoves(Position* pos, PlyState* root, Iteration* it) {
  for (int i = 1; i < RootInfo.count; ++i) {
    RootInfo.searchingFirstMove = 0;
    CheckPonderHit();
    if (Stopped()) return false;
    if (Thinking() && PastTarget()) {
      StopNow();
      return false;
    }
    Move move = RootInfo.moves[i].move;
    ReportRootMove(pos, it->depth, i + 1, RootInfo.count, move);
    uint64_t before = pos->nodeCount;
    int best = RootInfo.score;
    int s = SearchRootMove(pos, root, move, best, best + 1, it->depth - 1);
    if (Stopped()) return false;
    if (s > best && !ResolveNewBest(pos, root, it, i + 1, move, s)) return false;
    RootInfo.moves[i].key += int64_t(pos->nodeCount - before);
  }
  return true;
}

// Multi-line mode: the best `lines` moves each get an exact score; the others are searched
// against the score of the last requested line and take its place when they beat it.
static bool SearchLines(Position* pos, PlyState* root, Iteration* it, int lines) {
  const int d = it->depth;
  for (int i = 0; i < lines && i < Lines.used; ++i) BringRootMove(&RootInfo, Lines.records[i].move, i);
  for (int i = 0; i < RootInfo.count; ++i) {
    RootInfo.searchingFirstMove = i == 0;
    CheckPonderHit();
    if (Stopped()) return false;
    if (i > 0 && Thinking() && PastTarget()) {
      StopNow();
      return false;
    }
    Move move = RootInfo.moves[i].move;
    ReportRootMove(pos, d, i + 1, RootInfo.count, move);
    uint64_t before = pos->nodeCount;
    int s;
    if (i < lines) {
      const LineRecord* line = FindLine(&Lines, move);
      bool scored = line && line->score > NoLineScore;
      int centre = scored ? line->score : RootInfo.score, width = scored ? 50 : 100;
      int low = std::max(centre - width, -MateScore), high = std::min(centre + width, MateScore);
      s = SearchRootMove(pos, root, move, low, high, d - 1);
      if (!Stopped() && s <= low) s = SearchRootMove(pos, root, move, -MateScore, high, d - 1);
      else if (!Stopped() && s >= high) s = SearchRootMove(pos, root, move, low, MateScore, d - 1);
    } else {
      int threshold = Lines.records[lines - 1].score;
      s = SearchRootMove(pos, root, move, threshold, threshold + 1, d - 1);
      if (!Stopped() && s > threshold) s = SearchRootMove(pos, root, move, threshold, MateScore, d - 1);
      if (s <= threshold) s = NoLineScore;
    }
    if (Stopped()) return false;
    if (s > NoLineScore) UpdateLine(&Lines, move, s, BoundExact, d, ElapsedMs(), lines);
    RootInfo.moves[i].key += int64_t(pos->nodeCount - before);
  }
  RootInfo.bestMove = Lines.records[0].move;
  RootInfo.score = Lines.records[0].score;
  for (int rank = 0; rank < lines; ++rank) {
    const LineRecord& line = Lines.records[rank];
    ReportLine(pos, line.move, rank + 1, d, rank + 1, ElapsedMs(), line.score, line.bound);
  }
  return true;
}

// Halves the target when the first move took nearly all the nodes: the answer looks obvious.
static void ApplyEasyMove(const Position* pos, const Iteration& it) {
  Move best = RootInfo.bestMove, last = GameHistory[GameLength].move;
  bool recapture = last && MoveTo(best) == MoveTo(last) && MoveCaptured(last) &&
                   PieceValue[MoveCaptured(last)] == PieceValue[MovePiece(last)];
  int threshold = ((PhaseCode & 4) ? 82 : 72) - (recapture ? 10 : 0);
  if (RootInfo.firstMoveTrouble || RootInfo.count <= 1 || it.depth < 7 || pos->nodeCount == 0) return;
  if (ElapsedMs() <= 500 || 100 * RootInfo.firstMoveNodes / pos->nodeCount < uint64_t(threshold)) return;
  if (!recapture && RootInfo.easyMoves >= 2) return;
  RootInfo.easyMoves++;
  RootInfo.pendingBonus += HalveTarget();
}

// Stops past 70% of the budget when the budget is spent or a quiet move stayed best.
static bool EarlyStop(const Iteration& it) {
  if (!Thinking() || it.depth < 4) return false;
  int64_t budget = int64_t(RootTime.target) + RootTime.extra, t = ElapsedMs();
  if (t * 100 <= budget * (PonderEnabled ? 75 : 70)) return false;
  Move best = RootInfo.bestMove;
  return t >= budget || (IsQuietNonPawnMove(best) && best == it.bestAtStart);
}

// Book-keeping after a complete iteration; false when the search ends here.
static bool FinishIteration(Position* pos, PlyState* root, Iteration* it) {
  const int d = it->depth;
  const bool clock = InClockMode();
  RootInfo.scoreHistory[d] = RootInfo.score;
  if (PositionLearning) NoteLearningLine(RootInfo.bestMove, RootInfo.score, d, 0);
  NoteIterationEnd(d, RootInfo.score, ElapsedMs());
  if (RootInfo.singleMove && clock && Thinking() && d >= 10) return false;
  NoTroubleFlag = 1;
  if (clock) {
    if (RootInfo.score >= it->previous - 25) HalveExtraTime();
    MoveExtraTimeIntoTarget();
  }
  if (!CheckRootTablebase(d)) return false;
  Move best = RootInfo.bestMove;
  if (clock && !IsQuietPawnMove(best)) {
    ApplyEasyMove(pos, *it);
    if (EarlyStop(*it)) return false;
  }
  if (!(best & MoveTacticalMask)) AddHistory(pos, root->side, best, d * d);
  if (!RootMoveRepeats(pos, root, best))
    StoreRootEntry(root->side, root->key1, root->key2, best, RootInfo.score, d);
  if (clock && d >= 4 && Thinking() && (ElapsedMs() >= RootTime.hardLimit || ElapsedMs() >= RootTime.target)) return false;
  return true;
}

static void IterativeDeepening(Position* pos, PlyState* root) {
  const int lines = std::min(MultiPV, RootInfo.count);
  const int depthLimit = std::max(RootTime.depthLimit, 1);
  for (int d = 1; d < 100 && d <= depthLimit && !Stopped(); ++d) {
    int score = RootInfo.score;
    if (lines <= 1 && score >= -MateThreshold && d > MateScore - std::abs(score)) break;
    StartIteration(pos, d);
    Iteration it{d, d > 1 ? RootInfo.scoreHistory[d - 1] : score, 0, RootInfo.bestMove};
    OrderRootMoves(&RootInfo, RootInfo.bestMove);
    bool complete;
    if (lines > 1) {
      complete = SearchLines(pos, root, &it, lines);
    } else {
      RestoreSavedPv();
      complete = SearchFirstMove(pos, root, &it) && SearchOtherMoves(pos, root, &it);
    }
    if (!complete) break;
    CheckPonderHit();
    if (!FinishIteration(pos, root, &it)) break;
  }
}

// The expected reply: the saved variation's second move when it follows the best move, else
// the move stored for the position after the best move; only a legal one.
static Move ChoosePonderMove(Position* pos, PlyState* root, Move best) {
  root->move = best;
  PlyState* child = MakeMove(pos, root);
  if (!child) return 0;
  Move reply = SavedPv[0] == best ? SavedPv[1] : 0;
  TransEntry entry;
  if (!reply && ReadTransEntry(TransSlotA(child->side, child->key1), child->key2, &entry)) reply = entry.move;
  if (reply && IsStoredMoveSound(pos, child, reply)) {
    child->move = reply;
    if (MakeMove(pos, child)) UnmakeMove(pos, child);
    else reply = 0;
  } else {
    reply = 0;
  }
  UnmakeMove(pos, root);
  return reply;
}

Move SearchRoot(Position* pos, Move* ponderMove) {
  *ponderMove = 0;
  ThreadClock cpu;
  OpenThreadClock(&cpu);
  int64_t cpuStart = ThreadCpuMilliseconds(&cpu);
  PlyState* root = SetUpSearch(pos);
  RootInfo.tablebaseScore = NoTablebaseScore;
  if (!RootIsOver(pos, root)) {
    ProbeRootTablebase(pos, root);
    IterativeDeepening(pos, root);
  }

  Move best = RootInfo.bestMove;
  // A drawn root still needs a move to play, and a stop before the first result takes the
  // move ordered first.
  if (!best && RootInfo.count > 0) best = RootInfo.bestMove = RootInfo.moves[0].move;
  int32_t elapsed = ElapsedMs();
  int64_t cpuUsed = ThreadCpuMilliseconds(&cpu) - cpuStart;
  CloseThreadClock(&cpu);
  ReportSearchEnd(pos, SearchStartTick, elapsed > 0 ? int(cpuUsed * 1000 / elapsed) : 0);
  if (best) *ponderMove = ChoosePonderMove(pos, root, best);
  if (best) StoreLearning(pos, root, SavedPv[0] == best ? SavedPv[1] : 0, !InClockMode() || RootTime.target > 3000,
                          RootMoveRepeats(pos, root, best));
  if (PositionLearning && RootTime.mode == TimeFixedDepth && RootTime.depthLimit == 99) KeepAnalysisEntries(root);
  RootInfo.pondering = 0;
  return best;
}
