#include "xaml/gradient.h"

#include <cmath>

#include "shell/suite_table.h"
#include "xaml/color.h"
#include "xaml/document_state.h"

namespace {

// pi / 180 as a 32-bit real.
constexpr HostReal kRadiansPerDegree = 0.017453292f;

// The point at `distance` from `origin` in the direction `degrees`: the angle, its cosine and
// sine in single precision, the sums in double precision, each coordinate rounded once.
RealPoint PointAt(RealPoint origin, double distance, HostReal degrees) {
    const HostReal radians = degrees * kRadiansPerDegree;
    const auto cosine = static_cast<HostReal>(std::cos(static_cast<double>(radians)));
    const auto sine = static_cast<HostReal>(std::sin(static_cast<double>(radians)));
    return RealPoint{static_cast<HostReal>(origin.h + distance * cosine),
                     static_cast<HostReal>(origin.v + distance * sine)};
}

void WriteBrushTransform(XamlOutput* out, const RealMatrix& gradientMatrix) {
    RealMatrix matrix = gradientMatrix;
    sRealMath->ConcatMatrix(&matrix, &sDocumentTransform, &matrix);
    WriteMatrixTransform(out, &matrix);
}

void WriteStopStart(XamlOutput* out, HostReal offset) {
    WriteText(out, "\n          <GradientStop Offset=\"");
    WriteNumber(out, offset);
    WriteText(out, "\" Color=\"");
}

}  // namespace

HostErr WriteMatrixTransform(XamlOutput* out, const RealMatrix* matrix) {
    WriteText(out, "\n          <MatrixTransform Matrix=\"");
    WritePoint(out, matrix->a, matrix->b);
    WriteText(out, ",");
    WritePoint(out, matrix->c, matrix->d);
    WriteText(out, ",");
    WritePoint(out, matrix->tx, matrix->ty);
    WriteText(out, "\" />");
    return kNoErr;
}

HostErr WriteGradientStops(XamlOutput* out, GradientFill fill) {
    int16_t count = 0;
    sGradient->GetGradientStopCount(fill.gradient, &count);
    for (int16_t i = 0; i < count; ++i) {
        GradientStop stop{};
        sGradient->GetNthGradientStop(fill.gradient, i, &stop);
        WriteStopStart(out, stop.position / 100.0f);
        WriteColor(out, stop.color);
        WriteText(out, "\"/>");

        if (stop.midpoint != 50.0f && i + 1 < count) {
            GradientStop next{};
            sGradient->GetNthGradientStop(fill.gradient, static_cast<int16_t>(i + 1), &next);
            // Every step in 32-bit arithmetic.
            const HostReal offset = (stop.position + stop.midpoint / 100.0f * (next.position - stop.position)) / 100.0f;
            WriteStopStart(out, offset);
            WriteMidpointColor(out, stop.color, next.color);
            WriteText(out, "\"/>");
        }
    }
    return kNoErr;
}

HostErr WriteGradientBrush(XamlOutput* out, GradientFill fill) {
    int16_t type = -1;
    sGradient->GetGradientType(fill.gradient, &type);
    if (type == kLinearGradient) {
        const RealPoint end = PointAt(fill.origin, fill.length, fill.angle);
        WriteText(out, "\n      <LinearGradientBrush MappingMode=\"Absolute\" StartPoint=\"");
        WritePoint(out, fill.origin.h, fill.origin.v);
        WriteText(out, "\" EndPoint=\"");
        WritePoint(out, end.h, end.v);
        WriteText(out, "\">\n        <LinearGradientBrush.GradientStops>");
        WriteGradientStops(out, fill);
        WriteText(out, "\n        </LinearGradientBrush.GradientStops>\n        <LinearGradientBrush.Transform>");
        WriteBrushTransform(out, fill.matrix);
        WriteText(out, "\n        </LinearGradientBrush.Transform>\n      </LinearGradientBrush>");
    } else if (type == kRadialGradient) {
        // The focal point lies at hiliteLength radii from the centre.
        const double focalDistance = static_cast<double>(fill.hiliteLength) * fill.length;
        const RealPoint focus = PointAt(fill.origin, focalDistance, fill.hiliteAngle);
        WriteText(out, "\n      <RadialGradientBrush MappingMode=\"Absolute\" GradientOrigin=\"");
        WritePoint(out, focus.h, focus.v);
        WriteText(out, "\" Center=\"");
        WritePoint(out, fill.origin.h, fill.origin.v);
        WriteText(out, "\" RadiusX=\"");
        WriteNumber(out, fill.length);
        WriteText(out, "\" RadiusY=\"");
        WriteNumber(out, fill.length);
        WriteText(out, "\">\n        <RadialGradientBrush.GradientStops>");
        WriteGradientStops(out, fill);
        WriteText(out, "\n        </RadialGradientBrush.GradientStops>\n        <RadialGradientBrush.Transform>");
        WriteBrushTransform(out, fill.matrix);
        WriteText(out, "\n        </RadialGradientBrush.Transform>\n      </RadialGradientBrush>");
    }
    return kNoErr;
}
