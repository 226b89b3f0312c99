#include <iostream>

#include "RunCli.h"
#include "StdioMode.h"

int main(int argc, char** argv) {
    stepctl::cli::useBinaryStdio();
    return stepctl::cli::runCli({argv + 1, argv + argc}, std::cout, std::cerr);
}
