#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "StdioMode.h"

namespace stepctl::cli {

void useBinaryStdio() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace stepctl::cli
