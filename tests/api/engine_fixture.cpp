#include "api/engine_fixture.h"

#include <cstring>
#include <unistd.h>

#include "search/search_flags.h"

HostRecord Received;

static void RecordLine(const char* line, int32_t score) {
  Received.lines.push_back(line);
  Received.scores.push_back(score);
  int32_t mode = SearchMode.load();
  if (mode > Received.maxSearchModeSeen) Received.maxSearchModeSeen = mode;
  if (Received.onLine) Received.onLine(line);
}

const KestraneCallbacks RecordingCallbacks = {nullptr, nullptr, nullptr, nullptr, RecordLine, nullptr, nullptr};

const std::string& EngineDirectory() {
  static std::string directory;
  if (directory.empty()) {
    char pattern[] = "/tmp/kestrane-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    directory = std::string(made ? made : "/tmp") + "/";
  }
  return directory;
}

void EnsureEngine() {
  static int32_t result = KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0);
  ASSERT_EQ(result, TestHashKb);
  ASSERT_EQ(EngineInitialised, 1);
}
