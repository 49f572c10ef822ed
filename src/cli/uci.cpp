// The UCI loop. A reader thread puts every input line into one queue; the command worker
// takes them out in order, one at a time, while the search runs on the search thread. A
// command that needs an idle engine first ends the running search and waits for its bestmove,
// so nothing is dropped and every answer follows the commands before it.
#include "cli/uci.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "cli/uci_output.h"
#include "cli/uci_search.h"
#include "cli/uci_tablebase.h"
#include "kestrane.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"

static std::mutex QueueLock;
static std::condition_variable QueueSignal;
static std::deque<std::string> Queue;  // guarded by QueueLock
static bool InputOver;                 // guarded by QueueLock: no line will follow

static std::string FirstWord(const std::string& line) {
  size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  return line.substr(start, line.find(' ', start) - start);
}

// The reader thread: every line goes into the queue, up to "quit" or the end of input.
static void ReadInput() {
  std::string line;
  bool quit = false;
  while (!quit && std::getline(std::cin, line)) {
    for (char& c : line)
      if (c == '\t' || c == '\r') c = ' ';
    quit = FirstWord(line) == "quit";
    std::lock_guard<std::mutex> hold(QueueLock);
    Queue.push_back(std::move(line));
    QueueSignal.notify_one();
  }
  std::lock_guard<std::mutex> hold(QueueLock);
  InputOver = true;
  QueueSignal.notify_one();
}

// The next command in order; false at the end of input.
static bool NextCommand(std::string* line) {
  std::unique_lock<std::mutex> hold(QueueLock);
  QueueSignal.wait(hold, [] { return !Queue.empty() || InputOver; });
  if (Queue.empty()) return false;
  *line = std::move(Queue.front());
  Queue.pop_front();
  return true;
}

static void PrintIdentity(const std::string&) {
  PrintLine(std::string("id name ") + KestraneGetVersion());
  PrintLine(std::string("id author ") + KestraneGetAuthor());
  char text[200];
  for (int i = 0; OptionLine(i, ListedForUci, text, sizeof text); ++i) PrintLine(text);
  PrintTablebaseOptions();
  PrintLine("uciok");
}

static void AnswerReady(const std::string&) { PrintLine("readyok"); }

// "stop": the bestmove comes before anything that follows, a "readyok" too.
static void Stop(const std::string&) {
  if (!StopSearch()) PrintInfoString("stop: no search is running");
  AwaitBestMove();
}

static void PonderHit(const std::string&) {
  if (!PonderHitSearch()) PrintInfoString("ponderhit: no search is running");
}

static void Go(const std::string& line) { StartSearch(line); }

// The program's own options first, then the engine's.
static void SetOption(const std::string& line) {
  if (!SetTablebaseOption(line)) RunEngineCommand(line);
}

struct UciCommand {
  const char* word;
  bool needsIdle;  // a running search is stopped first (a GUI that omits "stop" means it)
  void (*run)(const std::string& line);
};

static const UciCommand Commands[] = {
    {"uci", false, PrintIdentity},       {"isready", false, AnswerReady}, {"stop", false, Stop},
    {"ponderhit", false, PonderHit},     {"debug", false, RunEngineCommand},
    {"position", true, RunEngineCommand}, {"setoption", true, SetOption},
    {"ucinewgame", true, RunEngineCommand}, {"go", true, Go},
};

static void HandleCommand(const std::string& line) {
  std::string word = FirstWord(line);
  if (word.empty()) return;
  for (const UciCommand& command : Commands) {
    if (word != command.word) continue;
    if (command.needsIdle && SearchRunning()) {
      PrintInfoString(word + ": a search is running; it is stopped first");
      StopSearch();
      AwaitBestMove();
    }
    command.run(line);
    return;
  }
  PrintInfoString("unknown command '" + word.substr(0, 40) + (word.size() > 40 ? "...'" : "'"));
}

int UciMain() {
  {
    std::lock_guard<std::mutex> hold(QueueLock);
    Queue.clear();
    InputOver = false;
  }
  OutputSink = InfoOutputSink;
  if (KestraneInit(OptionDefaultNumber("Hash") * 1024, InfoCallbacks(), "./", 0) < 0) {
    PrintInfoString("not enough memory for the hash tables");
    return 1;
  }
  ResetTablebaseOptions();
  std::thread reader(ReadInput);
  std::string line;
  while (NextCommand(&line) && FirstWord(line) != "quit") HandleCommand(line);
  // "quit" or the end of input: a running search gives its bestmove before the program ends.
  StopSearch();
  AwaitBestMove();
  reader.join();
  KestraneQuit();
  return 0;
}
