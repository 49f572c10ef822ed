// `kestrane tb probe [--path DIRS] [FEN]`: the exact result of a position and of every
// legal move from it, read from the registered tablebase files.
#include "cli/tb_probe_command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "board/fen.h"
#include "board/make_move.h"
#include "board/move_text.h"
#include "board/perft.h"
#include "board/piece_lists.h"
#include "board/playable.h"
#include "board/root_ply.h"
#include "kestrane.h"
#include "tablebase/endgame_table.h"

namespace {

Position ProbePosition;
PerftDivision LegalMoves[MaxListEntries * 2];
PerftDivision ReplyMoves[MaxListEntries * 2];
constexpr int LegalMovesCapacity = int(sizeof LegalMoves / sizeof LegalMoves[0]);

// What is known of a position, from its side to move's view.
enum OutcomeKind { Unknown, Checkmated, Mates, Mated, Draw };
struct Outcome {
  OutcomeKind kind;
  int moves;  // for Mates and Mated
};

// Orders outcomes for the side to move: shorter wins first, then draws, then longer losses.
int OutcomeRank(Outcome o) {
  switch (o.kind) {
    case Mates: return 200000 - o.moves;
    case Draw: return 0;
    case Mated: return -200000 + o.moves;
    case Checkmated: return -300000;
    default: return -400000;
  }
}

std::string OutcomeText(Outcome o) {
  switch (o.kind) {
    case Mates: return "mate in " + std::to_string(o.moves);
    case Mated: return "mated in " + std::to_string(o.moves);
    case Checkmated: return "checkmated";
    case Draw: return "draw";
    default: return "not in the tablebases";
  }
}

// The material of the board as an endgame name in the board's colours ("krkq").
std::string MaterialName(const int8_t board[65]) {
  std::string name;
  for (int color = 0; color < 2; ++color) {
    name += 'k';
    for (int code : {WQueen, WRook, WBishop, WKnight, WPawn})
      for (int sq = 1; sq <= 64; ++sq)
        if (board[sq] == code + color * BlackBit) name += LowerPieceLetter[code];
  }
  return name;
}

// Probes the board as it stands; Unknown when no registered table holds it.
Outcome ProbeBoard(const Position* pos, const PlyState* ps) {
  int32_t counts[10] = {}, squares[2][24] = {};
  int men = 0;
  for (int sq = 1; sq <= 64; ++sq) {
    int code = pos->board[sq];
    if (code == 0) continue;
    int color = PieceSide(code), kind = 0;
    ++men;
    switch (PieceKind(code)) {
      case WKing: squares[color][0] = sq - 1; continue;
      case WPawn: kind = TbPawn; break;
      case WKnight: kind = TbKnight; break;
      case WBishop: kind = TbBishop; break;
      case WRook: kind = TbRook; break;
      default: kind = TbQueen; break;
    }
    int32_t& count = counts[color * 5 + kind - 1];
    if (count == 4) return {Unknown, 0};
    squares[color][4 * kind + count++] = sq - 1;
  }
  if (men == 2) return {Draw, 0};  // bare kings
  int ep = int(ps->flags & EnPassantMask);
  int32_t result = 0;
  if (!TBProbeList(counts, squares[0], squares[1], ps->side, ep ? ep - 1 : 0, &result)) return {Unknown, 0};
  if (result == -32767) return {Checkmated, 0};
  if (result > 0) return {Mates, result};
  if (result < 0) return {Mated, -result};
  return {Draw, 0};
}

// The position's own outcome: mate and stalemate from the rules, the rest from the tables.
Outcome PositionOutcome(Position* pos, PlyState* ps) {
  if (PerftDivide(pos, ps, 1, ReplyMoves, LegalMovesCapacity) == 0)
    return (ps->flags & InCheckFlag) ? Outcome{Checkmated, 0} : Outcome{Draw, 0};
  return ProbeBoard(pos, ps);
}

// The outcome of a move for the side that plays it, from the outcome after it.
Outcome OutcomeForMover(Outcome after) {
  switch (after.kind) {
    case Checkmated: return {Mates, 1};
    case Mated: return {Mates, after.moves + 1};
    case Mates: return {Mated, after.moves};
    default: return after;
  }
}

struct MoveOutcome {
  char text[16];      // coordinates, as the protocol writes moves
  char longText[16];  // long algebraic, for the table a person reads
  Outcome outcome;
};

// Sets up a FEN; an error text when it is not a position the tables can answer.
const char* SetUpPosition(const std::string& fen, PlyState** root, bool* castlingDropped) {
  RootState state;
  Position* pos = &ProbePosition;
  if (!ParseFen(fen.c_str(), pos->board, &state) || !IsPlayablePosition(pos->board, &state))
    return "not a legal position";
  *castlingDropped = (state.flags & AllCastling) != 0;
  state.flags &= ~AllCastling;  // no table holds castling rights
  BuildPieceLists(pos);
  BuildAttackTables(pos);
  pos->keyPtr = nullptr;
  *root = SetupRootPly(pos, state.side, state.flags);
  return nullptr;
}

// Every legal move with its outcome for the side to move, best first.
int RankMoves(PlyState* root, MoveOutcome* out) {
  Position* pos = &ProbePosition;
  int count = PerftDivide(pos, root, 1, LegalMoves, LegalMovesCapacity);
  for (int i = 0; i < count; ++i) {
    char text[16];
    MoveToText(text, LegalMoves[i].move);
    std::snprintf(out[i].text, sizeof out[i].text, "%s", text + 1);
    MoveToLongText(out[i].longText, LegalMoves[i].move, 0);
    root->move = LegalMoves[i].move;
    PlyState* child = MakeMove(pos, root);
    out[i].outcome = child ? OutcomeForMover(PositionOutcome(pos, child)) : Outcome{Unknown, 0};
    if (child) UnmakeMove(pos, root);
  }
  std::stable_sort(out, out + count, [](const MoveOutcome& a, const MoveOutcome& b) {
    return OutcomeRank(a.outcome) > OutcomeRank(b.outcome);
  });
  return count;
}

MoveOutcome RankedMoves[MaxListEntries * 2];

int ProbeOneFen(const std::string& fen) {
  PlyState* root = nullptr;
  bool castlingDropped = false;
  if (const char* error = SetUpPosition(fen, &root, &castlingDropped)) {
    std::fprintf(stderr, "kestrane tb probe: %s: %s\n", error, fen.c_str());
    return 2;
  }
  Outcome own = PositionOutcome(&ProbePosition, root);
  const char* mover = root->side == White ? "White" : "Black";
  std::printf("%s to move: %s\n", mover, OutcomeText(own).c_str());
  if (castlingDropped) std::printf("(castling rights ignored: the tables hold none)\n");
  if (own.kind == Unknown) {
    std::printf("endgame %s (White's pieces first) is not registered\n", MaterialName(ProbePosition.board).c_str());
    return 1;
  }
  int count = RankMoves(root, RankedMoves);
  if (count > 0) std::printf("\n%-8s %-8s %s\n", "move", "", "result for the side moving");
  for (int i = 0; i < count; ++i)
    std::printf("%-8s %-8s %s\n", RankedMoves[i].text, RankedMoves[i].longText,
                OutcomeText(RankedMoves[i].outcome).c_str());
  return 0;
}

// One answer line per FEN line: the result and the best move, or what went wrong.
void ProbeFenLines() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    PlyState* root = nullptr;
    bool castlingDropped = false;
    if (const char* error = SetUpPosition(line, &root, &castlingDropped)) {
      std::printf("error: %s\n", error);
    } else {
      Outcome own = PositionOutcome(&ProbePosition, root);
      if (own.kind == Unknown) {
        std::printf("not registered: endgame %s\n", MaterialName(ProbePosition.board).c_str());
      } else if (RankMoves(root, RankedMoves) > 0) {
        std::printf("%s, best %s\n", OutcomeText(own).c_str(), RankedMoves[0].text);
      } else {
        std::printf("%s\n", OutcomeText(own).c_str());
      }
    }
    std::fflush(stdout);
  }
}

}  // namespace

int TbProbeCommand(int argc, char** argv) {
  const char* paths = nullptr;
  std::string fen;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--path") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "kestrane tb probe: --path needs a list of directories\n");
        return 2;
      }
      paths = argv[++i];
    } else {
      if (!fen.empty()) fen += ' ';
      fen += argv[i];
    }
  }
  if (paths)
    TBInitExtern(paths, 0);
  else
    TBInit();
  if (TBMaxPiece() == 0) {
    std::fprintf(stderr, "kestrane tb probe: no tablebase files found in %s\n",
                 paths ? paths : "the Path of section [Tablebase] in Morvelin.ini");
    TBExit();
    return 1;
  }
  int status = 0;
  if (fen.empty())
    ProbeFenLines();
  else
    status = ProbeOneFen(fen);
  TBExit();
  return status;
}
