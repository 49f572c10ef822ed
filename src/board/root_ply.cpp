#include "board/root_ply.h"

#include "board/keys.h"
#include "board/piece_square_table.h"
#include "board/piece_values.h"

PlyState* SetupRootPly(Position* pos, int side, uint32_t flags) {
  side &= 1;
  for (int i = 0; i < PlyStackSize; i++) {
    PlyState* entry = &pos->plies[i];
    entry->side = int8_t(side ^ (i & 1));
    entry->ply = uint8_t(i);
    entry->move = 0;
    entry->bestMove = 0;
    entry->hashMove1 = 0;
    entry->hashMove2 = 0;
    entry->triedHashMove2 = 0;
  }
  PlyState* root = &pos->plies[0];
  int ownKing = pos->pieceList[side][0];
  bool inCheck = pos->attacks[side ^ 1].cell[ownKing].count != 0;
  root->flags = (flags & (EnPassantMask | AllCastling)) | (inCheck ? InCheckFlag : 0);
  ComputeKeys(pos->board, &root->key1, &root->key2);
  ComputePawnKeys(pos->board, &root->pawnKey1, &root->pawnKey2);

  int material[2] = {0, 0}, phase[2] = {0, 0}, pst[2] = {0, 0};
  uint32_t signature[2] = {0, 0};
  int men = 0;
  for (int sq = 1; sq <= 64; sq++) {
    int code = pos->board[sq];
    if (code <= 0) continue;
    int owner = PieceSide(code);
    men++;
    if (PieceKind(code) != WKing) material[owner] += PieceValue[code];
    phase[owner] += PhaseWeight[code];
    signature[owner] += PieceSignatureWeight(code, sq);
    pst[owner] += PieceSquareTable[code][sq];
  }
  for (int s = 0; s < 2; s++) {
    root->material[s] = material[s];
    root->phaseCount[s] = uint8_t(phase[s]);
    root->signature[s] = signature[s];
    root->checkCount[s] = 0;
  }
  root->checkCount[side] = inCheck ? 1 : 0;
  root->menCount = uint8_t(men);
  root->capturedKinds = 0;
  root->pstSum = pst[side] - pst[side ^ 1];

  root->quietBase = root->quietCursor = pos->quietStack;
  root->tacticalBase = root->tacticalCursor = pos->tacticalStack;
  root->listsMade = 0;
  root->moveStage = 0;
  root->moveTotal = 0;
  root->legalCount = 0;
  root->attackFlag = 0;

  if (pos->keyPtr == nullptr) {
    pos->keyPtr = pos->keyBuffer;
    pos->keyBuffer[0] = root->key2;
  }
  root->irreversible = pos->keyPtr;
  return root;
}
