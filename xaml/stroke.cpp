#include "xaml/stroke.h"

#include "xaml/color.h"

namespace {

// Dash and gap lengths in units of the stroke's thickness, as both dash properties take them.
void WriteDashValues(XamlOutput* out, const StrokeStyle& stroke) {
    for (int i = 0; i < stroke.dashCount; ++i) {
        if (i > 0) WriteText(out, ",");
        WriteNumber(out, stroke.dashes[i] / stroke.width);
    }
}

}  // namespace

HostErr WriteStroke(XamlOutput* out, StrokeStyle stroke, int32_t drawingBrush) {
    const bool brush = drawingBrush != 0;
    if (stroke.dashCount > kMaxDashes) stroke.dashCount = kMaxDashes;
    // Dash lengths are relative to the width; a zero width has none to write.
    const bool dashed = stroke.dashCount > 0 && stroke.width != 0.0f;

    if (brush) {
        WriteText(out, "\n          <GeometryDrawing.Pen>\n            <Pen DashCap=\"Flat\" Thickness=\"");
    } else {
        WriteText(out, " StrokeThickness=\"");
    }
    WriteNumber(out, stroke.width);
    WriteText(out, "\"");

    if (IsSolidColor(stroke.color)) WriteColorAttribute(out, brush ? " Brush=\"" : " Stroke=\"", stroke.color);

    if (stroke.cap == kRoundCap) {
        if (brush) {
            WriteText(out, " StartLineCap=\"Round\" EndLineCap=\"Round\"");
        } else {
            WriteText(out, " StrokeStartLineCap=\"Round\" StrokeEndLineCap=\"Round\"");
        }
    } else if (stroke.cap == kProjectingCap) {
        if (brush) {
            WriteText(out, " StartLineCap=\"Square\" EndLineCap=\"Square\"");
        } else {
            WriteText(out, " StrokeStartLineCap=\"Square\" StrokeEndLineCap=\"Square\"");
        }
    }

    if (stroke.join == kMiterJoin) {
        if (brush) {
            WriteText(out, " MiterLimit=\"");
        } else {
            WriteText(out, " StrokeMiterLimit=\"");
        }
        WriteNumber(out, stroke.miterLimit);
        WriteText(out, "\"");
    } else if (stroke.join == kRoundJoin) {
        if (brush) {
            WriteText(out, " LineJoin=\"Round\"");
        } else {
            WriteText(out, " StrokeLineJoin=\"Round\"");
        }
    } else if (stroke.join == kBevelJoin) {
        if (brush) {
            WriteText(out, " LineJoin=\"Bevel\"");
        } else {
            WriteText(out, " StrokeLineJoin=\"Bevel\"");
        }
    }

    if (!brush) {
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
