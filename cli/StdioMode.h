// Standard output and error as plain bytes: on Windows the C runtime would otherwise turn every
// "\n" into "\r\n", and the tool's output would differ from what scripts get on Linux.
#pragma once

namespace stepctl::cli {

void useBinaryStdio();

}  // namespace stepctl::cli
