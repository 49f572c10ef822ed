#include "protocol/interpreter.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "protocol/go_command.h"
#include "protocol/position_command.h"
#include "protocol/setoption_command.h"
#include "protocol/words.h"
#include "search/learned_list.h"
#include "search/search_flags.h"
#include "search/time_control.h"

Position* EnginePosition;
char OutputLine[OutputLineSize];
OutputSinkFn OutputSink;
int32_t DebugSwitch;

void SendOutputLine() {
  if (OutputSink) OutputSink(OutputLine);
}

void SendInfoString(const char* format, ...) {
  constexpr int PrefixLength = 12;
  CopyBounded(OutputLine, OutputLineSize, "info string ");
  va_list args;
  va_start(args, format);
  vsnprintf(OutputLine + PrefixLength, OutputLineSize - PrefixLength - 1, format, args);
  va_end(args);
  AppendBounded(OutputLine, OutputLineSize, "\n");
  SendOutputLine();
}

static void StopCommand(char**) {
  NextBestFlag.store(0, std::memory_order_relaxed);
  StopFlag.store(1, std::memory_order_relaxed);
}

static void NothingCommand(char**) {}

static void PonderHitCommand(char**) { PonderHit(); }

static void QuitCommand(char**) {
  if (SearchMode.load(std::memory_order_relaxed) != 0) StopFlag.store(1, std::memory_order_relaxed);
}

static void NewGameCommand(char**) { ClearLearnedList(); }

static void DebugCommand(char** cursor) {
  const char* word = NextWord(cursor);
  if (!word) return;
  if (strcmp(word, "on") == 0) DebugSwitch = 1;
  else if (strcmp(word, "off") == 0) DebugSwitch = 0;
}

struct CommandEntry {
  const char* word;
  void (*run)(char** cursor);
};

// Compared exactly, in this order.
static const CommandEntry Commands[] = {
    {"stop", StopCommand},         {"isready", NothingCommand},    {"uci", NothingCommand},
    {"setoption", SetOptionCommand}, {"go", GoCommand},            {"ponderhit", PonderHitCommand},
    {"quit", QuitCommand},         {"ucinewgame", NewGameCommand}, {"debug", DebugCommand},
    {"position", PositionCommand},
};

int ExecuteCommand(char* line) {
  if (!line) return 0;
  char* cursor = line;
  const char* first = NextWord(&cursor);
  if (!first) return 0;
  for (const CommandEntry& command : Commands) {
    if (strcmp(first, command.word) == 0) {
      command.run(&cursor);
      return 1;
    }
  }
  return 0;
}
