#include "cli/uci_search.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/uci_moves.h"
#include "cli/uci_output.h"
#include "protocol/go_command.h"
#include "protocol/interpreter.h"
#include "search/search_flags.h"

static std::thread SearchThread;
static std::mutex RunLock;
static std::condition_variable RunSignal;
// Guarded by RunLock: the search's life from "go" to its bestmove line, and what reached it.
static bool Running, StopSeen, PonderHitSeen;
static uint32_t StartCount;  // RootSearchesStarted before this search; read by the worker only

void RunEngineCommand(const std::string& line) {
  std::vector<char> buffer(line.c_str(), line.c_str() + line.size() + 1);
  ExecuteCommand(buffer.data());
}

// An infinite or ponder search that ends by itself keeps its bestmove until "stop", or
// until "ponderhit" for a ponder search that is not also infinite.
static bool HoldsBestMove() {
  const GoLimits& limits = LastGoLimits;
  if (StopSeen) return false;
  if (limits.infinite) return true;
  return limits.ponder && !PonderHitSeen;
}

static void RunSearch(std::string goLine) {
  TakeBestMoveText();
  RunEngineCommand(goLine);
  std::unique_lock<std::mutex> hold(RunLock);
  RunSignal.wait(hold, [] { return !HoldsBestMove(); });
  PrintLine(CheckedBestMove(TakeBestMoveText()));
  Running = false;
  RunSignal.notify_all();
}

void StartSearch(const std::string& goLine) {
  if (SearchThread.joinable()) SearchThread.join();
  StartCount = RootSearchesStarted.load(std::memory_order_relaxed);
  {
    std::lock_guard<std::mutex> hold(RunLock);
    Running = true;
    StopSeen = PonderHitSeen = false;
  }
  SearchThread = std::thread(RunSearch, goLine);
}

bool SearchRunning() {
  std::lock_guard<std::mutex> hold(RunLock);
  return Running;
}

// Waits until the search is past its set-up, which clears the stop flag and reads the
// search mode, so that a flag set now is seen by it; false when the search is already over.
static bool AwaitRootSearch() {
  while (SearchRunning()) {
    if (RootSearchesStarted.load(std::memory_order_relaxed) != StartCount) return true;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return false;
}

// Passes the command to the engine and releases a held bestmove.
static bool Signal(const char* command, bool* seen) {
  if (!SearchRunning()) return false;
  if (AwaitRootSearch()) RunEngineCommand(command);
  std::lock_guard<std::mutex> hold(RunLock);
  *seen = true;
  RunSignal.notify_all();
  return true;
}

bool StopSearch() { return Signal("stop", &StopSeen); }

bool PonderHitSearch() { return Signal("ponderhit", &PonderHitSeen); }

void AwaitBestMove() {
  {
    std::unique_lock<std::mutex> hold(RunLock);
    RunSignal.wait(hold, [] { return !Running; });
  }
  if (SearchThread.joinable()) SearchThread.join();
}
