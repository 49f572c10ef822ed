// The kestrane program: UCI without arguments, tool subcommands otherwise.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1) {
    fprintf(stderr, "unknown command: %s\n", argv[1]);
    return 2;
  }
  return 0;
}
