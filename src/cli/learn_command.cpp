#include "cli/learn_command.h"

#include <cstdio>
#include <cstring>

#include "protocol/options.h"
#include "search/learning_file.h"
#include "search/learning_text.h"
#include "search/settings_signature.h"

static const char DefaultLearningFile[] = "kestrane.pl2";

static void PrintRecord(const LearningRecord* record, void*) {
  char text[LearningTextSize];
  LearningRecordText(record, text);
  printf("%s\n", text);
}

struct LearningStats {
  uint32_t signature;
  int64_t matching;
};

static void CountMatching(const LearningRecord* record, void* context) {
  LearningStats* stats = static_cast<LearningStats*>(context);
  if (record->signature == stats->signature) stats->matching++;
}

static int Usage() {
  fprintf(stderr, "usage: kestrane learn list|stats [FILE]\n");
  return 2;
}

int LearnCommand(int argc, char** argv) {
  if (argc < 2 || argc > 3) return Usage();
  const char* path = argc == 3 ? argv[2] : DefaultLearningFile;
  int list = strcmp(argv[1], "list") == 0;
  if (!list && strcmp(argv[1], "stats") != 0) return Usage();

  SetOptionDefaults();
  LearningStats stats = {SettingsSignature(), 0};
  int64_t records = list ? ReadLearningRecords(path, 0, PrintRecord, nullptr)
                         : ReadLearningRecords(path, 0, CountMatching, &stats);
  if (records < 0) {
    fprintf(stderr, "kestrane learn: cannot read %s\n", path);
    return 1;
  }
  if (!list) {
    printf("records %lld\n", static_cast<long long>(records));
    printf("matching %lld (signature %08x, default options)\n", static_cast<long long>(stats.matching),
           unsigned(stats.signature));
  }
  return 0;
}
