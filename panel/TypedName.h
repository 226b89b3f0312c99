// Whether a text typed into a list's field names one of its entries: spaces around it do not
// count, nor does the case of a letter ("  zmg-b6 " names "ZMG-B6").
#pragma once

#include <string_view>

namespace stepctl::panel {

bool namesEntry(std::string_view typed, std::string_view entry);

}  // namespace stepctl::panel
