#pragma once

#include "app/CommandLine.h"

namespace kilvaro {

/// Runs the program for a parsed command line: the batch commands, or the windowed program
/// until its main window closes. Returns the exit code. Creates the application object.
int runProgram(int& argc, char** argv);

/// The windowed start-up sequence on an existing QApplication (used by runProgram and by
/// tests that drive a whole program run).
int runGui(const CommandLine& commandLine);

} // namespace kilvaro
