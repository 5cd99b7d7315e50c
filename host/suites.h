// The host's suites: named, versioned tables of operations. Every operation sits at the
// position the host gives it; positions the plug-in does not use are filled with
// placeholders so that the named ones land at their index.
#pragma once

#include "host/host_types.h"

using HostProc = void (*)();

// A run of N table positions the plug-in never calls.
template <int N>
struct UnusedOps {
    HostProc op[N];
};

#define QM_OP_AT(Suite, member, index) static_assert(offsetof(Suite, member) == (index) * sizeof(HostProc))

// Comes with every message.
struct BasicSuite {
    HostErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    HostErr (*ReleaseSuite)(const char* name, int32_t version);
    int32_t (*IsEqual)(const char* a, const char* b);  // non-zero when equal
    HostErr (*AllocateBlock)(size_t size, void** block);
    HostErr (*FreeBlock)(void* block);
};
QM_OP_AT(BasicSuite, FreeBlock, 4);

inline constexpr const char* kBlocksSuiteName = "SP Blocks Suite";
inline constexpr int32_t kBlocksSuiteVersion = 2;
struct BlocksSuite {
    HostErr (*AllocateBlock)(size_t size, const char* debugName, void** block);
    HostErr (*FreeBlock)(void* block);
};
QM_OP_AT(BlocksSuite, FreeBlock, 1);

inline constexpr const char* kFileFormatSuiteName = "AI File Format Suite";
inline constexpr int32_t kFileFormatSuiteVersion = 8;
struct FileFormatSuite {
    HostErr (*AddFileFormat)(PluginRef self, const char* name, const FileFormatRegistration* data, int32_t options,
                             FileFormatHandle* format);
};

inline constexpr const char* kUserSuiteName = "AI User Suite";
inline constexpr int32_t kUserSuiteVersion = 6;
struct UserSuite {
    UnusedOps<4> unused0;
    HostErr (*NumberToText)(HostReal value, int16_t decimalPlaces, unsigned char* text);  // length-prefixed out
    HostErr (*TextToNumber)(const unsigned char* text, HostReal* value);                // length-prefixed in
};
QM_OP_AT(UserSuite, NumberToText, 4);
QM_OP_AT(UserSuite, TextToNumber, 5);

inline constexpr const char* kLayerSuiteName = "AI Layer Suite";
inline constexpr int32_t kLayerSuiteVersion = 9;
struct LayerSuite {
    HostErr (*CountLayers)(int32_t* count);
    HostErr (*GetNthLayer)(int32_t n, LayerHandle* layer);
};
QM_OP_AT(LayerSuite, GetNthLayer, 1);

inline constexpr const char* kArtSuiteName = "AI Art Suite";
inline constexpr int32_t kArtSuiteVersion = 10;
struct ArtSuite {
    UnusedOps<4> unused0;
    HostErr (*GetFirstArtOfLayer)(LayerHandle layer, ArtHandle* art);
    UnusedOps<1> unused5;
    HostErr (*GetArtType)(ArtHandle art, int16_t* type);
    HostErr (*GetArtUserAttr)(ArtHandle art, int32_t mask, int32_t* attributes);
    UnusedOps<2> unused8;
    HostErr (*GetArtFirstChild)(ArtHandle art, ArtHandle* child);
    HostErr (*GetArtSibling)(ArtHandle art, ArtHandle* sibling);
    UnusedOps<1> unused12;
    HostErr (*GetArtBounds)(ArtHandle art, RealRect* bounds);
    UnusedOps<20> unused14;
    HostErr (*GetArtName)(ArtHandle art, char* buffer, int32_t bufferSize, HostBool* isDefaultName);
};
QM_OP_AT(ArtSuite, GetFirstArtOfLayer, 4);
QM_OP_AT(ArtSuite, GetArtType, 6);
QM_OP_AT(ArtSuite, GetArtUserAttr, 7);
QM_OP_AT(ArtSuite, GetArtFirstChild, 10);
QM_OP_AT(ArtSuite, GetArtSibling, 11);
QM_OP_AT(ArtSuite, GetArtBounds, 13);
QM_OP_AT(ArtSuite, GetArtName, 34);

inline constexpr const char* kPathSuiteName = "AI Path Suite";
inline constexpr int32_t kPathSuiteVersion = 5;
struct PathSuite {
    HostErr (*GetPathSegmentCount)(ArtHandle path, int16_t* count);
    UnusedOps<1> unused1;
    HostErr (*GetPathSegments)(ArtHandle path, int16_t first, int16_t count, PathSegment* segments);
    UnusedOps<3> unused3;
    HostErr (*GetPathClosed)(ArtHandle path, HostBool* closed);
    UnusedOps<1> unused7;
    HostErr (*GetPathIsGuide)(ArtHandle path, HostBool* guide);
};
QM_OP_AT(PathSuite, GetPathSegments, 2);
QM_OP_AT(PathSuite, GetPathClosed, 6);
QM_OP_AT(PathSuite, GetPathIsGuide, 8);

inline constexpr const char* kPathStyleSuiteName = "AI Path Style Suite";
inline constexpr int32_t kPathStyleSuiteVersion = 5;
struct PathStyleSuite {
    HostErr (*GetPathStyle)(ArtHandle art, PathStyle* style);
};

