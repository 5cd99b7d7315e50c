// Gradient fills as LinearGradientBrush or RadialGradientBrush elements, with their stops and
// the transform that carries the gradient's own coordinates to the output's.
#pragma once

#include "host/host_types.h"
#include "xaml/output.h"

HostErr WriteGradientBrush(XamlOutput* out, GradientFill fill);
HostErr WriteGradientStops(XamlOutput* out, GradientFill fill);
HostErr WriteMatrixTransform(XamlOutput* out, const RealMatrix* matrix);
