#include <iostream>

#include "RunCli.h"

int main(int argc, char** argv) {
    return stepctl::cli::runCli({argv + 1, argv + argc}, std::cout, std::cerr);
}