inline constexpr const char* kRealMathSuiteName = "AI Real Math Suite";
inline constexpr int32_t kRealMathSuiteVersion = 1;
struct RealMathSuite {
    UnusedOps<36> unused0;
    HostErr (*IdentityMatrix)(RealMatrix* m);
    UnusedOps<6> unused37;
    HostErr (*ConcatTranslate)(RealMatrix* m, HostReal dx, HostReal dy);  // applied after m
    HostErr (*ConcatScale)(RealMatrix* m, HostReal sx, HostReal sy);      // applied after m
    UnusedOps<1> unused45;
    HostErr (*ConcatMatrix)(const RealMatrix* first, const RealMatrix* second, RealMatrix* result);
    UnusedOps<1> unused47;
    HostErr (*TransformPoint)(const RealMatrix* m, const RealPoint* in, RealPoint* out);
};
QM_OP_AT(RealMathSuite, IdentityMatrix, 36);
QM_OP_AT(RealMathSuite, ConcatTranslate, 43);
QM_OP_AT(RealMathSuite, ConcatScale, 44);
QM_OP_AT(RealMathSuite, ConcatMatrix, 46);
QM_OP_AT(RealMathSuite, TransformPoint, 48);

inline constexpr const char* kGradientSuiteName = "AI Gradient Suite";
inline constexpr int32_t kGradientSuiteVersion = 5;
struct GradientSuite {
    UnusedOps<7> unused0;
    HostErr (*GetGradientType)(GradientHandle gradient, int16_t* type);
    UnusedOps<1> unused8;
    HostErr (*GetGradientStopCount)(GradientHandle gradient, int16_t* count);
    HostErr (*GetNthGradientStop)(GradientHandle gradient, int16_t n, GradientStop* stop);
};
QM_OP_AT(GradientSuite, GetGradientType, 7);
QM_OP_AT(GradientSuite, GetGradientStopCount, 9);
QM_OP_AT(GradientSuite, GetNthGradientStop, 10);

inline constexpr const char* kCustomColorSuiteName = "AI Custom Color Suite";
inline constexpr int32_t kCustomColorSuiteVersion = 5;
struct CustomColorSuite {
    UnusedOps<2> unused0;
    HostErr (*GetCustomColor)(CustomColorHandle color, CustomColorDefinition* definition);
};
QM_OP_AT(CustomColorSuite, GetCustomColor, 2);

inline constexpr const char* kColorConversionSuiteName = "AI Color Conversion Suite";
inline constexpr int32_t kColorConversionSuiteVersion = 6;
struct ColorConversionSuite {
    HostErr (*ConvertSamples)(int32_t sourceSpace, const HostReal* source, int32_t destinationSpace,
                              HostReal* destination, HostBool* inGamut);
};

inline constexpr const char* kBlendStyleSuiteName = "AI Blend Style Suite";
inline constexpr int32_t kBlendStyleSuiteVersion = 3;
struct BlendStyleSuite {
    UnusedOps<2> unused0;
    HostReal (*GetOpacity)(ArtHandle art);
};
QM_OP_AT(BlendStyleSuite, GetOpacity, 2);

inline constexpr const char* kPluginGroupSuiteName = "AI Plugin Group Suite";
inline constexpr int32_t kPluginGroupSuiteVersion = 3;
struct PluginGroupSuite {
    UnusedOps<9> unused0;
    HostErr (*GetPluginArtName)(ArtHandle art, const char** name);
    UnusedOps<7> unused10;
    HostErr (*GetPluginArtResultArt)(ArtHandle art, ArtHandle* result);
};
QM_OP_AT(PluginGroupSuite, GetPluginArtName, 9);
QM_OP_AT(PluginGroupSuite, GetPluginArtResultArt, 17);

// Dialog callbacks.
using DialogInitProc = HostErr (*)(DialogRef dialog);
using ItemNotifyProc = void (*)(ItemRef item, NotifierRef notifier);

inline constexpr const char* kADMBasicSuiteName = "ADM Basic Suite";
inline constexpr int32_t kADMBasicSuiteVersion = 2;
struct ADMBasicSuite {
    // String n of a string list; fails when the list or the string does not exist.
    HostErr (*GetIndexString)(PluginRef self, int32_t listId, int32_t n, char* buffer, int32_t capacity);
    UnusedOps<2> unused1;
    void (*MessageAlert)(const char* text);
};
QM_OP_AT(ADMBasicSuite, MessageAlert, 3);

inline constexpr const char* kADMDialogSuiteName = "ADM Dialog Suite";
inline constexpr int32_t kADMDialogSuiteVersion = 5;
struct ADMDialogSuite {
    UnusedOps<1> unused0;
    // Runs a modal dialog; answers the id of the item that dismissed it.
    int32_t (*Modal)(PluginRef self, const char* name, int32_t resourceId, int32_t style, DialogInitProc init,
                     void* userData, int32_t options);
    UnusedOps<22> unused2;
    void* (*GetUserData)(DialogRef dialog);
    UnusedOps<44> unused25;
    ItemRef (*GetItem)(DialogRef dialog, int32_t itemId);
};
QM_OP_AT(ADMDialogSuite, Modal, 1);
QM_OP_AT(ADMDialogSuite, GetUserData, 24);
QM_OP_AT(ADMDialogSuite, GetItem, 69);

inline constexpr const char* kADMItemSuiteName = "ADM Item Suite";
inline constexpr int32_t kADMItemSuiteVersion = 7;
struct ADMItemSuite {
    UnusedOps<10> unused0;
    void (*SetNotifyProc)(ItemRef item, ItemNotifyProc proc);
    UnusedOps<1> unused11;
    void (*DefaultNotify)(ItemRef item, NotifierRef notifier);
    UnusedOps<62> unused13;
    void (*SetText)(ItemRef item, const char* text);
};
QM_OP_AT(ADMItemSuite, SetNotifyProc, 10);
QM_OP_AT(ADMItemSuite, DefaultNotify, 12);
QM_OP_AT(ADMItemSuite, SetText, 75);

#undef QM_OP_AT
