// Colours as the host holds them: RGB reals that the export turns back into the same bytes.
#pragma once

#include <cstdint>

#include "document/svg/values/color.h"
#include "host/host_types.h"

namespace document::svg {

// The real for an 8-bit channel: the one nearest v / 255 that the export's scaling (x 255,
// truncated) turns back into v exactly.
HostReal ChannelReal(uint8_t value);

HostColor RgbHostColor(const Rgb& rgb);
HostColor NoneHostColor();

}  // namespace document::svg
