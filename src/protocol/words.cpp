#include "protocol/words.h"

#include <cstring>

char* NextWord(char** cursor) {
  char* p = *cursor;
  while (*p == ' ') ++p;
  if (*p == 0) {
    *cursor = p;
    return nullptr;
  }
  char* word = p;
  while (*p != 0 && *p != ' ') ++p;
  if (*p == ' ') *p++ = 0;
  *cursor = p;
  return word;
}

void CopyBounded(char* target, int size, const char* text) {
  if (size <= 0) return;
  target[0] = 0;
  AppendBounded(target, size, text);
}

void AppendBounded(char* target, int size, const char* text) {
  if (size <= 0 || text == nullptr) return;
  size_t used = strnlen(target, size_t(size) - 1);
  size_t room = size_t(size) - 1 - used;
  size_t length = strnlen(text, room);
  memcpy(target + used, text, length);
  target[used + length] = 0;
}

int32_t ParseDecimal(const char* text) {
  while (*text == ' ') ++text;
  int negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return int32_t(value);
}

static int LowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

int EqualsNoCase(const char* a, const char* b) {
  for (; *a && LowerAscii(uint8_t(*a)) == LowerAscii(uint8_t(*b)); ++a, ++b) {
  }
  return *a == 0 && *b == 0;
}
