// A learning file of any bytes, read by the loading, trimming and listing code, and the
// search that follows with whatever the load put into the transposition table.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "board/position.h"
#include "fuzz_engine.h"
#include "protocol/interpreter.h"
#include "search/learning_load.h"
#include "search/learning_path.h"
#include "search/learning_file.h"
#include "search/learning_text.h"

static void ListRecord(const LearningRecord* record, void*) {
  char text[LearningTextSize];
  LearningRecordText(record, text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzStartEngine();
  static std::string path = std::string(LearningFilePath) + ".fuzz";
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) abort();
  fwrite(data, 1, size, file);
  fclose(file);

  FuzzExecute("setoption name Position Learning value true");
  FuzzExecute("position startpos");
  int64_t count = CountLearningRecords(path.c_str());
  if (count != int64_t(size) / LearningRecordSize) abort();
  if (ReadLearningRecords(path.c_str(), 0, ListRecord, nullptr) != count) abort();
  LoadLearningFrom(path.c_str(), EnginePosition, &EnginePosition->plies[0]);
  FuzzCheckEngine();
  if (TrimLearningRecords(path.c_str(), 2, 1) && CountLearningRecords(path.c_str()) != 1) abort();
  return 0;
}
