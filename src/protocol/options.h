// The option table behind "setoption", the start-up defaults and the option lists.
#pragma once
#include "board/option_values.h"

void SetOptionDefaults();  // the start-up values that InitEngine sets

// "setoption" with a non-empty value: finds the option by name (ignoring case), converts the
// value and stores it when it is in range. 1 when stored, 0 when ignored.
int ApplyOption(const char* name, const char* value);
// "setoption" without a value: the buttons "Clear Hash" and "Clear PosLearning".
int PressOptionButton(const char* name);
// 1 when the name (ignoring case) is an option or a button.
int IsOptionName(const char* name);
