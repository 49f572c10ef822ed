#include "board/game.h"

#include <cstddef>
#include <cstdlib>
#include <initializer_list>
#include <cstring>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/make_move.h"
#include "board/move_text.h"
#include "board/movegen.h"
#include "board/piece_lists.h"
#include "board/playable.h"
#include "board/root_ply.h"

int8_t RootBoard[65] = {-1};
RootState RootStateNow;
GameEntry* GameHistory;
int GameLength;
uint32_t* KeyHistory;
uint32_t* KeyHistoryTop;

namespace {

constexpr int HistoryStep = 200;
int GameCapacity;  // GameHistory has room for GameCapacity + 1 entries, KeyHistory for + 103 keys

// The legality test of game moves builds the game position here.
Position ScratchPosition;

// Grows both arrays by one step; on failure both stay as they were.
bool GrowGameHistory() {
  int capacity = GameCapacity + HistoryStep;
  auto* entries = static_cast<GameEntry*>(std::realloc(GameHistory, sizeof(GameEntry) * (capacity + 1)));
  if (entries == nullptr) return false;
  GameHistory = entries;
  std::memset(entries + GameCapacity + 1, 0, sizeof(GameEntry) * HistoryStep);
  std::ptrdiff_t top = KeyHistoryTop - KeyHistory;
  auto* keys = static_cast<uint32_t*>(std::realloc(KeyHistory, sizeof(uint32_t) * (capacity + 103)));
  if (keys == nullptr) return false;  // the entry array is only larger; the capacity stays
  KeyHistory = keys;
  KeyHistoryTop = keys + top;
  std::memset(keys + GameCapacity + 103, 0, sizeof(uint32_t) * HistoryStep);
  GameCapacity = capacity;
  return true;
}

}  // namespace

int AllocateGameHistory() {
  FreeGameHistory();
  GameHistory = static_cast<GameEntry*>(std::calloc(HistoryStep + 1, sizeof(GameEntry)));
  KeyHistory = static_cast<uint32_t*>(std::calloc(HistoryStep + 103, sizeof(uint32_t)));
  if (GameHistory == nullptr || KeyHistory == nullptr) {
    FreeGameHistory();
    return 0;
  }
  GameCapacity = HistoryStep;
  KeyHistoryTop = KeyHistory + 3;
  GameLength = 0;
  return 1;
}

void FreeGameHistory() {
  std::free(GameHistory);
  std::free(KeyHistory);
  GameHistory = nullptr;
  KeyHistory = nullptr;
  KeyHistoryTop = nullptr;
  GameCapacity = 0;
  GameLength = 0;
}

void SetGameRoot(const int8_t board[65], const RootState& state) {
  for (int sq = 1; sq <= 64; sq++) RootBoard[sq] = board[sq];
  RootBoard[0] = -1;
  RootStateNow = state;
  if (GameHistory == nullptr && !AllocateGameHistory()) return;
  GameLength = 0;
  GameHistory[0].side = uint8_t(RootStateNow.side & 1);
  GameHistory[0].flags = uint16_t(RootStateNow.flags & (EnPassantMask | AllCastling));
  GameHistory[0].move = 0;
  uint32_t key1, key2;
  ComputeKeys(RootBoard, &key1, &key2);
  KeyHistory[0] = KeyHistory[1] = KeyHistory[2] = 0;
  KeyHistory[3] = key2;
  KeyHistoryTop = KeyHistory + 3;
}

