// SVG subpaths as the host's paths: anchors with in and out handles, in document coordinates.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "document/svg/values/matrix.h"
#include "document/svg/values/path_data.h"
#include "host/host_types.h"

namespace document::svg {

// The host counts the anchors of a path in 16 bits.
constexpr size_t kMaxHostAnchors = 32767;

struct HostSubpath {
    std::vector<PathSegment> segments;
    bool closed = false;
};

// The subpath mapped through `toDocument`. A line's anchors keep their handles retracted; a
// cubic puts its first control point on the previous anchor's out handle and its second on the
// end anchor's in handle. A closed subpath whose last segment ends on its start merges that end
// into the first anchor, so the host's closing segment is that last segment. Nothing for a
// subpath without segments (a lone move draws nothing). The caller checks the anchor count.
std::optional<HostSubpath> ToHostSubpath(const Subpath& subpath, const Matrix& toDocument);

}  // namespace document::svg
