// `kestrane tb ...`: the tablebase tools.
#pragma once

int TbCommand(int argc, char** argv);
