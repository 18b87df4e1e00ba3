#include "app/ui/Startup.h"

int main(int argc, char** argv) { return kilvaro::runProgram(argc, argv); }
