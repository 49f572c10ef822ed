#include "tablebase/tb_lock.h"

#include "platform/platform.h"

void LockTb(TbLock* lock) {
  while (ExchangeInt32(lock, 1) != 0) YieldThread();
}

int TryLockTb(TbLock* lock) { return ExchangeInt32(lock, 1) == 0; }

// An atomic store, so that the writes made under the lock are seen by the next holder.
void UnlockTb(TbLock* lock) { ExchangeInt32(lock, 0); }
