#include "xaml/color.h"

#include <cmath>

#include "shell/suite_table.h"

HostErr ConvertColorToRGB(HostColor color, HostColor* rgb) {
    HostReal source[4] = {0, 0, 0, 0};
    HostReal destination[4] = {0, 0, 0, 0};
    int32_t sourceSpace = 0;
    switch (color.kind) {
        case kGrayColor:
            sourceSpace = kGraySpace;
            source[0] = 1.0f - color.c.gray.gray;
            break;
        case kFourColor:
            sourceSpace = kCMYKSpace;
            source[0] = color.c.cmyk.cyan;
            source[1] = color.c.cmyk.magenta;
            source[2] = color.c.cmyk.yellow;
            source[3] = color.c.cmyk.black;
            break;
        case kCustomColor: {
            CustomColorDefinition definition{};
            sCustomColor->GetCustomColor(color.c.custom.color, &definition);
            if (definition.kind == kCustomFourColor) {
                sourceSpace = kCMYKSpace;
                source[0] = definition.c.cmyk.cyan;
                source[1] = definition.c.cmyk.magenta;
                source[2] = definition.c.cmyk.yellow;
                source[3] = definition.c.cmyk.black;
            } else if (definition.kind == kCustomThreeColor) {
                sourceSpace = kRGBSpace;
                source[0] = definition.c.rgb.red;
                source[1] = definition.c.rgb.green;
                source[2] = definition.c.rgb.blue;
            }
            break;
        }
        case kThreeColor:
            sourceSpace = kRGBSpace;
            source[0] = color.c.rgb.red;
            source[1] = color.c.rgb.green;
            source[2] = color.c.rgb.blue;
            break;
        default:
            break;
    }
    // A colour without a space of its own stays black.
    if (sourceSpace != 0) {
        HostBool inGamut = 0;
        sColorConversion->ConvertSamples(sourceSpace, source, kRGBSpace, destination, &inGamut);
    }
    *rgb = HostColor{};
    rgb->kind = kThreeColor;
    rgb->c.rgb = ThreeColorStyle{destination[0], destination[1], destination[2]};
    return kNoErr;
}

namespace {

// A channel in 0..1 scaled to 0..255 and truncated; out-of-range values are clamped, NaN is 0.
unsigned ChannelByte(HostReal channel) {
    if (!(channel > 0.0f)) return 0;
    if (channel >= 1.0f) return 255;
    return static_cast<unsigned>(static_cast<double>(channel) * 255.0);
}

void WriteRGB(XamlOutput* out, HostReal red, HostReal green, HostReal blue) {
    static constexpr char kHex[] = "0123456789abcdef";
    const unsigned channels[3] = {ChannelByte(red), ChannelByte(green), ChannelByte(blue)};
    char text[9] = {'#', 'f', 'f'};
    for (int i = 0; i < 3; ++i) {
        text[3 + 2 * i] = kHex[channels[i] >> 4];
        text[4 + 2 * i] = kHex[channels[i] & 15];
    }
    WriteBytes(out, text, sizeof text);
}

}  // namespace

HostErr WriteColor(XamlOutput* out, HostColor color) {
    HostColor rgb;
    ConvertColorToRGB(color, &rgb);
    WriteRGB(out, rgb.c.rgb.red, rgb.c.rgb.green, rgb.c.rgb.blue);
    return kNoErr;
}

void WriteColorAttribute(XamlOutput* out, const char* attribute, HostColor color) {
    WriteString(out, attribute);
    WriteColor(out, color);
    WriteText(out, "\"");
}

HostErr WriteMidpointColor(XamlOutput* out, HostColor first, HostColor second) {
    HostColor a;
    HostColor b;
    ConvertColorToRGB(first, &a);
    ConvertColorToRGB(second, &b);
    // Mixed in 32-bit arithmetic, halfway from the first colour to the second.
    const HostReal t = 0.5f;
    auto mix = [t](HostReal from, HostReal to) { return (to - from) * t + from; };
    WriteRGB(out, mix(a.c.rgb.red, b.c.rgb.red), mix(a.c.rgb.green, b.c.rgb.green),
             mix(a.c.rgb.blue, b.c.rgb.blue));
    return kNoErr;
}
