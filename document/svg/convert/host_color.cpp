#include "document/svg/convert/host_color.h"

#include <cmath>

namespace document::svg {

HostReal ChannelReal(uint8_t value) {
    HostReal real = static_cast<HostReal>(value / 255.0);
    while (static_cast<int>(static_cast<double>(real) * 255.0) < value) real = std::nextafter(real, 2.0f);
    return real;
}

HostColor RgbHostColor(const Rgb& rgb) {
    HostColor color{};
    color.kind = kThreeColor;
    color.c.rgb = {ChannelReal(rgb.r), ChannelReal(rgb.g), ChannelReal(rgb.b)};
    return color;
}

HostColor NoneHostColor() {
    HostColor color{};
    color.kind = kNoneColor;
    return color;
}

}  // namespace document::svg
