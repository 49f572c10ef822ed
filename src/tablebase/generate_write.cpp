#include "tablebase/generate_write.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"
#include "tablebase/index_tables.h"
#include "tablebase/table_values.h"

namespace {

struct FillJob {
  const GenTable* table;
  int record;
  int side;          // the file's side to move
  int twoByte;
  uint8_t* buffer;
  std::atomic<uint64_t> faults;      // legal positions without a value
  std::atomic<uint64_t> tooLong;     // distances that do not fit one byte
  std::atomic<uint64_t> firstFault;
};

// The generator's position behind a record's square lists.
void PositionOfLists(const GenTable* table, const int32_t* white, const int32_t* black, int32_t ep, int side,
                     GenPos* pos) {
  const GenMaterial* mat = &table->mat;
  pos->men = int8_t(mat->men);
  pos->side = int8_t(side);
  pos->epMan = -1;
  int used[2][6] = {};
  for (int i = 0; i < mat->men; i++) {
    const int32_t* list = mat->color[i] == 0 ? white : black;
    int kind = mat->kind[i];
    int slot = kind == GenKing ? 0 : 4 * kind + used[mat->color[i]][kind]++;
    pos->sq[i] = int8_t(list[slot]);
    pos->kind[i] = int8_t(kind), pos->color[i] = mat->color[i];
  }
  if (ep == TbNoEnPassant) return;
  int pawnSquare = side == 0 ? ep - 8 : ep + 8;
  for (int i = 2; i < mat->men; i++)
    if (pos->sq[i] == pawnSquare && pos->kind[i] == 1 && pos->color[i] != side) pos->epMan = int8_t(i);
}

void FillRange(void* arg, uint64_t begin, uint64_t end) {
  FillJob* job = static_cast<FillJob*>(arg);
  const GenTable* table = job->table;
  for (uint64_t index = begin; index < end; index++) {
    int32_t white[24], black[24], ep;
    int code = job->twoByte ? TbWordBroken : TbByteBroken;
    if (TbIndexToPosition(job->record, job->side, index, white, black, &ep) &&
        TbPositionIsLegal(job->record, job->side, white, black, ep)) {
      GenPos pos;
      PositionOfLists(table, white, black, ep, job->side, &pos);
      uint64_t number[2];
      uint16_t value = GenIndexOf(&table->mat, &pos, number) ? GenStoredValue(table, job->side, number[0]) : GenBroken;
      if (value == GenBroken) {
        if (job->faults.fetch_add(1, std::memory_order_relaxed) == 0) job->firstFault.store(index);
      } else {
        bool mateNow;
        int moves = GenValueMoves(value, &mateNow);
        if (!job->twoByte && (moves > TbByteLongest || moves < -TbByteLongest))
          job->tooLong.fetch_add(1, std::memory_order_relaxed);
        code = job->twoByte ? EncodeTableWord(moves, mateNow) : EncodeTableByte(moves, mateNow);
      }
    }
    if (job->twoByte) {
      job->buffer[2 * index] = uint8_t(code & 0xFF);
      job->buffer[2 * index + 1] = uint8_t((code >> 8) & 0xFF);
    } else {
      job->buffer[index] = uint8_t(code);
    }
  }
}

// Part names: "." and the part digit ('0'..'9', then 'a', 'b', ...) for split records.
char PartDigit(int part) { return char(part < 10 ? '0' + part : 'a' + part - 10); }

int WriteParts(GenSession* session, const EndgameRecord* record, int side, const uint8_t* data, uint64_t bytes) {
  constexpr uint64_t PartBytes = uint64_t(1) << 31;
  int parts = (record->flags & EndgameSplit) ? int(bytes / PartBytes) + 1 : 1;
  const char* extension = side == 0 ? "nbw" : "nbb";
  for (int part = 0; part < parts; part++) {
    char path[1024];
    if (record->flags & EndgameSplit)
      snprintf(path, sizeof path, "%s/%s.%c.%s", session->outDir, record->name, PartDigit(part), extension);
    else
      snprintf(path, sizeof path, "%s/%s.%s", session->outDir, record->name, extension);
    uint64_t from = uint64_t(part) * PartBytes, size = bytes - from < PartBytes ? bytes - from : PartBytes;
    if (parts > 1 && from >= bytes) break;
    FILE* file = fopen(path, "wb");
    bool ok = file != nullptr && fwrite(data + from, 1, size_t(size), file) == size;
    if (file && fclose(file) != 0) ok = false;
    if (!ok) {
      snprintf(session->error, sizeof session->error, "cannot write %.200s", path);
      remove(path);
      return 0;
    }
  }
  return 1;
}

}  // namespace

int GenWriteTableFiles(GenSession* session, const GenTable* table) {
  BuildTablebaseIndexTables();
  int record = EndgameRecordByName(table->mat.name);
  if (record <= 0) {
    snprintf(session->error, sizeof session->error, "%s: no such endgame in the table list", table->mat.name);
    return 0;
  }
  const EndgameRecord* r = &EndgameTable[record];
  int sides = (r->flags & EndgameSymmetric) ? 1 : 2;
  int twoByte = (r->flags & EndgameTwoByte) ? 1 : 0;
  for (int side = 0; side < sides; side++) {
    uint64_t count = side == 0 ? r->countWhite : r->countBlack;
    uint64_t bytes = count * (twoByte ? 2 : 1);
    uint8_t* buffer = size_t(bytes) == bytes ? static_cast<uint8_t*>(malloc(size_t(bytes))) : nullptr;
    FillJob* job = static_cast<FillJob*>(calloc(1, sizeof(FillJob)));
    if (!buffer || !job) {
      free(buffer);
      free(job);
      snprintf(session->error, sizeof session->error, "%s: not enough memory to write %llu entries", r->name,
               (unsigned long long)count);
      return 0;
    }
    job->table = table, job->record = record, job->side = side, job->twoByte = twoByte, job->buffer = buffer;
    if (session->hooks.pass) session->hooks.pass(session->hooks.state, r->name, "write", 0.95, 1.0);
    if (session->hooks.run)
      session->hooks.run(session->hooks.state, FillRange, job, count);
    else
      FillRange(job, 0, count);
    int ok = 1;
    if (job->faults.load() != 0) {
      snprintf(session->error, sizeof session->error,
               "%s: %llu legal positions of the file layout have no generated value (first index %llu); nothing "
               "written", r->name, (unsigned long long)job->faults.load(), (unsigned long long)job->firstFault.load());
      ok = 0;
    } else if (job->tooLong.load() != 0) {
      snprintf(session->error, sizeof session->error,
               "%s: %llu distances do not fit the table's one-byte entries; nothing written", r->name,
               (unsigned long long)job->tooLong.load());
      ok = 0;
    }
    if (ok) ok = WriteParts(session, r, side, buffer, bytes);
    free(buffer);
    free(job);
    if (!ok) return 0;
  }
  return 1;
}
