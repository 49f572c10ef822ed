// Word splitting, bounded string copies and number conversion for command lines.
#pragma once
#include <cstdint>

// The next blank-separated word of *cursor, zero-terminated in place; null at the end.
// Only character 32 separates words.
char* NextWord(char** cursor);

// Copies / appends at most size - 1 bytes in all; the result is always terminated.
void CopyBounded(char* target, int size, const char* text);
void AppendBounded(char* target, int size, const char* text);

// Decimal integer: leading blanks, optional sign, digits up to the first other character;
// 0 without digits. Values beyond the 32-bit range saturate.
int32_t ParseDecimal(const char* text);

// 1 when the texts are equal ignoring ASCII letter case.
int EqualsNoCase(const char* a, const char* b);
