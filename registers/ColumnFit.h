#pragma once
// The widths of a list's columns within the room its grid has, apart from any
// widget: every column as wide as its widest text while they all fit, the
// columns that can best spare it giving way when they do not.

#include <vector>

namespace registers {

// needed[c]: the pixels column c needs to show its widest text whole; room:
// the pixels all the columns have together. While the needs fit, each column
// gets its need and column spare takes what is left over. Otherwise the
// columns listed in yielding give way: the widest of them are cut to one
// common width, so that the columns fill the room exactly (the others keep
// their need; none gets less than 0).
std::vector<int> FitColumnWidths(const std::vector<int>& needed, int room, const std::vector<int>& yielding,
                                 int spare);

}  // namespace registers
