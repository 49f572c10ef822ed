#include "protocol/setoption_command.h"

#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "protocol/words.h"
#include "search/search_flags.h"

constexpr int OptionNameSize = 256;
constexpr int OptionValueSize = 800;

void SetOptionCommand(char** cursor) {
  if (SearchMode.load(std::memory_order_relaxed) != 0) return;
  char name[OptionNameSize] = "";
  char value[OptionValueSize] = "";
  char* target = nullptr;
  int size = 0;
  int starting = 0;
  // Words after "name" build the name, words after "value" the value; both are cut at
  // their buffer's size.
  while (const char* word = NextWord(cursor)) {
    if (EqualsNoCase(word, "name")) {
      target = name, size = OptionNameSize, starting = 1;
    } else if (EqualsNoCase(word, "value")) {
      target = value, size = OptionValueSize, starting = 1;
    } else if (target) {
      if (starting) target[0] = 0;
      else AppendBounded(target, size, " ");
      AppendBounded(target, size, word);
      starting = 0;
    }
  }
  if (name[0] == 0) {
    SendInfoString("setoption: no option name given");
  } else if (!IsOptionName(name)) {
    SendInfoString("setoption: unknown option '%.40s'", name);
  } else if (value[0] == 0 ? !PressOptionButton(name) : !ApplyOption(name, value)) {
    SendInfoString("setoption: '%.40s' does not take the value '%.40s'", name, value);
  }
}
