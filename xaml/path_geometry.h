// The outline of a path as one figure of the XAML path markup: " M x,y", a line or cubic
// command for every further anchor, and for a closed path the way back and " Z".
#pragma once

#include "host/host_types.h"
#include "xaml/output.h"

// Replaces (x, y) with its image under the document transform.
HostErr TransformPoint(HostReal* x, HostReal* y);
// Writes the command that leads from one segment's anchor to the next.
HostErr WriteSegment(XamlOutput* out, PathSegment from, PathSegment to);
// Writes the whole figure of a path; a path without segments writes nothing.
HostErr WriteFigure(XamlOutput* out, ArtHandle* path);
