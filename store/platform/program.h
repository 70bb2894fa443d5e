// What a program is given when it starts, and how its text goes out, in UTF-8
// on every system. On Windows the C runtime hands main its arguments and
// getenv its values in the ANSI code page, and puts a carriage return before
// every line feed written to standard output.
#pragma once

#include <string>
#include <vector>

namespace store::platform {

// The program's arguments in UTF-8, the program's own name first: on Windows
// read from the wide command line, elsewhere argv as it is.
std::vector<std::string> programArguments(int argc, char** argv);

// The value of an environment variable in UTF-8; empty when unset.
std::string environmentVariable(const char* name);

// Standard output and error pass UTF-8 bytes through unchanged (no carriage
// return added), and a Windows console shows them as UTF-8 until the program
// ends. Call before writing anything.
void useUtf8Output();

// A windowed program on Windows has no console of its own: its standard
// output and error go to the console of the command that started it, when
// there is one. Does nothing elsewhere. Call before useUtf8Output.
void attachParentConsole();

}  // namespace store::platform
