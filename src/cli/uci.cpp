// The UCI loop: the main thread reads commands while a worker thread runs each search, so that
// "stop", "ponderhit" and "isready" are answered during a search.
#include "cli/uci.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "board/game.h"
#include "cli/uci_moves.h"
#include "cli/uci_output.h"
#include "kestrane.h"
#include "protocol/interpreter.h"
#include "protocol/words.h"
#include "search/search_flags.h"

constexpr int DefaultHashMegabytes = 32;

static std::thread Worker;
static std::atomic<int> SearchActive{0};  // from "go" until its bestmove line is printed
static uint32_t SearchEpoch;              // RootSearchesStarted when the current "go" began
static std::mutex ReleaseLock;
static std::condition_variable ReleaseSignal;
static bool StopSeen, PonderHitSeen;      // guarded by ReleaseLock

static void MarkIdle() { SearchActive.store(0); }

static std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') i++;
    size_t start = i;
    while (i < line.size() && line[i] != ' ') i++;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// A word as it appears in a message: long words are cut.
static std::string Shown(const std::string& word) {
  return word.size() <= 40 ? word : word.substr(0, 40) + "...";
}

static int RunEngineCommand(const std::string& line) {
  std::vector<char> text(line.begin(), line.end());
  text.push_back(0);
  return ExecuteCommand(text.data());
}

// The search thread: runs "go"; an infinite or ponder search that ends by itself keeps its
// bestmove until "stop" or "ponderhit".
static void RunSearch(std::string goLine, bool holdsBestMove) {
  TakeBestMoveText();
  RunEngineCommand(goLine);
  if (holdsBestMove) {
    std::unique_lock<std::mutex> hold(ReleaseLock);
    ReleaseSignal.wait(hold, [] { return StopSeen || PonderHitSeen; });
  }
  PrintBestMove(CheckedBestMove(TakeBestMoveText()), MarkIdle);
}

static void JoinWorker() {
  if (Worker.joinable()) Worker.join();
}

// Waits until the running search is past its set-up, so that a flag set now is not cleared by
// it; false when the search is already over.
static bool AwaitRootSearch() {
  while (SearchActive.load()) {
    if (RootSearchesStarted.load(std::memory_order_relaxed) != SearchEpoch) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

static void Release(bool stop) {
  std::lock_guard<std::mutex> hold(ReleaseLock);
  (stop ? StopSeen : PonderHitSeen) = true;
  ReleaseSignal.notify_all();
}

static void StopSearch() {
  if (!SearchActive.load()) return;
  if (AwaitRootSearch()) RunEngineCommand("stop");
  Release(true);
}

static void PonderHitSearch() {
  if (!SearchActive.load()) return;
  if (AwaitRootSearch()) RunEngineCommand("ponderhit");
  Release(false);
}

static void PrintIdentity() {
  PrintLine(std::string("id name ") + KestraneGetVersion());
  PrintLine(std::string("id author ") + KestraneGetAuthor());
  PrintLine("option name Hash type spin default " + std::to_string(DefaultHashMegabytes) + " min 4 max 4096");
  PrintLine("option name Ponder type check default true");
  PrintLine("option name MultiPV type spin default 1 min 1 max 20");
  PrintLine("option name Clear Hash type button");
  PrintLine("option name Clear PosLearning type button");
  for (char** line = KestraneGetParamList(); *line && **line; ++line) PrintLine(*line);
  PrintLine("uciok");
}

// Option names the engine accepts, without regard to case.
static bool IsKnownOption(const std::string& name) {
  static const char* const Extra[] = {"Hash", "Ponder", "MultiPV", "Clear Hash", "Clear PosLearning",
                                      "test1", "test2", "test3"};
  for (const char* known : Extra)
    if (EqualsNoCase(name.c_str(), known)) return true;
  for (char** line = KestraneGetParamList(); *line && **line; ++line) {
    const char* start = strstr(*line, "option name ");
    const char* end = strstr(*line, " type ");
    if (!start || !end || end < start + 12) continue;
    if (EqualsNoCase(name.c_str(), std::string(start + 12, end).c_str())) return true;
  }
  return false;
}

static void SetOption(const std::vector<std::string>& words, const std::string& line) {
  std::string name;
  bool inName = false;
  for (size_t i = 1; i < words.size(); ++i) {
    if (EqualsNoCase(words[i].c_str(), "name")) {
      inName = true;
      name.clear();
    } else if (EqualsNoCase(words[i].c_str(), "value")) {
      inName = false;
    } else if (inName) {
      name += (name.empty() ? "" : " ") + words[i];
    }
  }
  if (name.empty()) {
    PrintInfoString("setoption: no option name given");
    return;
  }
  if (!IsKnownOption(name)) PrintInfoString("setoption: unknown option '" + Shown(name) + "'");
  RunEngineCommand(line);
}

static void SetPosition(const std::vector<std::string>& words, const std::string& line) {
  if (words.size() < 2 || (words[1] != "startpos" && words[1] != "fen")) {
    PrintInfoString("position: expected 'startpos' or 'fen'");
    if (words.size() < 2) return;
  }
  int moveWords = -1;
  for (size_t i = 1; i < words.size(); ++i)
    if (words[i] == "moves") {
      moveWords = int(words.size() - i - 1);
      break;
    }
  if (words[1] == "fen" && !FenIsPlayable(words)) {
    PrintInfoString("position: not a playable FEN; the position stays as it was");
    return;
  }
  RunEngineCommand(line);
  if (moveWords > GameLength)
    PrintInfoString("position: " + std::to_string(moveWords - GameLength) + " move(s) skipped as not legal");
}

static bool TakesNumber(const std::string& word) {
  static const char* const Keywords[] = {"wtime", "btime", "winc", "binc", "movestogo",
                                         "depth", "movetime", "nodes", "mate"};
  for (const char* keyword : Keywords)
    if (word == keyword) return true;
  return false;
}

static bool IsInteger(const std::string& word) {
  size_t i = (word[0] == '-' || word[0] == '+') ? 1 : 0;
  if (i == word.size()) return false;
  for (; i < word.size(); ++i)
    if (word[i] < '0' || word[i] > '9') return false;
  return true;
}

// Names the problems of a "go" line (the first few of them); the engine still reads the line by
// its own rules: keywords anywhere, other words after "searchmoves" as moves.
static bool ReviewGoWords(const std::vector<std::string>& words) {
  constexpr int MaxNamed = 5;
  bool holds = false, searchMoves = false;
  int problems = 0;
  auto problem = [&problems](const std::string& text) {
    if (++problems <= MaxNamed) PrintInfoString("go: " + text);
  };
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "searchmoves") {
      searchMoves = true;
    } else if (word == "ponder" || word == "infinite") {
      holds = true;
    } else if (TakesNumber(word)) {
      if (i + 1 == words.size()) {
        problem("'" + word + "' needs a number");
      } else if (!IsInteger(words[i + 1])) {
        problem("'" + word + "' needs a number, not '" + Shown(words[i + 1]) + "'");
      }
      i++;
    } else if (searchMoves) {
      if (!ParseLegalGameMove(word.c_str())) problem("searchmoves '" + Shown(word) + "' is not a legal move");
    } else {
      problem("unknown word '" + Shown(word) + "'");
    }
  }
  if (problems > MaxNamed) PrintInfoString("go: " + std::to_string(problems - MaxNamed) + " more problems");
  return holds;
}

