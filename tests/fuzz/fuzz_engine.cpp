#include "fuzz_engine.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "board/game.h"
#include "board/perft.h"
#include "board/position.h"
#include "board/position_check.h"
#include "kestrane.h"
#include "protocol/interpreter.h"

static std::string Printed;
static std::atomic<int> CommandRunning{0};
static std::atomic<uint32_t> CommandSerial{0};

static void KeepOutput(const char* text) {
  Printed += text;
  Printed += '\n';
}

static void KESTRANE_CDECL IgnoreNodes(uint32_t, uint32_t, int32_t) {}
static void KESTRANE_CDECL IgnoreDepth(int32_t, int32_t) {}
static void KESTRANE_CDECL IgnoreMove(const char*, int32_t, int32_t) {}
static void KESTRANE_CDECL IgnoreLine(const char*, int32_t) {}
static const KestraneCallbacks Callbacks = {nullptr, IgnoreNodes, IgnoreDepth, IgnoreMove, IgnoreLine, nullptr, nullptr};

// Stops any command that has run for more than a few milliseconds, again and again, the
// way a host's second thread would.
static void Watchdog() {
  uint32_t seen = 0;
  auto since = std::chrono::steady_clock::now();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    uint32_t serial = CommandSerial.load(std::memory_order_relaxed);
    if (!CommandRunning.load(std::memory_order_relaxed) || serial != seen) {
      seen = serial;
      since = std::chrono::steady_clock::now();
      continue;
    }
    if (std::chrono::steady_clock::now() - since > std::chrono::milliseconds(20)) KestraneStopAnalyse();
  }
}

void FuzzStartEngine() {
  static int started = 0;
  if (started) return;
  started = 1;
  char pattern[] = "/tmp/kestrane-fuzz-XXXXXX";
  const char* directory = mkdtemp(pattern);
  std::string withSeparator = std::string(directory ? directory : "/tmp") + "/";
  if (KestraneInit(1024, &Callbacks, withSeparator.c_str(), 0) < 0) {
    fprintf(stderr, "KestraneInit failed\n");
    abort();
  }
  OutputSink = KeepOutput;
  std::thread(Watchdog).detach();
}

std::string FuzzExecute(const std::string& line) {
  std::string copy = line;
  Printed.clear();
  CommandSerial.fetch_add(1, std::memory_order_relaxed);
  CommandRunning.store(1, std::memory_order_relaxed);
  ExecuteCommand(copy.data());
  CommandRunning.store(0, std::memory_order_relaxed);
  return Printed;
}

static int GameHasLegalMove() {
  static Position* scratch = static_cast<Position*>(calloc(1, sizeof(Position)));
  LoadRootIntoPosition(scratch);
  return Perft(scratch, &scratch->plies[0], 1) > 0;
}

void FuzzCheckEngine() {
  if (!PositionIsOk(EnginePosition, &EnginePosition->plies[0])) {
    fprintf(stderr, "the game position fails its invariant check\n");
    abort();
  }
  std::string out = FuzzExecute("go depth 2");
  size_t at = out.rfind("bestmove");
  if (at == std::string::npos) {
    fprintf(stderr, "go depth 2 printed no bestmove: [%s]\n", out.c_str());
    abort();
  }
  char move[16] = "";
  sscanf(out.c_str() + at, "bestmove %15s", move);
  int legal = ParseLegalGameMove(move) != 0;
  if (!legal && GameHasLegalMove()) {
    fprintf(stderr, "go depth 2 answered %s, not a legal move of the position\n", move);
    abort();
  }
}

std::string FuzzText(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}
