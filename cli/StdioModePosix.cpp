#include "StdioMode.h"

namespace stepctl::cli {

void useBinaryStdio() {}  // POSIX streams carry bytes as they are

}  // namespace stepctl::cli
