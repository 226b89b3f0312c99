// The texts in which codes and dB values are shown: "%d" and "%.2f" with a point, in any locale.
#pragma once

#include <string>

namespace stepctl {

std::string formatCode(int code);
std::string formatDb(float db);

}  // namespace stepctl
