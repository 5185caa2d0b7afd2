#include <string>
#include <vector>

#include "cli/CdTool.h"

int main(int argc, char** argv) { return RunCdTool(std::vector<std::string>(argv + 1, argv + argc)); }
