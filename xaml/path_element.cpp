#include "xaml/path_element.h"

#include "shell/suite_table.h"
#include "xaml/art_list.h"
#include "xaml/color.h"
#include "xaml/document_state.h"
#include "xaml/gradient.h"
#include "xaml/path_geometry.h"
#include "xaml/stroke.h"

namespace {

// A path inside a Pathfinder group is painted with the style of the nearest plug-in art row
// before it (row 0 if none).
ArtHandle StyleSource(ArtHandle const* artColumn, int32_t row) {
    int32_t source = row - 1;
    for (; source > 0; --source) {
        int16_t type = kUnknownArt;
        sArt->GetArtType(artColumn[source], &type);
        if (type == kPluginArt) break;
    }
    return artColumn[source < 0 ? 0 : source];
}

// The figures of the path, or of every member of a compound path, one after another.
void WriteFigures(XamlOutput* out, ArtHandle* path, int32_t compound) {
    WriteFigure(out, path);
    if (compound == 0) return;
    for (;;) {
        ArtHandle next = nullptr;
        sArt->GetArtSibling(*path, &next);
        *path = next;
        if (*path == nullptr) return;
        WriteFigure(out, path);
    }
}

void WriteClip(XamlOutput* out, ArtHandle* path, int32_t compound, bool drawingBrush) {
    if (drawingBrush) {
        WriteText(out, "\n\n  <DrawingGroup.ClipGeometry>");
    } else {
        WriteText(out, "\n  <Canvas.Clip>");
    }
    WriteText(out, "\n    <PathGeometry Figures=\"");
    WriteFigures(out, path, compound);
    WriteText(out, "\"/>");
    if (drawingBrush) {
        WriteText(out, "\n  </DrawingGroup.ClipGeometry>");
    } else {
        WriteText(out, "\n  </Canvas.Clip>");
    }
}

void WritePathForm(XamlOutput* out, ArtHandle* path, int32_t compound, HostReal opacity, int32_t visible,
                   const PathStyle& style) {
    WriteText(out, "\n  <Path");
    if (opacity != 1.0f) {
        WriteText(out, " Opacity=\"");
        WriteNumber(out, opacity);
        WriteText(out, "\"");
    }
    if (visible == 0) {
        // The WPF/E client knows only Visible and Collapsed.
        if (sEverywhere) {
            WriteText(out, " Visibility=\"Collapsed\"");
        } else {
            WriteText(out, " Visibility=\"hidden\"");
        }
    }
    if (style.strokePaint) WriteStroke(out, style.stroke, 0);
    if (style.fillPaint && IsSolidColor(style.fill.color)) WriteColorAttribute(out, " Fill=\"", style.fill.color);
    WriteText(out, " Data=\"");
    if (!style.evenOdd) WriteText(out, "F1");
    WriteFigures(out, path, compound);
    if (style.fill.color.kind == kGradientColor) {
        WriteText(out, "\">\n    <Path.Fill>");
        WriteGradientBrush(out, style.fill.color.c.gradient);
        WriteText(out, "\n    </Path.Fill>\n  </Path>");
    } else {
        WriteText(out, "\"/>");
    }
}

void WriteDrawingBrushForm(XamlOutput* out, ArtHandle* path, int32_t compound, HostReal opacity,
                           const PathStyle& style) {
    const bool translucent = opacity != 1.0f;
    if (translucent) {
        WriteText(out, "\n\n      <DrawingGroup Opacity=\"");
        WriteNumber(out, opacity);
        WriteText(out, "\">\n        <DrawingGroup.Children>");
    }
    WriteText(out, "\n        <GeometryDrawing");
    if (style.fillPaint && IsSolidColor(style.fill.color)) WriteColorAttribute(out, " Brush=\"", style.fill.color);
    WriteText(out, " Geometry=\"");
    if (!style.evenOdd) WriteText(out, "F1");
    WriteFigures(out, path, compound);
    bool hasContent = false;
    if (style.fill.color.kind == kGradientColor) {
        WriteText(out, "\">\n          <GeometryDrawing.Brush>");
        hasContent = true;
        WriteGradientBrush(out, style.fill.color.c.gradient);
        WriteText(out, "\n          </GeometryDrawing.Brush>");
    }
    if (style.strokePaint) {
        if (!hasContent) WriteText(out, "\">");
        hasContent = true;
        WriteStroke(out, style.stroke, 1);
    }
    if (hasContent) {
        WriteText(out, "\n        </GeometryDrawing>");
    } else {
        WriteText(out, "\"/>");
    }
    if (translucent) WriteText(out, "\n\n        </DrawingGroup.Children>\n      </DrawingGroup>");
}

}  // namespace

HostErr WritePathElement(XamlOutput* out, ArtHandle* path, int32_t compound, HostReal opacity, int32_t visible,
                         uint8_t pluginFlags, ArtHandle const* artColumn, int32_t row, int32_t drawingBrush) {
    int16_t type = kUnknownArt;
    sArt->GetArtType(*path, &type);
    if (type != kPathArt) return kNoErr;

    PathStyle style{};
    sPathStyle->GetPathStyle(*path, &style);
    const bool clip = style.clip != 0;
    if ((pluginFlags & kPathfinder) != 0) sPathStyle->GetPathStyle(StyleSource(artColumn, row), &style);

    if (clip) {
        WriteClip(out, path, compound, drawingBrush != 0);
    } else if (drawingBrush != 0) {
        WriteDrawingBrushForm(out, path, compound, opacity, style);
    } else {
        WritePathForm(out, path, compound, opacity, visible, style);
    }
    return kNoErr;
}
