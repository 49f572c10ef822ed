// The option table behind "setoption", the start-up defaults and the option lists.
#pragma once
#include "board/option_values.h"

// Which option lists name an option: the host's (KestraneGetParamList) and the kestrane
// program's answer to "uci".
enum OptionListing { ListedForHost = 1, ListedForUci = 2 };

// Start-up sets the defaults of the options a new start-up resets (the piece and term weights,
// Time Usage, Knowledge or Speed and MultiPV keep what the host set); AllOptions resets every
// value. Hash is never touched: its size comes from the start-up call.
enum OptionScope { StartUpOptions, AllOptions };
void SetOptionDefaults(int scope = StartUpOptions);
// The default of a number option, e.g. the Hash size the kestrane program starts with.
int32_t OptionDefaultNumber(const char* name);
// The description line ("option name ... type ...") of the index-th option that `audience`
// lists, into text (size bytes); 0 past the last option or when the line does not fit.
int OptionLine(int index, int audience, char* text, int size);

// "setoption" with a non-empty value: finds the option by name (ignoring case), converts the
// value and stores it when it is in range. 1 when stored, 0 when ignored.
int ApplyOption(const char* name, const char* value);
// "setoption" without a value: the buttons "Clear Hash" and "Clear PosLearning". 1 when pressed.
int PressOptionButton(const char* name);
// 1 when the name (ignoring case) is an option or a button.
int IsOptionName(const char* name);
