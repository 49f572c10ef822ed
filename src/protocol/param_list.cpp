#include "protocol/param_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kestrane.h"
#include "protocol/options.h"

char* ParamList[ParamListSize];

void ReleaseParamList() {
  for (char*& entry : ParamList) {
    free(entry);
    entry = nullptr;
  }
}

char** BuildParamList() {
  ReleaseParamList();
  char text[160];
  for (int i = 0; i < ParamListSize - 1; ++i) {
    if (!OptionLine(i, ListedForHost, text, sizeof text)) text[0] = 0;
    size_t length = strlen(text) + 1;
    ParamList[i] = static_cast<char*>(malloc(length));
    if (!ParamList[i]) break;  // short of memory: the list ends early
    memcpy(ParamList[i], text, length);
    if (length == 1) break;  // the empty line ends the list
  }
  return ParamList;
}

extern "C" KESTRANE_API char** KESTRANE_CDECL KestraneGetParamList() { return BuildParamList(); }
