#include "search/time_control.h"

#include <algorithm>

#include "board/geometry.h"
#include "board/option_values.h"
#include "board/position.h"
#include "board/random.h"
#include "platform/platform.h"
#include "search/root_search.h"
#include "search/search.h"
#include "search/search_flags.h"
#include "search/search_reports.h"

int32_t TimeMode = TimeFixedDepth;
int32_t TargetTime, ExtraTime, AllocatedTime, HardLimit, DepthLimit = 3;
int32_t ClockCap = INT32_MAX;
int32_t TimeLeft, TimeIncrement, MovesToGo;

int32_t SpeedEstimate = 100000;
uint64_t PollInterval = 25000;
int32_t NodeLimit = 0;
int32_t TablebaseTime = 0;
uint64_t NextPollPoint = 1000;

constexpr int32_t MinimumTarget = 28;
constexpr int32_t MinimumHardLimit = 58;
// Reserved for the host's and the operating system's latency when the clock is nearly out.
constexpr int32_t ClockReserve = 50;
// Below this cap (ms) the search polls the clock in proportion to it.
constexpr int32_t ClockCapForFinePolls = 400;

uint32_t SearchStartTick;
static int32_t LastTablebaseCheck;

void StartSearchClock() {
  SearchStartTick = TickCount();
  LastTablebaseCheck = 0;
}

// The tick counter wraps like a 32-bit millisecond count; differences stay right.
int32_t ElapsedMs() {
  uint32_t t = TickCount() - SearchStartTick;
  return t > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(t);
}

void SetTimeMode(int mode, int value) {
  switch (mode) {
    case TimeFixedMove:
      TargetTime = HardLimit = value;
      DepthLimit = 99;
      break;
    case TimeFixedDepth:
      TargetTime = HardLimit = INT32_MAX;
      DepthLimit = value;
      break;
    case TimeMovesToGo:
    case TimeWholeGame:
      TargetTime = HardLimit = 0;
      DepthLimit = 99;
      break;
    default:
      return;
  }
  if (mode <= TimeFixedDepth) ExtraTime = AllocatedTime = 0;
  TimeMode = mode;
}

void SetMovesInTimeControl(int movesToGo, int timeLeft, int increment) {
  MovesToGo = movesToGo;
  TimeLeft = timeLeft;
  TimeIncrement = increment;
}

void SetWholeGameControl(int timeLeft, int increment) {
  MovesToGo = 0;
  TimeLeft = timeLeft;
  TimeIncrement = increment;
}

void ZeroTimeControl() {
  MovesToGo = TimeLeft = TimeIncrement = 0;
  TargetTime = ExtraTime = AllocatedTime = HardLimit = 0;
}

bool InClockMode() { return TimeMode == TimeMovesToGo || TimeMode == TimeWholeGame; }

// "movestogo 0" is a whole-game clock: only a positive count selects the moves-to-go rules.
static bool HasMovesToGo() { return TimeMode == TimeMovesToGo && MovesToGo > 0; }

