#include "cli/uci_tablebase.h"

#include <cstdlib>

#include "api/startup.h"
#include "cli/uci_output.h"
#include "protocol/words.h"
#include "tablebase/tb_settings.h"

static std::string Paths;
static int CacheMb = NalimovCacheDefaultMb;

void ResetTablebaseOptions() {
  char path[TablebasePathSize] = "";
  ReadTablebaseSettings(path, sizeof path);
  Paths = path;
  CacheMb = NalimovCacheDefaultMb;
}

void PrintTablebaseOptions() {
  PrintLine("option name NalimovPath type string default <empty>");
  PrintLine("option name NalimovCache type spin default " + std::to_string(NalimovCacheDefaultMb) + " min " +
            std::to_string(NalimovCacheMinMb) + " max " + std::to_string(NalimovCacheMaxMb));
}

static void Register(const char* option) {
  const int pieces = RestartTablebases(Paths.c_str(), CacheMb * 1024);
  if (pieces > 0)
    PrintInfoString(std::string(option) + ": tablebases of up to " + std::to_string(pieces) + " pieces available");
  else
    PrintInfoString(std::string(option) + ": no tablebases available");
}

static std::string Trimmed(const std::string& text) {
  const size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

static bool SetPaths(const std::string& value, const char* option) {
  const std::string paths = value == "<empty>" ? "" : value;
  if (paths.size() > NalimovPathMaxLength) {
    PrintInfoString(std::string(option) + ": a path list of " + std::to_string(paths.size()) +
                    " characters is longer than " + std::to_string(NalimovPathMaxLength) + "; nothing changed");
    return false;
  }
  Paths = paths;
  Register(option);
  return true;
}

bool UseTablebasePaths(const std::string& paths) { return SetPaths(paths, "NalimovPath"); }

static void SetCache(const std::string& value) {
  bool digits = !value.empty() && value.size() <= 9;
  for (char c : value) digits = digits && c >= '0' && c <= '9';
  const int mb = digits ? atoi(value.c_str()) : 0;
  if (mb < NalimovCacheMinMb || mb > NalimovCacheMaxMb) {
    PrintInfoString("NalimovCache: '" + value.substr(0, 40) + "' is not a size from " +
                    std::to_string(NalimovCacheMinMb) + " to " + std::to_string(NalimovCacheMaxMb) +
                    " MB; nothing changed");
    return;
  }
  CacheMb = mb;
  Register("NalimovCache");
}

// Splits "setoption name N value V" into the name and the value; the value keeps its inner
// blanks, as directory names may have them.
static bool SplitSetOption(const std::string& line, std::string* name, std::string* value) {
  const std::string text = " " + line + " ";
  std::string lower = text;
  for (char& c : lower) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const size_t nameAt = lower.find(" name ");
  if (nameAt == std::string::npos) return false;
  const size_t valueAt = lower.find(" value ", nameAt + 5);
  const size_t nameEnd = valueAt == std::string::npos ? text.size() : valueAt;
  *name = Trimmed(text.substr(nameAt + 6, nameEnd - nameAt - 6));
  *value = valueAt == std::string::npos ? "" : Trimmed(text.substr(valueAt + 7));
  return true;
}

bool SetTablebaseOption(const std::string& line) {
  std::string name, value;
  if (!SplitSetOption(line, &name, &value)) return false;
  if (EqualsNoCase(name.c_str(), "NalimovPath")) {
    SetPaths(value, "NalimovPath");
    return true;
  }
  if (EqualsNoCase(name.c_str(), "NalimovCache")) {
    SetCache(value);
    return true;
  }
  return false;
}
