// Spin locks guarding the tablebase state that several host threads may share.
#pragma once
#include <cstdint>

// A 32-bit lock word: 0 free, 1 held.
using TbLock = int32_t;

void LockTb(TbLock* lock);     // waits, yielding the processor between attempts
int TryLockTb(TbLock* lock);   // 1 when taken, 0 when another holder has it
void UnlockTb(TbLock* lock);
