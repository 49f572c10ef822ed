#include "tablebase/generate_tables.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "tablebase/generate_verify.h"
#include "tablebase/generate_write.h"

void GenSessionInit(GenSession* session, const GenHooks* hooks, const char* outDir) {
  memset(session, 0, sizeof *session);
  if (hooks) session->hooks = *hooks;
  session->outDir = outDir;
}

static void FreeTable(GenTable* table) {
  free(table->value[0]);
  free(table->value[1]);
  free(table);
}

void GenSessionFree(GenSession* session) {
  for (int i = 0; i < session->count; i++) FreeTable(session->tables[i]);
  session->count = 0;
}

int GenValueMoves(uint16_t value, bool* mateNow) {
  *mateNow = false;
  if (value == GenUndecided || value == GenBroken) return 0;
  int plies = value - 1;
  if (plies & 1) return (plies + 1) / 2;
  *mateNow = plies == 0;
  return -(plies / 2);
}

static GenTable* FindTable(GenSession* session, uint32_t key) {
  for (int i = 0; i < session->count; i++)
    if (session->tables[i]->mat.key == key) return session->tables[i];
  return nullptr;
}

uint16_t GenProbe(GenSession* session, const GenPos* pos) {
  GenMaterial mat;
  int swapped;
  MaterialOfPosition(pos, &mat, &swapped);
  if (mat.men == 2) return GenUndecided;
  const GenTable* table = FindTable(session, mat.key);
  GenPos arranged;
  uint64_t index[2];
  if (!table || !ArrangeForMaterial(&table->mat, pos, swapped, &arranged) ||
      GenIndexOf(&table->mat, &arranged, index) == 0)
    return GenBroken;
  return GenStoredValue(table, arranged.side, index[0]);
}

static void RunPass(GenSession* session, const char* name, const char* what, double from, double to, GenWork work,
                    GenJob* job, uint64_t count) {
  if (session->hooks.pass) session->hooks.pass(session->hooks.state, name, what, from, to);
  if (session->hooks.run) {
    session->hooks.run(session->hooks.state, work, job, count);
  } else {
    work(job, 0, count);
  }
}

static void InitWork(void* arg, uint64_t begin, uint64_t end) { GenInitRange(static_cast<GenJob*>(arg), begin, end); }
static void LevelWork(void* arg, uint64_t begin, uint64_t end) { GenLevelRange(static_cast<GenJob*>(arg), begin, end); }
static void VerifyWork(void* arg, uint64_t begin, uint64_t end) { GenVerifyRange(static_cast<GenJob*>(arg), begin, end); }

static void Summarise(const GenTable* table, GenSummary* summary) {
  memset(summary, 0, sizeof *summary);
  memcpy(summary->name, table->mat.name, sizeof summary->name);
  for (int side = 0; side < 2; side++) {
    for (uint64_t i = 0; i < table->sideSize; i++) {
      uint16_t v = GenStoredValue(table, side, i);
      if (v == GenBroken) continue;
      summary->positions[side]++;
      bool mateNow;
      int moves = GenValueMoves(v, &mateNow);
      if (moves > 0) {
        summary->wins[side]++;
        if (moves > summary->longestWin[side]) summary->longestWin[side] = moves;
      } else if (moves < 0 || mateNow) {
        summary->losses[side]++;
        if (-moves > summary->longestLoss[side]) summary->longestLoss[side] = -moves;
      } else {
        summary->draws[side]++;
      }
    }
  }
  for (int side = 0; side < 2; side++)
    if (summary->longestWin[side] > 126 || summary->longestLoss[side] > 126) summary->twoByte = 1;
}

// Retrograde passes, then the forward check; 1 when the table is sound.
static int Solve(GenSession* session, GenJob* job) {
  GenTable* table = job->table;
  const char* name = table->mat.name;
  RunPass(session, name, "setup", 0.0, 0.3, InitWork, job, 2 * table->sideSize);
  for (uint32_t level = 0; level + 1 <= job->maxValue.load(std::memory_order_relaxed) && job->tooLong.load() == 0;
       level++) {
    double from = 0.3 + 0.35 * level / (level + 40.0), to = 0.3 + 0.35 * (level + 1) / (level + 41.0);
    for (int side = 0; side < 2; side++) {
      job->side = side;
      job->level = level;
      RunPass(session, name, "levels", from, to, LevelWork, job, table->sideSize);
    }
  }
  free(job->pending[0]);  // the forward check does without them
  free(job->pending[1]);
  job->pending[0] = job->pending[1] = nullptr;
  if (job->tooLong.load() != 0) {
    snprintf(session->error, sizeof session->error, "%s: mates longer than 126 moves do not fit this generator",
             name);
    return 0;
  }
  if (job->faults.load() != 0) {
    snprintf(session->error, sizeof session->error, "%s: %llu positions without a consistent value", name,
             (unsigned long long)job->faults.load());
    return 0;
  }
  RunPass(session, name, "check", 0.65, 0.95, VerifyWork, job, 2 * table->sideSize);
  if (job->mismatches.load() != 0) {
    snprintf(session->error, sizeof session->error,
             "%s: %llu positions disagree with their successors (first: number %llu); nothing written", name,
             (unsigned long long)job->mismatches.load(), (unsigned long long)job->firstMismatch.load());
    return 0;
  }
  return 1;
}