static void StartSearch(const std::vector<std::string>& words, const std::string& line) {
  if (SearchActive.load()) {
    PrintInfoString("go: ignored, a search is running");
    return;
  }
  JoinWorker();
  bool holds = ReviewGoWords(words);
  {
    std::lock_guard<std::mutex> hold(ReleaseLock);
    StopSeen = PonderHitSeen = false;
  }
  SearchEpoch = RootSearchesStarted.load(std::memory_order_relaxed);
  SearchActive.store(1);
  Worker = std::thread(RunSearch, line, holds);
}

// Commands that change the game or the options wait for an idle engine.
static bool NeedsIdle(const std::string& command) {
  return command == "position" || command == "setoption" || command == "ucinewgame";
}

// One command line; false for "quit".
static bool HandleLine(std::string line) {
  for (char& c : line)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  std::vector<std::string> words = SplitWords(line);
  if (words.empty()) return true;
  const std::string& command = words[0];
  if (NeedsIdle(command)) {
    if (SearchActive.load()) {
      PrintInfoString(command + ": ignored while searching");
      return true;
    }
    JoinWorker();
  }
  if (command == "uci") {
    PrintIdentity();
  } else if (command == "isready") {
    PrintLine("readyok");
  } else if (command == "setoption") {
    SetOption(words, line);
  } else if (command == "position") {
    SetPosition(words, line);
  } else if (command == "ucinewgame" || command == "debug") {
    RunEngineCommand(line);
  } else if (command == "go") {
    StartSearch(words, line);
  } else if (command == "stop") {
    StopSearch();
  } else if (command == "ponderhit") {
    PonderHitSearch();
  } else if (command == "quit") {
    return false;
  } else {
    PrintInfoString("unknown command '" + Shown(command) + "'");
  }
  return true;
}

int UciMain() {
  OutputSink = InfoOutputSink;
  if (KestraneInit(DefaultHashMegabytes * 1024, InfoCallbacks(), "./", 0) < 0) {
    PrintInfoString("not enough memory for the hash tables");
    return 1;
  }
  std::string line;
  while (std::getline(std::cin, line) && HandleLine(line)) {
  }
  StopSearch();
  JoinWorker();
  KestraneQuit();
  return 0;
}
