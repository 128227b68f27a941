// Starts a child program with its standard output (and, when asked, its
// standard error) on a pipe the test reads.
#pragma once

#include <string>
#include <vector>

// False when the pipe or the process cannot be made; otherwise pid and readFd are set.
bool spawnWithOutputPipe(const std::string& program, const std::vector<std::string>& arguments, bool withErrors,
                         int& pid, int& readFd);