int ApplyGameMove(Move move) {
  const int from = MoveFrom(move), to = MoveTo(move);
  if (GameHistory == nullptr || from < 1 || from > 64 || to < 1 || to > 64) return 0;
  if (GameLength + 1 >= GameCapacity - 1 && !GrowGameHistory()) return 0;
  const GameEntry* previous = &GameHistory[GameLength];
  const int mover = MovePiece(move);
  const int side = PieceSide(mover);

  RootBoard[from] = 0;
  RootBoard[to] = int8_t(MovePromotion(move) ? MovePromotion(move) : mover);
  if (move & MoveEnPassant) RootBoard[PawnAhead[side ^ 1][to]] = 0;
  if (move & MoveCastle) {
    int rookFrom = to > from ? to + 1 : to - 2;
    int rookTo = to > from ? to - 1 : to + 1;
    RootBoard[rookTo] = RootBoard[rookFrom];
    RootBoard[rookFrom] = 0;
  }
  uint32_t key1, key2;
  ComputeKeys(RootBoard, &key1, &key2);
  *++KeyHistoryTop = key2;

  uint32_t rights = previous->flags & AllCastling;
  if (rights & (WhiteKingSide | WhiteQueenSide)) {
    if (from == 5) rights &= ~(WhiteKingSide | WhiteQueenSide);
    else if (from == 1 || to == 1) rights &= ~WhiteQueenSide;
    else if (from == 8 || to == 8) rights &= ~WhiteKingSide;
  }
  if (rights & (BlackKingSide | BlackQueenSide)) {
    if (from == 61) rights &= ~(BlackKingSide | BlackQueenSide);
    else if (from == 57 || to == 57) rights &= ~BlackQueenSide;
    else if (from == 64 || to == 64) rights &= ~BlackKingSide;
  }
  int nextSide = previous->side ^ 1;
  uint32_t flags = rights;
  if (move & MoveDoubleStep) flags |= PawnAhead[nextSide][to];

  GameEntry* entry = &GameHistory[++GameLength];
  entry->side = uint8_t(nextSide);
  entry->flags = uint16_t(flags);
  entry->move = move;
  RootStateNow.side = nextSide;
  RootStateNow.flags = flags;
  return 1;
}

// The game position set up on the scratch position with all its moves generated; null when
// the game position is not playable.
static PlyState* GenerateGameMoves() {
  RootState state = RootStateNow;
  if (GameHistory != nullptr) {
    state.side = GameHistory[GameLength].side;
    state.flags = GameHistory[GameLength].flags;
  }
  if (!IsPlayablePosition(RootBoard, &state)) return nullptr;
  Position* pos = &ScratchPosition;
  std::memcpy(pos->board, RootBoard, sizeof pos->board);
  BuildPieceLists(pos);
  BuildAttackTables(pos);
  pos->keyPtr = nullptr;
  PlyState* root = SetupRootPly(pos, state.side, state.flags);
  GenerateMoves(pos, root, GenAll, 1);
  return root;
}

static bool IsLegalAtRoot(PlyState* root, Move move) {
  root->move = move;
  if (MakeMove(&ScratchPosition, root) == nullptr) return false;
  UnmakeMove(&ScratchPosition, root);
  return true;
}

Move ParseLegalGameMove(const char* text) {
  PlyState* root = GenerateGameMoves();
  if (root == nullptr) return 0;
  Move parsed = ParseMoveText(RootBoard, text, root->side);
  if (parsed == 0) return 0;
  const Move squaresAndPromotion = MoveFromMask | MoveToMask | MovePromoMask;
  for (MoveEntry* list : {root->tacticalBase, root->quietBase}) {
    for (MoveEntry* entry = list; entry->score != MoveListEnd; entry++) {
      if ((entry->move & squaresAndPromotion) != (parsed & squaresAndPromotion)) continue;
      return IsLegalAtRoot(root, entry->move) ? entry->move : 0;
    }
  }
  return 0;
}

int ListLegalGameMoves(Move* moves, int capacity) {
  PlyState* root = GenerateGameMoves();
  if (root == nullptr) return 0;
  int count = 0;
  for (MoveEntry* list : {root->tacticalBase, root->quietBase})
    for (MoveEntry* entry = list; entry->score != MoveListEnd && count < capacity; entry++)
      if (IsLegalAtRoot(root, entry->move)) moves[count++] = entry->move;
  return count;
}

void LoadRootIntoPosition(Position* pos) {
  std::memcpy(pos->board, RootBoard, sizeof pos->board);
  BuildPieceLists(pos);
  BuildAttackTables(pos);
  pos->keyPtr = nullptr;
  RootState state = RootStateNow;
  if (GameHistory != nullptr) {
    state.side = GameHistory[GameLength].side;
    state.flags = GameHistory[GameLength].flags;
  }
  SetupRootPly(pos, state.side, state.flags);
}
