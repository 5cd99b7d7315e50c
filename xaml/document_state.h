// State of the export under way that every writer may read: the document extents, the
// document transform and the export target. The export driver sets them before the first
// element is written.
#pragma once

#include "host/host_types.h"

struct DocumentExtents {
    HostReal top, left, bottom, right;
};

extern DocumentExtents sExtents;
// Maps a host point (x, y) to (x - left, top - y): origin at the top-left, y pointing down.
extern RealMatrix sDocumentTransform;
// True while exporting for the WPF/E client.
extern bool sEverywhere;
