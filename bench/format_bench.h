// The formatter on its own: FormatFixed6 against std::to_chars (fixed, 6) and snprintf "%f",
// on the same coordinates.
#pragma once

namespace bench {

// Registers formatter/FormatFixed6, formatter/to_chars and formatter/snprintf.
void RegisterFormatterBenchmarks();

}  // namespace bench
