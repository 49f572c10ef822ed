// Placeholder bodies until the board code lands.
#include "board/fen.h"
#include "board/game.h"
#include "board/make_move.h"
#include "board/move_text.h"
#include "board/movegen.h"

const int PieceValue[16] = {0, 10000, 100, 325, 0, 325, 541, 1055, 0, 10000, 100, 325, 0, 325, 541, 1055};
const int PhaseWeight[16] = {0, 0, 0, 1, 0, 1, 3, 6, 0, 0, 0, 1, 0, 1, 3, 6};
const char SquareName[65][3] = {"00"};
int8_t RootBoard[65];
RootState RootStateNow;
GameEntry* GameHistory;
int GameLength;
uint32_t* KeyHistory;
uint32_t* KeyHistoryTop;

int ParseFen(const char*, int8_t*, RootState*) { return 0; }
void SetStartPosition(int8_t*, RootState*) {}
int IsPlayablePosition(const int8_t*, const RootState*) { return 0; }
Move ParseMoveText(const int8_t*, const char*, int) { return 0; }
int MoveToText(char* buffer, Move) { buffer[0] = 0; return 0; }
int MoveToLongText(char* buffer, Move, int) { buffer[0] = 0; return 0; }
int AllocateGameHistory() { return 1; }
void FreeGameHistory() {}
void ResetRoot() {}
int ApplyGameMove(Move) { return 0; }
Move ParseLegalGameMove(const char*) { return 0; }
void LoadRootIntoPosition(Position*) {}
PlyState* MakeMove(Position*, PlyState*) { return nullptr; }
void UnmakeMove(Position*, PlyState*) {}
void ComputeKeys(const int8_t*, uint32_t* a, uint32_t* b) { *a = *b = 0; }
void ComputePawnKeys(const int8_t*, uint32_t* a, uint32_t* b) { *a = 0; *b = 1; }
void BuildPieceLists(Position*) {}
void BuildAttackTables(Position*) {}
void GenerateMoves(Position*, PlyState*, int, int) {}
Move PickBest(int32_t, MoveEntry*) { return 0; }
void RemoveMove(PlyState*, Move) {}
int IsMovePlausible(Move, const int8_t*, uint32_t) { return 0; }
int PieceMissesSquare(const int8_t*, int, int, int) { return 1; }
int SameDiagonal(int, int) { return 0; }
int CaptureScore(Move, const Position*) { return 0; }
