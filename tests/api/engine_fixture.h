// An engine started once per test process through KestraneInit, with callbacks that
// record what the host would receive.
#pragma once
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/engine_state.h"
#include "kestrane.h"
#include "protocol/interpreter.h"

struct HostRecord {
  std::vector<std::string> lines;
  std::vector<int32_t> scores;
  int32_t maxSearchModeSeen = 0;
  void (*onLine)(const char* line) = nullptr;  // lets a test act from inside a callback
};

extern HostRecord Received;
extern const KestraneCallbacks RecordingCallbacks;
constexpr int32_t TestHashKb = 4096;

// The directory the engine runs in, with its trailing separator.
const std::string& EngineDirectory();
// Runs KestraneInit once; later calls only check that it succeeded.
void EnsureEngine();

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureEngine();
    Received = HostRecord{};
  }
};

// The same, keeping the texts of the interpreter's "info string" lines (without the prefix
// and the line end) in Notes().
class InfoStringFixture : public EngineFixture {
 protected:
  static std::vector<std::string>& Notes() {
    static std::vector<std::string> notes;
    return notes;
  }
  void SetUp() override {
    EngineFixture::SetUp();
    Notes().clear();
    OutputSink = [](const char* text) {
      std::string line(text);
      if (line.rfind("info string ", 0) == 0) Notes().push_back(line.substr(12, line.size() - 13));
    };
  }
  void TearDown() override { OutputSink = nullptr; }
};
