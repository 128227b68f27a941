// The command line as Windows keeps it (UTF-16), split and converted to UTF-8
// once, so any user name and folder reaches the client whole.
#pragma once

#include <string>
#include <vector>

namespace WideArguments {
// The program's arguments, the program itself first. False, with error set,
// when one holds UTF-16 that no UTF-8 text can stand for.
bool read(std::vector<std::string>& arguments, std::string& error);
} // namespace WideArguments
