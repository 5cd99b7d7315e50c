#include "xaml/stroke.h"

#include "xaml/color.h"

namespace {

// The texts of the two forms of a stroke: attributes of a Path, or a Pen element.
struct StrokeForm {
    const char* thickness;
    const char* color;
    const char* roundCaps;
    const char* squareCaps;
    const char* miterLimit;
    const char* roundJoin;
    const char* bevelJoin;
};

constexpr StrokeForm kPathAttributes{
    " StrokeThickness=\"",
    " Stroke=\"",
    " StrokeStartLineCap=\"Round\" StrokeEndLineCap=\"Round\"",
    " StrokeStartLineCap=\"Square\" StrokeEndLineCap=\"Square\"",
    " StrokeMiterLimit=\"",
    " StrokeLineJoin=\"Round\"",
    " StrokeLineJoin=\"Bevel\"",
};

constexpr StrokeForm kPen{
    "\n          <GeometryDrawing.Pen>\n            <Pen DashCap=\"Flat\" Thickness=\"",
    " Brush=\"",
    " StartLineCap=\"Round\" EndLineCap=\"Round\"",
    " StartLineCap=\"Square\" EndLineCap=\"Square\"",
    " MiterLimit=\"",
    " LineJoin=\"Round\"",
    " LineJoin=\"Bevel\"",
};

// Dash and gap lengths in units of the stroke's thickness, as both dash properties take them.
void WriteDashValues(XamlOutput* out, const StrokeStyle& stroke) {
    for (int i = 0; i < stroke.dashCount; ++i) {
        if (i > 0) WriteText(out, ",");
        WriteNumber(out, stroke.dashes[i] / stroke.width);
    }
}

}  // namespace

HostErr WriteStroke(XamlOutput* out, StrokeStyle stroke, int32_t drawingBrush) {
    const bool pen = drawingBrush != 0;
    const StrokeForm& form = pen ? kPen : kPathAttributes;
    if (stroke.dashCount > kMaxDashes) stroke.dashCount = kMaxDashes;
    // Dash lengths are relative to the width; a zero width has none to write.
    const bool dashed = stroke.dashCount > 0 && stroke.width != 0.0f;

    WriteString(out, form.thickness);
    WriteNumber(out, stroke.width);
    WriteText(out, "\"");
    if (IsSolidColor(stroke.color)) WriteColorAttribute(out, form.color, stroke.color);

    if (stroke.cap == kRoundCap) {
        WriteString(out, form.roundCaps);
    } else if (stroke.cap == kProjectingCap) {
        WriteString(out, form.squareCaps);
    }

    if (stroke.join == kMiterJoin) {
        WriteString(out, form.miterLimit);
        WriteNumber(out, stroke.miterLimit);
        WriteText(out, "\"");
    } else if (stroke.join == kRoundJoin) {
        WriteString(out, form.roundJoin);
    } else if (stroke.join == kBevelJoin) {
        WriteString(out, form.bevelJoin);
    }

    if (!pen) {
        if (dashed) {
            WriteText(out, " StrokeDashArray=\"");
            WriteDashValues(out, stroke);
            WriteText(out, "\"");
        }
        return kNoErr;
    }
    if (dashed) {
        WriteText(out, ">\n              <Pen.DashStyle>\n                <DashStyle Dashes=\"");
        WriteDashValues(out, stroke);
        WriteText(out, "\"/>\n              </Pen.DashStyle>\n            </Pen>");
    } else {
        WriteText(out, "/>");
    }
    WriteText(out, "\n          </GeometryDrawing.Pen>");
    return kNoErr;
}
