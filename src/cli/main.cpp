#include "cli/Commands.h"

int main(int argc, char** argv) { return pamiro::cli::RunCommandLine(argc, argv); }
