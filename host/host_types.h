// Basic types, handles, error codes and records that the host and the plug-in exchange.
#pragma once

#include <cstddef>
#include <cstdint>

using HostErr = int32_t;   // 0 for success
using HostBool = int32_t;  // 0 false, anything else true
using HostReal = float;    // every real the host hands out is 32-bit

// A 32-bit code whose bytes, from the most significant down, are four characters.
constexpr int32_t FourCharCode(char a, char b, char c, char d) {
    return static_cast<int32_t>((uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) |
                                (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d)));
}

constexpr HostErr kNoErr = 0;
constexpr HostErr kStopErr = FourCharCode('S', 'T', 'O', 'P');           // user cancelled
constexpr HostErr kSuiteNotFoundErr = FourCharCode('S', '!', 'F', 'd');  // no such suite or version
constexpr HostErr kBadParameterErr = FourCharCode('P', 'A', 'R', 'M');
constexpr HostErr kOutOfMemoryErr = -108;

// Opaque host handles. The plug-in never looks inside them.
struct HostArtOpaque;
struct HostLayerOpaque;
struct HostGradientOpaque;
struct HostCustomColorOpaque;
struct HostPatternOpaque;
struct HostPluginOpaque;
struct HostFileFormatOpaque;
struct HostDialogOpaque;
struct HostItemOpaque;
struct HostNotifierOpaque;
using ArtHandle = HostArtOpaque*;
using LayerHandle = HostLayerOpaque*;
using GradientHandle = HostGradientOpaque*;
using CustomColorHandle = HostCustomColorOpaque*;
using PatternHandle = HostPatternOpaque*;
using PluginRef = HostPluginOpaque*;
using FileFormatHandle = HostFileFormatOpaque*;
using DialogRef = HostDialogOpaque*;
using ItemRef = HostItemOpaque*;
using NotifierRef = HostNotifierOpaque*;

// Art type codes, as the art-type query reports them (16-bit signed).
enum ArtType : int16_t {
    kUnknownArt = 0,
    kGroupArt = 1,
    kPathArt = 2,
    kCompoundPathArt = 3,
    kPlacedArt = 7,
    kRasterArt = 9,
    kPluginArt = 10,
    kMeshArt = 11,
    kTextFrameArt = 12,
    kSymbolArt = 13,
};

// User attribute bits of an art object.
constexpr int32_t kArtHidden = 4;

struct RealPoint {
    HostReal h, v;
};

struct RealRect {
    HostReal left, top, right, bottom;
};

// Maps (x, y) to (a*x + c*y + tx, b*x + d*y + ty).
struct RealMatrix {
    HostReal a, b, c, d, tx, ty;
};

// One anchor of a path with its two direction handles.
struct PathSegment {
    RealPoint p;    // anchor
    RealPoint in;   // handle towards the previous anchor
    RealPoint out;  // handle towards the next anchor
    HostBool corner;
};

enum ColorKind : int32_t {
    kGrayColor = 0,
    kFourColor = 1,  // CMYK
    kPatternColor = 2,
    kCustomColor = 3,
    kGradientColor = 4,
    kThreeColor = 5,  // RGB
    kNoneColor = 6,
};

struct GrayColorStyle {
    HostReal gray;  // 0 white, 1 black
};
struct FourColorStyle {
    HostReal cyan, magenta, yellow, black;
};
struct ThreeColorStyle {
    HostReal red, green, blue;
};
struct CustomColorStyle {
    CustomColorHandle color;
    HostReal tint;
};
struct PatternColorStyle {
    PatternHandle pattern;
};
struct GradientFill {
    GradientHandle gradient;
    RealPoint origin;
    HostReal angle;   // degrees
    HostReal length;  // vector length, or radius
    RealMatrix matrix;
    HostReal hiliteAngle;   // degrees
    HostReal hiliteLength;  // fraction of the radius
};

// A colour value: a kind word and a variant of sixteen 32-bit words, passed by value.
struct HostColor {
    int32_t kind;
    union {
        GrayColorStyle gray;
        FourColorStyle cmyk;
        CustomColorStyle custom;
        PatternColorStyle pattern;
        GradientFill gradient;
        ThreeColorStyle rgb;
        uint32_t words[16];
    } c;
};

enum GradientType : int16_t { kLinearGradient = 0, kRadialGradient = 1 };

struct GradientStop {
    HostReal midpoint;  // percent of the way to the next stop where the colours mix half and half
    HostReal position;  // percent, 0 to 100
    HostColor color;
};

enum CustomColorKind : int32_t { kCustomFourColor = 0, kCustomThreeColor = 1 };

struct CustomColorDefinition {
    int32_t kind;
    union {
        FourColorStyle cmyk;
        ThreeColorStyle rgb;
        uint32_t words[4];
    } c;
};

// Colour space codes of the colour conversion service.
constexpr int32_t kGraySpace = 1;
constexpr int32_t kRGBSpace = 2;
constexpr int32_t kCMYKSpace = 4;

constexpr int kMaxDashes = 6;

enum LineCap : int32_t { kButtCap = 0, kRoundCap = 1, kProjectingCap = 2 };
enum LineJoin : int32_t { kMiterJoin = 0, kRoundJoin = 1, kBevelJoin = 2 };

struct StrokeStyle {
    HostColor color;
    HostBool overprint;
    HostReal width;
    int16_t dashCount;  // 0 or less: solid
    HostReal dashOffset;
    HostReal dashes[kMaxDashes];
    int32_t cap;
    int32_t join;
    HostReal miterLimit;
};

struct FillStyle {
    HostColor color;
    HostBool overprint;
};

struct PathStyle {
    HostBool fillPaint;
    HostBool strokePaint;
    FillStyle fill;
    StrokeStyle stroke;
    HostBool clip;
    HostBool evenOdd;
};

struct BasicSuite;

// The record that comes with every message.
struct MessageRecord {
    int32_t checkWord;
    PluginRef self;
    void* savedGlobals;  // kept by the host while the module is unloaded
    const BasicSuite* basic;
};

// The option flag of a file-format message that asks for an export.
constexpr int32_t kFileFormatExport = 2;
constexpr size_t kFileFormatPathSize = 300;

struct FileFormatMessage {
    MessageRecord d;
    FileFormatHandle format;
    char path[kFileFormatPathSize];  // NUL-terminated, narrow
    int32_t option;
};

// Registration record of the file-format suite's register operation.
struct FileFormatRegistration {
    int32_t kind;                // not filled in by the plug-in
    const unsigned char* title;  // length-prefixed
    int32_t titleOrder;
    const char* extension;  // NUL-terminated
};

#if UINTPTR_MAX == 0xFFFFFFFFu
// The host is a 32-bit program: these layouts are fixed.
static_assert(sizeof(MessageRecord) == 16);
static_assert(offsetof(FileFormatMessage, format) == 16);
static_assert(offsetof(FileFormatMessage, path) == 20);
static_assert(offsetof(FileFormatMessage, option) == 320);
static_assert(sizeof(HostColor) == 68);
static_assert(sizeof(GradientFill) == 13 * 4);
static_assert(sizeof(GradientStop) == 19 * 4);
static_assert(sizeof(FileFormatRegistration) == 16);
#endif
