#include "xaml/color.h"

#include <cmath>

#include "shell/suite_table.h"

namespace {

// The samples of a colour space, as the host's conversion takes them: four reals.
struct Samples {
    int32_t space;  // 0: no space to convert from
    HostReal values[4];
};

Samples CMYKSamples(const FourColorStyle& cmyk) {
    return Samples{kCMYKSpace, {cmyk.cyan, cmyk.magenta, cmyk.yellow, cmyk.black}};
}

Samples RGBSamples(const ThreeColorStyle& rgb) {
    return Samples{kRGBSpace, {rgb.red, rgb.green, rgb.blue, 0}};
}

Samples SamplesOf(const HostColor& color) {
    switch (color.kind) {
        case kGrayColor:
            return Samples{kGraySpace, {1.0f - color.c.gray.gray, 0, 0, 0}};
        case kFourColor:
            return CMYKSamples(color.c.cmyk);
        case kThreeColor:
            return RGBSamples(color.c.rgb);
        case kCustomColor: {
            CustomColorDefinition definition{};
            sCustomColor->GetCustomColor(color.c.custom.color, &definition);
            if (definition.kind == kCustomFourColor) return CMYKSamples(definition.c.cmyk);
            if (definition.kind == kCustomThreeColor) return RGBSamples(definition.c.rgb);
            break;
        }
        default:
            break;
    }
    return Samples{0, {0, 0, 0, 0}};
}

}  // namespace

HostErr ConvertColorToRGB(HostColor color, HostColor* rgb) {
    const Samples source = SamplesOf(color);
    HostReal destination[4] = {0, 0, 0, 0};
    // A colour without a space of its own stays black.
    if (source.space != 0) {
        HostBool inGamut = 0;
        sColorConversion->ConvertSamples(source.space, source.values, kRGBSpace, destination, &inGamut);
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
