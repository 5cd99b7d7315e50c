#include "document/svg/convert/host_color.h"

#include <array>
#include <cmath>

namespace document::svg {

namespace {

// The least float that gives the channel back when the host scales it by 255 and truncates.
HostReal ComputeChannelReal(uint8_t value) {
    HostReal real = static_cast<HostReal>(value / 255.0);
    while (static_cast<int>(static_cast<double>(real) * 255.0) < value) real = std::nextafter(real, 2.0f);
    return real;
}

}  // namespace

HostReal ChannelReal(uint8_t value) {
    // Every shape's colours go through here: the 256 answers are worked out once.
    static const std::array<HostReal, 256> kChannels = [] {
        std::array<HostReal, 256> channels{};
        for (size_t i = 0; i < channels.size(); ++i) channels[i] = ComputeChannelReal(uint8_t(i));
        return channels;
    }();
    return kChannels[value];
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
