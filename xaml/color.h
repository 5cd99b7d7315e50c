// Colours as XAML text: "#" and alpha, red, green and blue as two lower-case hex digits each.
// Every colour is converted to RGB by the host and written fully opaque.
#pragma once

#include "host/host_types.h"
#include "xaml/output.h"

// Converts a gray, CMYK, custom or RGB colour to an RGB colour record through the host.
// Any other colour, and a custom colour defined in neither CMYK nor RGB, converts to black.
HostErr ConvertColorToRGB(HostColor color, HostColor* rgb);
HostErr WriteColor(XamlOutput* out, HostColor color);
// Writes `attribute` (such as " Fill=\""), the colour and the closing quote.
void WriteColorAttribute(XamlOutput* out, const char* attribute, HostColor color);
// Gray, CMYK, custom and RGB colours are written; patterns, gradients and none are not.
inline bool IsSolidColor(const HostColor& color) {
    return color.kind == kGrayColor || color.kind == kFourColor || color.kind == kCustomColor ||
           color.kind == kThreeColor;
}
// Writes the colour halfway between two colours, mixed in RGB.
HostErr WriteMidpointColor(XamlOutput* out, HostColor first, HostColor second);
