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

static RootTimeState TimeState = {.mode = TimeFixedDepth, .target = 0, .extra = 0, .allocated = 0, .hardLimit = 0,
                                  .depthLimit = 3, .clockCap = INT32_MAX, .timeLeft = 0, .increment = 0,
                                  .movesToGo = 0, .nodeLimit = 0};
const RootTimeState& RootTime = TimeState;

int32_t SpeedEstimate = 100000;
uint64_t PollInterval = 25000;
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
      TimeState.target = TimeState.hardLimit = value;
      TimeState.depthLimit = 99;
      break;
    case TimeFixedDepth:
      TimeState.target = TimeState.hardLimit = INT32_MAX;
      TimeState.depthLimit = value;
      break;
    case TimeMovesToGo:
    case TimeWholeGame:
      TimeState.target = TimeState.hardLimit = 0;
      TimeState.depthLimit = 99;
      break;
    default:
      return;
  }
  if (mode <= TimeFixedDepth) TimeState.extra = TimeState.allocated = 0;
  TimeState.mode = mode;
}

void SetMovesInTimeControl(int movesToGo, int timeLeft, int increment) {
  TimeState.movesToGo = movesToGo;
  TimeState.timeLeft = timeLeft;
  TimeState.increment = increment;
}

void SetWholeGameControl(int timeLeft, int increment) {
  TimeState.movesToGo = 0;
  TimeState.timeLeft = timeLeft;
  TimeState.increment = increment;
}

void ZeroTimeControl() {
  TimeState.movesToGo = TimeState.timeLeft = TimeState.increment = 0;
  TimeState.target = TimeState.extra = TimeState.allocated = TimeState.hardLimit = 0;
}

bool InClockMode() { return TimeState.mode == TimeMovesToGo || TimeState.mode == TimeWholeGame; }

// "movestogo 0" is a whole-game clock: only a positive count selects the moves-to-go rules.
static bool HasMovesToGo() { return TimeState.mode == TimeMovesToGo && TimeState.movesToGo > 0; }

static int32_t ClampToInt(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The clock must never run out: whatever the budgets say, a clock search keeps a reserve for
// latency, and with almost nothing left it uses at most a quarter of what remains.
static int32_t ComputeClockCap() {
  int32_t r = std::max(TimeState.timeLeft, 0);
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
    int64_t n = std::min(TimeState.movesToGo, 60);
    int64_t r = TimeState.timeLeft;
    limit = (90 * r - (n - 1) * percent * r / (n + 2)) / 100;
    limit = std::min(limit, r - 1000);
  } else {
    int64_t r = int64_t(TimeState.timeLeft) - 1000;
    limit = std::min(r * percent / 100, r);
  }
  limit = std::max<int64_t>(limit, MinimumHardLimit);
  if (InClockMode()) limit = std::min<int64_t>(limit, TimeState.clockCap);
  return ClampToInt(limit);
}

void AllocateTime() {
  TimeState.clockCap = ComputeClockCap();
  int64_t r = TimeState.timeLeft, inc = TimeState.increment, target;
  int percent;
  if (HasMovesToGo()) {
    int64_t n = std::min(TimeState.movesToGo, 60);
    // With pondering the moves count three quarters: r / (0.75 n + 2), truncated once.
    const int64_t share = (PonderEnabled && TimeState.movesToGo >= 8) ? r * 4 / (3 * n + 8) : r / (n + 2);
    target = share + inc * 90 / 100;
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
  TimeState.hardLimit = LimitFromPercent(percent);
  if (TimeUsage != 100) target = target * TimeUsage / 100;
  TimeState.extra = 0;
  TimeState.target = std::max(ClampToInt(target), MinimumTarget);
  TimeState.allocated = TimeState.target;
}

void AddExtraTime(int64_t ms) { TimeState.extra = ClampToInt(int64_t(TimeState.extra) + ms); }

void HalveExtraTime() { TimeState.extra /= 2; }

void MoveExtraTimeIntoTarget() {
  TimeState.target = ClampToInt(int64_t(TimeState.target) + TimeState.extra);
  TimeState.extra = 0;
}

int32_t HalveTarget() {
  int32_t taken = TimeState.target - TimeState.target / 2;
  TimeState.target /= 2;
  TimeState.allocated /= 2;
  return taken;
}

void GiveBackTime(int32_t ms) {
  TimeState.target = ClampToInt(int64_t(TimeState.target) + ms);
  TimeState.allocated = ClampToInt(int64_t(TimeState.allocated) + ms);
}

void CapTargetTime(int32_t ms) {
  if (TimeState.target > ms) TimeState.target = ms;
}

void SetHardLimitAfterChange(int x) { TimeState.hardLimit = LimitFromPercent(TimePercent(x)); }

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
  TimeState.nodeLimit = nodeLimit;
}

