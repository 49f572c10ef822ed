// Invariant checks inside the engine. KESTRANE_ASSERT(condition) is on in debug and sanitizer
// builds, where a broken invariant names the condition and its place and stops the program
// at once, before the fault spreads; release builds compile it out.
#pragma once

#if !defined(NDEBUG) || defined(KESTRANE_SANITIZED)
#define KESTRANE_CHECKS 1
[[noreturn]] void InvariantFailed(const char* condition, const char* file, int line);
#define KESTRANE_ASSERT(condition) ((condition) ? void(0) : InvariantFailed(#condition, __FILE__, __LINE__))
#else
#define KESTRANE_CHECKS 0
#define KESTRANE_ASSERT(condition) static_cast<void>(sizeof(condition))
#endif
