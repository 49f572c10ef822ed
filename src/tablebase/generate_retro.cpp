#include "tablebase/generate_retro.h"

#include <algorithm>
#include <cstring>

static uint16_t LoadValue(uint8_t* slot) {
  uint8_t v = std::atomic_ref<uint8_t>(*slot).load(std::memory_order_relaxed);
  return v == GenStoredBroken ? GenBroken : v;
}

static void StoreValue(GenJob* job, uint8_t* slot, uint16_t v) {
  if (v != GenBroken && v > GenLongest) {
    job->tooLong.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  std::atomic_ref<uint8_t>(*slot).store(v == GenBroken ? GenStoredBroken : uint8_t(v), std::memory_order_relaxed);
}

// The smallest of a position's numbers (0 when it has none: kings touching).
static int SmallestNumber(const GenMaterial* mat, const GenPos* pos, uint64_t* number) {
  uint64_t numbers[2];
  int images = GenIndexOf(mat, pos, numbers);
  if (images == 0) return 0;
  *number = images == 2 && numbers[1] < numbers[0] ? numbers[1] : numbers[0];
  return 1;
}

// The numbers of a position that differs from a decoded one (whose first number is its own,
// read without symmetry) by where man `man` stands: for a man other than a king, with no
// en-passant right on either board, only that man's digit changes.
static int NumbersNear(const GenMaterial* mat, const GenPos* base, const uint64_t baseNumbers[2], int images,
                       const GenPos* pos, int man, uint64_t out[2]) {
  if (man < 2 || base->epMan >= 0 || pos->epMan >= 0) return GenIndexOf(mat, pos, out);
  auto transposed = [](int s) { return uint64_t((s & 7) << 3 | s >> 3); };
  uint64_t digit = uint64_t(1) << 6 * (mat->men - 1 - man);
  out[0] = baseNumbers[0] + (uint64_t(pos->sq[man]) - uint64_t(base->sq[man])) * digit;
  if (images == 2) out[1] = baseNumbers[1] + (transposed(pos->sq[man]) - transposed(base->sq[man])) * digit;
  return images;
}

// Sorts and drops repeats; the new length.
static int Distinct(uint64_t* numbers, int count) {
  std::sort(numbers, numbers + count);
  return int(std::unique(numbers, numbers + count) - numbers);
}

// Two different moves reach one position twice over only through a mirror of the board
// that leaves the unmoved king where it stands: pawnless, that king on a long diagonal.
static bool MayRepeat(const GenMaterial* mat, int unmovedKing) {
  int file = unmovedKing & 7, rank = unmovedKing >> 3;
  return !mat->pawns && (file == rank || file + rank == 7);
}

static bool IsWin(uint16_t v) { return v != GenUndecided && v != GenBroken && ((v - 1) & 1) != 0; }

static void NoteValue(GenJob* job, uint32_t v) {
  uint32_t seen = job->maxValue.load(std::memory_order_relaxed);
  while (v > seen && !job->maxValue.compare_exchange_weak(seen, v, std::memory_order_relaxed)) {
  }
}

int GenExitMaterials(const GenMaterial* mat, GenMaterial out[GenMaxExits], GenExit exits[GenMaxExits]) {
  int n = 0;
  GenPos pos{};
  pos.men = int8_t(mat->men);
  for (int i = 0; i < mat->men; i++) pos.sq[i] = int8_t(i), pos.kind[i] = mat->kind[i], pos.color[i] = mat->color[i];
  auto add = [&](const GenPos* p) {
    int swapped;
    GenMaterial m;
    MaterialOfPosition(p, &m, &swapped);
    uint32_t key = MaterialKeyOf(p);
    for (int k = 0; k < n; k++)
      if (exits[k].key == key) return;
    if (n == GenMaxExits) return;
    out[n] = m;
    exits[n++] = {key, nullptr, swapped};
  };
  for (int taken = -1; taken < mat->men; taken++) {
    if (taken >= 0 && mat->kind[taken] == GenKing) continue;
    GenPos p = pos;
    if (taken >= 0) {
      p.sq[taken] = -1;
      add(&p);
    }
    for (int i = 2; i < mat->men; i++) {
      if (mat->kind[i] != 1 || i == taken) continue;
      for (int k = 2; k <= 5; k++) {
        GenPos q = p;
        q.kind[i] = int8_t(k);
        add(&q);
      }
    }
  }
  return n;
}

// The position has every man of the table's material, in its order.
static bool InTableOrder(const GenMaterial* mat, const GenPos* pos) {
  if (pos->men != mat->men) return false;
  for (int i = 2; i < pos->men; i++)
    if (pos->sq[i] < 0 || pos->kind[i] != mat->kind[i] || pos->color[i] != mat->color[i]) return false;
  return true;
}

uint16_t GenLookup(GenJob* job, const GenPos* pos) {
  if (InTableOrder(&job->table->mat, pos)) {
    uint64_t index[2];
    if (GenIndexOf(&job->table->mat, pos, index) == 0) return GenBroken;
    return LoadValue(&job->table->value[pos->side][index[0]]);
  }
  uint32_t key = MaterialKeyOf(pos);
  const GenTable* table = nullptr;
  int swap = 0;
  if (key == job->table->mat.key) {
    table = job->table;
  } else {
    int k = 0;
    while (k < job->exitCount && job->exits[k].key != key) k++;
    if (k == job->exitCount) return GenBroken;
    if (job->exits[k].table == nullptr) return GenUndecided;  // bare kings
    table = job->exits[k].table;
    swap = job->exits[k].swap;
  }
  GenPos arranged;
  uint64_t index[2];
  if (!ArrangeForMaterial(&table->mat, pos, swap, &arranged) || GenIndexOf(&table->mat, &arranged, index) == 0)
    return GenBroken;
  return LoadValue(&table->value[arranged.side][index[0]]);
}

void GenInitRange(GenJob* job, uint64_t begin, uint64_t end) {
  GenTable* table = job->table;
  GenPos pos, next[GenMaxMoves];
  for (uint64_t n = begin; n < end; n++) {
    int side = n >= table->sideSize ? 1 : 0;
    uint64_t index = n - side * table->sideSize;
    uint8_t* slot = &table->value[side][index];
    if (!GenDecode(&table->mat, side, index, &pos)) {
      StoreValue(job, slot, GenBroken);
      continue;
    }
    int count = GenSuccessors(&pos, next);
    uint16_t value = GenUndecided;
    int inside = 0;
    uint64_t reached[GenMaxMoves];
    // Different moves lead to different positions unless a mirror can fold two into one:
    // only then are the numbers needed to count them.
    bool mayRepeat = MayRepeat(&table->mat, pos.sq[side ^ 1]);
    if (count == 0) {
      value = GenInCheck(&pos) ? 1 : GenUndecided;
    } else {
      uint16_t bestExit = GenUndecided;
      bool anyExit = false;
      for (int m = 0; m < count; m++) {
        if (InTableOrder(&table->mat, &next[m])) {
          if (!mayRepeat) inside++;
          else if (SmallestNumber(&table->mat, &next[m], &reached[inside])) inside++;
          else job->faults.fetch_add(1, std::memory_order_relaxed);
          continue;
        }
        uint16_t v = GenLookup(job, &next[m]);
        if (v == GenBroken) job->faults.fetch_add(1, std::memory_order_relaxed);
        v = GenMoverValue(v);
        if (!anyExit || GenPreference(v) > GenPreference(bestExit)) bestExit = v;
        anyExit = true;
      }
      // With moves inside the table a capture's win is only a bound, improved later.
      if (inside == 0 || IsWin(bestExit)) value = bestExit;
    }
    StoreValue(job, slot, value);
    if (value != GenUndecided) NoteValue(job, value);
    if (value == GenUndecided && mayRepeat) inside = Distinct(reached, inside);
    job->pending[side][index] = value == GenUndecided ? uint8_t(inside) : 0;
  }
}

// Whether every move of q loses by now (the successors inside the table are settled up to
// `level` plies); the loss's value then. Asked once per position, when its count runs out.
static uint16_t SettledLoss(GenJob* job, const GenPos* q, uint32_t level) {
  GenPos next[GenMaxMoves];
  int count = GenSuccessors(q, next);
  uint16_t longest = 0;
  for (int m = 0; m < count; m++) {
    uint16_t v = GenLookup(job, &next[m]);
    if (!IsWin(v)) return GenUndecided;
    if (InTableOrder(&job->table->mat, &next[m]) && uint32_t(v - 1) > level) return GenUndecided;
    if (v > longest) longest = v;
  }
  return count == 0 ? GenUndecided : uint16_t(longest + 1);
}

void GenLevelRange(GenJob* job, uint64_t begin, uint64_t end) {
  GenTable* table = job->table;
  const GenMaterial* mat = &table->mat;
  int side = job->side;
  uint32_t level = job->level;
  uint8_t* own = table->value[side];
  uint8_t* other = table->value[side ^ 1];
  uint8_t* pending = job->pending[side ^ 1];
  GenPos pos, prev[GenMaxMoves];
  int8_t moved[GenMaxMoves];
  uint64_t smallest[GenMaxMoves];
  uint64_t wanted = 0x0101010101010101ull * uint8_t(level + 1);
  for (uint64_t index = begin; index < end; index++) {
    // This pass writes only the other side's values, so the own side's may be read eight
    // at a time to skip the many that are not at this level.
    if ((index & 7) == 0 && index + 8 <= end) {
      uint64_t word;
      memcpy(&word, own + index, 8);
      uint64_t x = word ^ wanted;
      if (((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) == 0) {
        index += 7;
        continue;
      }
    }
    if (own[index] != level + 1) continue;
    if (!GenDecodeSquares(mat, side, index, &pos)) {
      job->faults.fetch_add(1, std::memory_order_relaxed);
      continue;
    }
    uint64_t self[2];
    int selfImages = GenIndexOf(mat, &pos, self);
    if (selfImages == 0 || (selfImages == 2 && self[1] < index)) continue;  // handled under its other number
    int count = GenPredecessors(&pos, prev, moved);
    if (level % 2 == 0) {
      uint16_t win = uint16_t(level + 2);
      for (int p = 0; p < count; p++) {
        uint64_t numbers[2];
        int images = NumbersNear(mat, &pos, self, selfImages, &prev[p], moved[p], numbers);
        for (int k = 0; k < images; k++) {
          uint16_t current = LoadValue(&other[numbers[k]]);
          if (current == GenUndecided || (IsWin(current) && current > win)) {
            StoreValue(job, &other[numbers[k]], win);
            NoteValue(job, win);
          }
        }
      }
      continue;
    }
    int distinct = 0;
    for (int p = 0; p < count; p++) {
      uint64_t numbers[2];
      int images = NumbersNear(mat, &pos, self, selfImages, &prev[p], moved[p], numbers);
      if (images == 0) continue;
      smallest[distinct++] = images == 2 && numbers[1] < numbers[0] ? numbers[1] : numbers[0];
    }
    if (MayRepeat(mat, pos.sq[side])) distinct = Distinct(smallest, distinct);
    for (int d = 0; d < distinct; d++) {
      uint64_t q = smallest[d];
      if (LoadValue(&other[q]) != GenUndecided) continue;
      uint8_t left = std::atomic_ref<uint8_t>(pending[q]).fetch_sub(1, std::memory_order_relaxed);
      if (left == 0) {
        job->faults.fetch_add(1, std::memory_order_relaxed);  // more wins reached than moves counted
        continue;
      }
      if (left != 1) continue;
      GenPos loser;
      uint64_t numbers[2];
      if (!GenDecodeSquares(mat, side ^ 1, q, &loser)) continue;
      uint16_t loss = SettledLoss(job, &loser, level);
      if (loss == GenUndecided) continue;
      int images = GenIndexOf(mat, &loser, numbers);
      for (int k = 0; k < images; k++) StoreValue(job, &other[numbers[k]], loss);
      NoteValue(job, loss);
    }
  }
}
