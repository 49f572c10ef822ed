#include "tablebase/generate_write.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tablebase/datacomp_write.h"
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
  TbIndexRoutine routine;
  uint64_t count;    // entries of the file
  uint8_t* buffer;
  std::atomic<uint64_t> faults;      // legal positions without a value, or with two
  std::atomic<uint64_t> tooLong;     // distances that do not fit one byte
  std::atomic<uint64_t> firstFault;
};

// Entries are read and written a byte at a time: positions that the symmetries fold onto one
// index are filled with the same code by whichever thread meets them.
int LoadEntry(const FillJob* job, uint64_t index) {
  if (!job->twoByte) return int8_t(std::atomic_ref<uint8_t>(job->buffer[index]).load(std::memory_order_relaxed));
  int low = std::atomic_ref<uint8_t>(job->buffer[2 * index]).load(std::memory_order_relaxed);
  int high = std::atomic_ref<uint8_t>(job->buffer[2 * index + 1]).load(std::memory_order_relaxed);
  return int16_t(uint16_t(low | high << 8));
}

void StoreEntry(FillJob* job, uint64_t index, int code) {
  if (!job->twoByte) {
    std::atomic_ref<uint8_t>(job->buffer[index]).store(uint8_t(code), std::memory_order_relaxed);
    return;
  }
  std::atomic_ref<uint8_t>(job->buffer[2 * index]).store(uint8_t(code & 0xFF), std::memory_order_relaxed);
  std::atomic_ref<uint8_t>(job->buffer[2 * index + 1]).store(uint8_t((code >> 8) & 0xFF), std::memory_order_relaxed);
}

// Entries no position has filled yet hold a code no value takes.
int UnsetCode(const FillJob* job) { return job->twoByte ? -32768 : -128; }

void NoteFault(FillJob* job, uint64_t index) {
  if (job->faults.fetch_add(1, std::memory_order_relaxed) == 0) job->firstFault.store(index, std::memory_order_relaxed);
}

void UnsetRange(void* arg, uint64_t begin, uint64_t end) {
  FillJob* job = static_cast<FillJob*>(arg);
  for (uint64_t index = begin; index < end; index++) StoreEntry(job, index, UnsetCode(job));
}

// The record's square lists of a generator position.
void ListsOfPosition(const GenPos* pos, int32_t white[24], int32_t black[24], int32_t* ep) {
  int used[2][6] = {};
  for (int i = 0; i < 24; i++) white[i] = black[i] = 0;
  for (int i = 0; i < pos->men; i++) {
    int32_t* list = pos->color[i] == 0 ? white : black;
    int kind = pos->kind[i];
    list[kind == GenKing ? 0 : 4 * kind + used[pos->color[i]][kind]++] = pos->sq[i];
  }
  *ep = TbNoEnPassant;
  if (pos->epMan >= 0) *ep = pos->sq[pos->epMan] + (pos->color[pos->epMan] == 0 ? -8 : 8);
}

// Over the generator's numbers of the file's side: each legal position's code goes to the
// entry of its index.
void ScatterRange(void* arg, uint64_t begin, uint64_t end) {
  FillJob* job = static_cast<FillJob*>(arg);
  const GenTable* table = job->table;
  for (uint64_t n = begin; n < end; n++) {
    uint16_t value = GenStoredValue(table, job->side, n);
    if (value == GenBroken) continue;
    GenPos pos;
    int32_t white[24], black[24], ep;
    if (!GenDecodeSquares(&table->mat, job->side, n, &pos)) {
      NoteFault(job, job->count);
      continue;
    }
    ListsOfPosition(&pos, white, black, &ep);
    uint64_t index = job->routine(white, black, ep, 0);
    if (index >= job->count) {
      NoteFault(job, job->count);
      continue;
    }
    bool mateNow;
    int moves = GenValueMoves(value, &mateNow);
    if (!job->twoByte && (moves > TbByteLongest || moves < -TbByteLongest))
      job->tooLong.fetch_add(1, std::memory_order_relaxed);
    int code = job->twoByte ? EncodeTableWord(moves, mateNow) : EncodeTableByte(moves, mateNow);
    int held = LoadEntry(job, index);
    if (held != code && held != UnsetCode(job)) NoteFault(job, index);
    StoreEntry(job, index, code);
  }
}

// Entries no position reached: "no position" unless a legal position stands behind them.
void ClosingRange(void* arg, uint64_t begin, uint64_t end) {
  FillJob* job = static_cast<FillJob*>(arg);
  for (uint64_t index = begin; index < end; index++) {
    if (LoadEntry(job, index) != UnsetCode(job)) continue;
    int32_t white[24], black[24], ep;
    if (TbIndexToPosition(job->record, job->side, index, white, black, &ep) &&
        TbPositionIsLegal(job->record, job->side, white, black, ep))
      NoteFault(job, index);
    StoreEntry(job, index, job->twoByte ? TbWordBroken : TbByteBroken);
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
    if (session->compressed) {
      strncat(path, ".emd", sizeof path - strlen(path) - 1);
      if (!WriteDatacompFile(path, data + from, size, nullptr, session->error, sizeof session->error)) return 0;
      continue;
    }
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
    job->routine = side == 0 ? r->indexWhite : r->indexBlack;
    job->count = count;
    job->firstFault.store(count);
    if (session->hooks.pass) session->hooks.pass(session->hooks.state, r->name, "write", 0.95, 1.0);
    const GenWork steps[3] = {UnsetRange, ScatterRange, ClosingRange};
    const uint64_t lengths[3] = {count, table->sideSize, count};
    for (int step = 0; step < 3; step++) {
      if (session->hooks.run)
        session->hooks.run(session->hooks.state, steps[step], job, lengths[step]);
      else
        steps[step](job, 0, lengths[step]);
    }
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
