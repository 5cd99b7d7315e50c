#include "xaml/path_geometry.h"

#include "shell/suite_table.h"
#include "xaml/document_state.h"

HostErr TransformPoint(HostReal* x, HostReal* y) {
    RealPoint point{*x, *y};
    sRealMath->TransformPoint(&sDocumentTransform, &point, &point);
    *x = point.h;
    *y = point.v;
    return kNoErr;
}

namespace {

void WriteTransformedPoint(XamlOutput* out, RealPoint point) {
    TransformPoint(&point.h, &point.v);
    WritePoint(out, point.h, point.v);
}

// Exact comparison of the host's values; a NaN never matches, so it makes a curve.
bool SamePoint(RealPoint a, RealPoint b) {
    return a.h == b.h && a.v == b.v;
}

}  // namespace

HostErr WriteSegment(XamlOutput* out, PathSegment from, PathSegment to) {
    if (SamePoint(from.p, from.out) && SamePoint(to.p, to.in)) {
        WriteText(out, " L ");
        WriteTransformedPoint(out, to.p);
        return kNoErr;
    }
    WriteText(out, " C ");
    WriteTransformedPoint(out, from.out);
    WriteText(out, " ");
    WriteTransformedPoint(out, to.in);
    WriteText(out, " ");
    WriteTransformedPoint(out, to.p);
    return kNoErr;
}

HostErr WriteFigure(XamlOutput* out, ArtHandle* path) {
    HostBool closed = 0;
    sPath->GetPathClosed(*path, &closed);
    int16_t count = 0;
    sPath->GetPathSegmentCount(*path, &count);
    if (count <= 0) return kNoErr;

    // Segments come one at a time, so a path of any length needs this much memory only.
    PathSegment first{};
    sPath->GetPathSegments(*path, 0, 1, &first);
    WriteText(out, " M ");
    WriteTransformedPoint(out, first.p);

    PathSegment previous = first;
    for (int16_t i = 1; i < count; ++i) {
        PathSegment current{};
        sPath->GetPathSegments(*path, i, 1, &current);
        WriteSegment(out, previous, current);
        previous = current;
    }
    if (closed) {
        WriteSegment(out, previous, first);
        WriteText(out, " Z");
    }
    return kNoErr;
}
