// KestraneSetParam with any name and value (split at the first newline), then a search.
#include "fuzz_engine.h"
#include "kestrane.h"
#include "protocol/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzStartEngine();
  SetOptionDefaults();
  std::string text = FuzzText(data, size);
  size_t split = text.find('\n');
  std::string name = text.substr(0, split);
  std::string value = split == std::string::npos ? std::string() : text.substr(split + 1);
  KestraneSetParam(name.c_str(), value.c_str());
  FuzzExecute("position startpos moves e2e4");
  FuzzCheckEngine();
  return 0;
}