static int32_t ClampToInt(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The clock must never run out: whatever the budgets say, a clock search keeps a reserve for
// latency, and with almost nothing left it uses at most a quarter of what remains.
static int32_t ComputeClockCap() {
  int32_t r = std::max(TimeLeft, 0);
  return std::max(r - ClockReserve, r / 4);
}

int TimePercent(int x) {
  int q = x / 10;
  if (HasMovesToGo()) return std::clamp(85 + q, 15, 85);
  if (q > 0) return 25;
  return std::clamp(25 - q, 25, 75);
}

int LimitFromPercent(int percent) {
  int64_t limit;
  if (HasMovesToGo()) {
    int64_t n = std::min(MovesToGo, 60);
    int64_t r = TimeLeft;
    limit = (90 * r - (n - 1) * percent * r / (n + 2)) / 100;
    limit = std::min(limit, r - 1000);
  } else {
    int64_t r = int64_t(TimeLeft) - 1000;
    limit = std::min(r * percent / 100, r);
  }
  limit = std::max<int64_t>(limit, MinimumHardLimit);
  if (InClockMode()) limit = std::min<int64_t>(limit, ClockCap);
  return ClampToInt(limit);
}

void AllocateTime() {
  ClockCap = ComputeClockCap();
  int64_t r = TimeLeft, inc = TimeIncrement, target;
  int percent;
  if (HasMovesToGo()) {
    int64_t n = std::min(MovesToGo, 60);
    int64_t divisor = (PonderEnabled && MovesToGo >= 8) ? n * 3 / 4 + 2 : n + 2;
    target = r / divisor + inc * 90 / 100;
    percent = 85;
  } else {
    int64_t t;
    if (inc != 0) {
      if (r > 60000) {
        t = r * 36 / 10 + 90 * (inc + 1000);
      } else {
        t = (r - 1000) * 32 / 10;
        if (r > 3 * inc) t += 45 * inc;
      }
    } else {
      t = r <= 60000 ? (r - 1000) * 16 / 10 : r * 22 / 10 + 110000;
    }
    target = t / 100;
    percent = 25;
  }
  HardLimit = LimitFromPercent(percent);
  if (TimeUsage != 100) target = target * TimeUsage / 100;
  ExtraTime = 0;
  TargetTime = std::max(ClampToInt(target), MinimumTarget);
  AllocatedTime = TargetTime;
}

void AddExtraTime(int64_t ms) { ExtraTime = ClampToInt(int64_t(ExtraTime) + ms); }

void HalveExtraTime() { ExtraTime /= 2; }

void MoveExtraTimeIntoTarget() {
  TargetTime = ClampToInt(int64_t(TargetTime) + ExtraTime);
  ExtraTime = 0;
}

int32_t HalveTarget() {
  int32_t taken = TargetTime - TargetTime / 2;
  TargetTime /= 2;
  AllocatedTime /= 2;
  return taken;
}

void GiveBackTime(int32_t ms) {
  TargetTime = ClampToInt(int64_t(TargetTime) + ms);
  AllocatedTime = ClampToInt(int64_t(AllocatedTime) + ms);
}

void SetHardLimitAfterChange(int x) { HardLimit = LimitFromPercent(TimePercent(x)); }

// One round of the calibration: the start-up tables of the board are rebuilt twice.
static void CalibrationRound() {
  BuildGeometryTables();
  BuildGeometryTables();
}

void MeasureSpeed() {
  // A tenth of a second of table building, scaled to the rounds one second would give.
  uint32_t t0 = TickCount(), t1;
  while ((t1 = TickCount()) == t0) {
  }
  int32_t rounds = 1;
  while (TickCount() - t1 <= 100) {
    CalibrationRound();
    rounds++;
  }
  // Sized so that the clock is read every few milliseconds of search (about 10 ms in the first
  // five seconds, 40 ms later); at least 4000, so the first poll of a search comes within 1000
  // nodes.
  SpeedEstimate = std::max(rounds * 10 * 100 / 16, 4000);
  PollInterval = uint64_t(SpeedEstimate) / 4;
}

void SetNodeLimit(int32_t nodeLimit, uint64_t pollInterval) {
  PollInterval = uint64_t(SpeedEstimate / 4);
  if (pollInterval && pollInterval < PollInterval) PollInterval = pollInterval;
  NodeLimit = nodeLimit;
}

void PonderHit() {
  int32_t pondering = 2;
  SearchMode.compare_exchange_strong(pondering, 1, std::memory_order_relaxed);
}

static void ApplyPonderHit(int32_t t) {
  if (!RootInfo.pondering || SearchMode.load(std::memory_order_relaxed) != 1) return;
  RootInfo.pondering = 0;
  if (RootInfo.singleMove ||
      (t >= TargetTime + ExtraTime && NoTroubleFlag && RootInfo.searchingFirstMove))
    StopFlag.store(1, std::memory_order_relaxed);
}

void CheckPonderHit() { ApplyPonderHit(ElapsedMs()); }

// A node-limited search with a clock waits until a plausible thinking time has passed.
static void WaitAfterNodeLimit() {
  int64_t w = int64_t(TargetTime) + ExtraTime;
  if (TimeMode != TimeFixedMove && w > 0) {
    int64_t r = NextRandom() & 0x7FFFFFFF;
    w = (r & 1) ? w + r % w : w - r % std::max<int64_t>(2 * w / 3, 1);
  }
  while (!StopFlag.load(std::memory_order_relaxed)) {
    int mode = SearchMode.load(std::memory_order_relaxed);
    if (mode != 2 && (TimeMode == TimeFixedDepth || ElapsedMs() >= w)) break;
    SleepMilliseconds(10);
  }
}

void Poll(Position* pos) {
  int32_t t = ElapsedMs();
  if (NodeLimit > 0) {
    uint64_t needed = uint64_t(NodeLimit) * (!NoTroubleFlag && RootDepth <= 1 ? 8 : 1);
    if (pos->nodeCount >= needed) {
      if (TimeMode != TimeFixedDepth || SearchMode.load(std::memory_order_relaxed) == 2)
        WaitAfterNodeLimit();
      StopFlag.store(1, std::memory_order_relaxed);
    }
  }
  // A node-limited search polls at counts that depend on the limit alone, so it stops at the
  // same node on every machine.
  uint64_t interval = NodeLimit > 0 ? uint64_t(NodeLimit) / 50 + 1 : t < 5000 ? PollInterval : uint64_t(SpeedEstimate);
  // With little left on the clock the usual interval (some milliseconds of search) would
  // overrun it: poll at least four times within the cap.
  if (NodeLimit <= 0 && InClockMode() && ClockCap < ClockCapForFinePolls)
    interval = std::min<uint64_t>(interval, std::max<uint64_t>(uint64_t(SpeedEstimate) * uint64_t(std::max(ClockCap, 0)) / 160, 100));
  NextPollPoint = pos->nodeCount + interval;
  if (t >= 2000) {
    if (t - LastTablebaseCheck >= 2000) {
      LastTablebaseCheck = t;
      if (TablebaseDepthCut < RootDepth - 10 && int64_t(TablebaseTime) * 100 > int64_t(TablebaseTimeShare) * t)
        TablebaseDepthCut++;
    }
    ReportPeriodicNodes(pos);
  }
  if (StopFlag.load(std::memory_order_relaxed)) return;
  ApplyPonderHit(t);
  if (SearchMode.load(std::memory_order_relaxed) != 1) return;
  if (RootDepth > 4 &&
      (t >= HardLimit || (NoTroubleFlag && int64_t(t) >= int64_t(AllocatedTime) + ExtraTime + TargetTime)))
    StopFlag.store(1, std::memory_order_relaxed);
  // Past the reserve the clock wins over the wish to finish a shallow iteration.
  if (InClockMode() && RootDepth > 1 && t >= ClockCap) StopFlag.store(1, std::memory_order_relaxed);
}