void PonderHit() {
  int32_t pondering = 2;
  SearchMode.compare_exchange_strong(pondering, 1, std::memory_order_relaxed);
}

static void ApplyPonderHit(int32_t t) {
  if (!RootInfo.pondering || SearchMode.load(std::memory_order_relaxed) != 1) return;
  RootInfo.pondering = 0;
  if (RootInfo.singleMove ||
      (t >= TimeState.target + TimeState.extra && NoTroubleFlag && RootInfo.searchingFirstMove))
    StopFlag.store(1, std::memory_order_relaxed);
}

void CheckPonderHit() { ApplyPonderHit(ElapsedMs()); }

// A node-limited search with a clock waits until a plausible thinking time has passed.
static void WaitAfterNodeLimit() {
  int64_t w = int64_t(TimeState.target) + TimeState.extra;
  if (TimeState.mode != TimeFixedMove && w > 0) {
    int64_t r = NextRandom() & 0x7FFFFFFF;
    w = (r & 1) ? w + r % w : w - r % std::max<int64_t>(2 * w / 3, 1);
  }
  while (!StopFlag.load(std::memory_order_relaxed)) {
    int mode = SearchMode.load(std::memory_order_relaxed);
    if (mode != 2 && (TimeState.mode == TimeFixedDepth || ElapsedMs() >= w)) break;
    SleepMilliseconds(10);
  }
}

void Poll(Position* pos) {
  int32_t t = ElapsedMs();
  if (TimeState.nodeLimit > 0) {
    uint64_t needed = uint64_t(TimeState.nodeLimit) * (!NoTroubleFlag && RootDepth <= 1 ? 8 : 1);
    if (pos->nodeCount >= needed) {
      if (TimeState.mode != TimeFixedDepth || SearchMode.load(std::memory_order_relaxed) == 2)
        WaitAfterNodeLimit();
      StopFlag.store(1, std::memory_order_relaxed);
    }
  }
  // A node-limited search polls at counts that depend on the limit alone, so it stops at the
  // same node on every machine.
  uint64_t interval = TimeState.nodeLimit > 0 ? uint64_t(TimeState.nodeLimit) / 50 + 1 : t < 5000 ? PollInterval : uint64_t(SpeedEstimate);
  // With little left on the clock the usual interval (some milliseconds of search) would
  // overrun it: poll at least four times within the cap.
  if (TimeState.nodeLimit <= 0 && InClockMode() && TimeState.clockCap < ClockCapForFinePolls)
    interval = std::min<uint64_t>(interval, std::max<uint64_t>(uint64_t(SpeedEstimate) * uint64_t(std::max(TimeState.clockCap, 0)) / 160, 100));
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
      (t >= TimeState.hardLimit || (NoTroubleFlag && int64_t(t) >= int64_t(TimeState.allocated) + TimeState.extra + TimeState.target)))
    StopFlag.store(1, std::memory_order_relaxed);
  // Past the reserve the clock wins over the wish to finish a shallow iteration.
  if (InClockMode() && RootDepth > 1 && t >= TimeState.clockCap) StopFlag.store(1, std::memory_order_relaxed);
}
