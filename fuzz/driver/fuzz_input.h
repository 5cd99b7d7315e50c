// How a fuzz input is laid out: a three-byte header that picks the export target and a host
// fault, then the document's own bytes. The same decoding serves the fuzz targets and the
// regression test of the inputs they found, so a kept file replays exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/host_types.h"

namespace fuzz {

enum class Target { kWpf, kWpfe, kDrawingBrush };

// An operation of the substitute host that answers `error` after `succeedFirst` good calls.
struct HostFault {
    std::string operation;  // "suite name/operation", as the host names it
    HostErr error;
    int succeedFirst;
};

struct FuzzInput {
    Target target = Target::kWpf;
    std::optional<HostFault> fault;
    std::string_view document;  // what follows the header
};

constexpr size_t kHeaderSize = 3;

// Byte 0: the target (low two bits, modulo 3) and the fault's error code (next two bits).
// Byte 1: the faulty operation (modulo 64); values past the list of operations mean no fault.
// Byte 2: how many calls succeed before the fault (small counts exactly, larger ones in
// steps of 16, so that faults deep into a long export can be reached).
// An input shorter than the header is a document on its own, exported for WPF without faults.
FuzzInput DecodeInput(std::string_view bytes);

// The header that DecodeInput reads back as `target` without a fault, for seeds.
std::string PlainHeader(Target target);

const char* TargetName(Target target);

}  // namespace fuzz