static const GenTable* Generate(GenSession* session, const GenMaterial* mat) {
  if (GenTable* known = FindTable(session, mat->key)) return known;
  if (session->count == GenMaxTables) {
    snprintf(session->error, sizeof session->error, "too many tables in one run");
    return nullptr;
  }
  GenJob* job = static_cast<GenJob*>(calloc(1, sizeof(GenJob)));
  GenTable* table = static_cast<GenTable*>(calloc(1, sizeof(GenTable)));
  if (!job || !table) {
    free(job);
    free(table);
    snprintf(session->error, sizeof session->error, "%s: out of memory", mat->name);
    return nullptr;
  }
  GenMaterial exitMats[GenMaxExits];
  job->exitCount = GenExitMaterials(mat, exitMats, job->exits);
  for (int k = 0; k < job->exitCount; k++) {
    if (exitMats[k].men == 2) continue;
    job->exits[k].table = Generate(session, &exitMats[k]);
    if (!job->exits[k].table) {
      free(job);
      free(table);
      return nullptr;
    }
  }
  uint32_t start = TickCount();  // the tables it needs are done: time this one alone
  table->mat = *mat;
  table->sideSize = GenSideSize(mat);
  size_t bytes = size_t(table->sideSize);
  if (uint64_t(bytes) == table->sideSize) {
    table->value[0] = static_cast<uint8_t*>(malloc(bytes));
    table->value[1] = static_cast<uint8_t*>(malloc(bytes));
  }
  if (!table->value[0] || !table->value[1]) {
    snprintf(session->error, sizeof session->error, "%s: not enough memory for %llu positions", mat->name,
             (unsigned long long)(2 * table->sideSize));
    FreeTable(table);
    free(job);
    return nullptr;
  }
  job->table = table;
  job->pending[0] = static_cast<uint8_t*>(malloc(bytes));
  job->pending[1] = static_cast<uint8_t*>(malloc(bytes));
  int sound = 0;
  if (!job->pending[0] || !job->pending[1]) {
    snprintf(session->error, sizeof session->error, "%s: not enough memory for %llu positions", mat->name,
             (unsigned long long)(2 * table->sideSize));
  } else {
    sound = Solve(session, job);
  }
  free(job->pending[0]);
  free(job->pending[1]);
  free(job);
  if (!sound) {
    FreeTable(table);
    return nullptr;
  }
  GenSummary summary;
  Summarise(table, &summary);
  if (session->outDir) {
    if (!GenWriteTableFiles(session, table)) {
      FreeTable(table);
      return nullptr;
    }
    summary.written = 1;
  }
  summary.seconds = (TickCount() - start) / 1000.0;
  session->tables[session->count++] = table;
  if (session->done) session->done(session->hooks.state, &summary);
  return table;
}

const GenTable* GenerateEndgame(GenSession* session, const char* name) {
  GenMaterial mat;
  if (!ParseMaterialName(name, &mat)) {
    snprintf(session->error, sizeof session->error, "'%s' is not an endgame of three to five pieces", name);
    return nullptr;
  }
  GenPos pos{};
  pos.men = int8_t(mat.men);
  for (int i = 0; i < mat.men; i++) pos.sq[i] = int8_t(i), pos.kind[i] = mat.kind[i], pos.color[i] = mat.color[i];
  GenMaterial canonical;
  int swapped;
  MaterialOfPosition(&pos, &canonical, &swapped);
  if (swapped || strcmp(canonical.name, mat.name) != 0) {
    snprintf(session->error, sizeof session->error, "'%s' is named with the stronger side first: %s", name,
             canonical.name);
    return nullptr;
  }
  return Generate(session, &mat);
}
