// Finds the numbers an export wrote, so that the baselines can format the same values.
#pragma once

#include <string_view>
#include <vector>

namespace bench {

// Every number of the text that has the shape "%f" gives it: an optional minus sign, one or
// more digits, a period and exactly six digits, with no letter, digit, period or underscore
// on either side. Each is answered as the 32-bit real nearest to it, as the export held it.
std::vector<float> ScanFixed6Numbers(std::string_view text);

}  // namespace bench
