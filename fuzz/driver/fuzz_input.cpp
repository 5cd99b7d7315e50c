#include "fuzz/driver/fuzz_input.h"

#include <array>

namespace fuzz {
namespace {

// Every operation of the substitute host that can be made to fail. The plug-in must come
// through a failure of any of them with a clean error and with everything it took given back.
constexpr std::array<const char*, 45> kOperations = {
    "SP Basic Suite/AcquireSuite",
    "SP Basic Suite/ReleaseSuite",
    "SP Basic Suite/IsEqual",
    "SP Basic Suite/AllocateBlock",
    "SP Basic Suite/FreeBlock",
    "SP Blocks Suite/AllocateBlock",
    "SP Blocks Suite/FreeBlock",
    "AI File Format Suite/AddFileFormat",
    "AI Layer Suite/CountLayers",
    "AI Layer Suite/GetNthLayer",
    "AI Art Suite/GetFirstArtOfLayer",
    "AI Art Suite/GetArtFirstChild",
    "AI Art Suite/GetArtSibling",
    "AI Art Suite/GetArtType",
    "AI Art Suite/GetArtName",
    "AI Art Suite/GetArtBounds",
    "AI Art Suite/GetArtUserAttr",
    "AI Path Suite/GetPathClosed",
    "AI Path Suite/GetPathIsGuide",
    "AI Path Suite/GetPathSegmentCount",
    "AI Path Suite/GetPathSegments",
    "AI Path Style Suite/GetPathStyle",
    "AI Blend Style Suite/GetOpacity",
    "AI Gradient Suite/GetGradientType",
    "AI Gradient Suite/GetGradientStopCount",
    "AI Gradient Suite/GetNthGradientStop",
    "AI Custom Color Suite/GetCustomColor",
    "AI Color Conversion Suite/ConvertSamples",
    "AI Plugin Group Suite/GetPluginArtName",
    "AI Plugin Group Suite/GetPluginArtResultArt",
    "AI Real Math Suite/IdentityMatrix",
    "AI Real Math Suite/ConcatMatrix",
    "AI Real Math Suite/ConcatScale",
    "AI Real Math Suite/ConcatTranslate",
    "AI Real Math Suite/TransformPoint",
    "AI User Suite/NumberToText",
    "AI User Suite/TextToNumber",
    "ADM Basic Suite/GetIndexString",
    "ADM Basic Suite/MessageAlert",
    "ADM Dialog Suite/Modal",
    "ADM Dialog Suite/GetItem",
    "ADM Dialog Suite/GetUserData",
    "ADM Item Suite/SetText",
    "ADM Item Suite/SetNotifyProc",
    "ADM Item Suite/DefaultNotify",
};
static_assert(kOperations.size() <= 64, "byte 1 picks among at most 64 operations");

constexpr std::array<HostErr, 4> kErrors = {kBadParameterErr, kOutOfMemoryErr, kSuiteNotFoundErr,
                                            FourCharCode('!', 'U', 'n', 'k')};

constexpr uint8_t kNoFaultOperation = 0xFF;

}  // namespace

FuzzInput DecodeInput(std::string_view bytes) {
    FuzzInput input;
    if (bytes.size() < kHeaderSize) {
        input.document = bytes;
        return input;
    }
    const auto byte = [&](size_t index) { return static_cast<uint8_t>(bytes[index]); };
    input.target = static_cast<Target>((byte(0) & 3) % 3);
    const size_t operation = byte(1) % 64;
    if (operation < kOperations.size()) {
        const int count = byte(2) < 128 ? byte(2) : 128 + (byte(2) - 128) * 16;
        input.fault = HostFault{kOperations[operation], kErrors[(byte(0) >> 2) & 3], count};
    }
    input.document = bytes.substr(kHeaderSize);
    return input;
}

std::string PlainHeader(Target target) {
    return {static_cast<char>(target), static_cast<char>(kNoFaultOperation), '\0'};
}

const char* TargetName(Target target) {
    switch (target) {
        case Target::kWpf: return "WPF";
        case Target::kWpfe: return "WPF/E";
        case Target::kDrawingBrush: return "WPF drawing brush";
    }
    return "?";
}

}  // namespace fuzz
