// The option description lines handed to the host by KestraneGetParamList.
#pragma once

constexpr int ParamListSize = 50;
constexpr int ParamLineCount = 29;

extern char* ParamList[ParamListSize];  // the ParamLineCount lines, "", then null pointers

// Rebuilds ParamList from the current option values, releasing the previous strings.
char** BuildParamList();
void ReleaseParamList();
