#include "protocol/go_command.h"

#include "board/game.h"
#include "board/move_text.h"
#include "protocol/go_limits.h"
#include "protocol/host_callbacks.h"
#include "protocol/interpreter.h"
#include "protocol/report.h"
#include "protocol/words.h"
#include "search/root_search.h"
#include "search/search_flags.h"
#include "search/time_control.h"

GoLimits LastGoLimits;

static void ApplyTimeChoice(const TimeChoice& choice) {
  SetNodeLimit(choice.nodeLimit, choice.pollInterval);
  switch (choice.kind) {
    case FixedControl: SetTimeMode(choice.mode, choice.value); break;
    case MovesInTimeControl:
      SetMovesInTimeControl(choice.movesToGo, choice.timeLeft, choice.increment);
      SetTimeMode(2, 0);
      break;
    case WholeGameControl:
      SetWholeGameControl(choice.timeLeft, choice.increment);
      SetTimeMode(3, 0);
      break;
    case KeepTimeControl: break;
  }
}

void GoCommand(char** cursor) {
  if (SearchMode.load(std::memory_order_relaxed) != 0 || EnginePosition == nullptr) return;
  ReadGoLimits(cursor, GameHistory[GameLength].side, &LastGoLimits);
  const GoLimits& limits = LastGoLimits;
  ApplyTimeChoice(ChooseTimeMode(limits));

  SearchMode.store(limits.ponder ? 2 : 1, std::memory_order_relaxed);
  Move ponderMove = 0;
  Move best = SearchRoot(EnginePosition, &ponderMove);
  SearchMode.store(0, std::memory_order_relaxed);
  if (!best) SendInfoString("go: the position has no legal move");

  char bestText[16], ponderText[16] = "";
  MoveToText(bestText, best);
  if (ponderMove) MoveToText(ponderText, ponderMove);
  CopyBounded(OutputLine, OutputLineSize, "bestmove");
  AppendBounded(OutputLine, OutputLineSize, bestText);
  if (ponderMove) {
    AppendBounded(OutputLine, OutputLineSize, " ponder");
    AppendBounded(OutputLine, OutputLineSize, ponderText);
  }
  AppendBounded(OutputLine, OutputLineSize, "\n");
  SendOutputLine();

  // The host hears of the best move only through ReportLine: make sure it does.
  if (!LineSentFlag) {
    char line[40];
    CopyBounded(line, sizeof line, bestText);
    AppendBounded(line, sizeof line, ponderText);
    HostReportLine(line[0] ? line + 1 : line, 0);
  }
}
