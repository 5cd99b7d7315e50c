#include "shell/suite_table.h"

#include <cstdio>

const BlocksSuite* sBlocks;
const FileFormatSuite* sFileFormat;
const UserSuite* sUser;
const ArtSuite* sArt;
const PathSuite* sPath;
const PathStyleSuite* sPathStyle;
const RealMathSuite* sRealMath;
const GradientSuite* sGradient;
const CustomColorSuite* sCustomColor;
const ColorConversionSuite* sColorConversion;
const BlendStyleSuite* sBlendStyle;
const PluginGroupSuite* sPluginGroup;
const LayerSuite* sLayer;
const ADMBasicSuite* sADMBasic;
const ADMDialogSuite* sADMDialog;
const ADMItemSuite* sADMItem;

int16_t sSuiteAcquisitionCount;

namespace {

// Suites that are held but never called, among them the text-engine suites.
const void* sAccess;
const void* sMdMemory;
const void* sArtSet;
const void* sDocument;
const void* sTextFrame;
const void* sMatchingArt;
const void* sMdMemory2;
const void* sHardSoft;
const void* sMask;
const void* sTextEngine[74];

// Slot of each row of kSuiteTableIds, in the same order.
const void** SlotOf(int row) {
    // clang-format off
    static const void** const kSlots[25] = {
        reinterpret_cast<const void**>(&sBlocks), &sAccess, &sMdMemory,
        reinterpret_cast<const void**>(&sUser), &sArtSet,
        reinterpret_cast<const void**>(&sFileFormat), &sDocument, &sTextFrame,
        reinterpret_cast<const void**>(&sArt), reinterpret_cast<const void**>(&sPath), &sMatchingArt, &sMdMemory2,
        reinterpret_cast<const void**>(&sPathStyle), &sHardSoft, reinterpret_cast<const void**>(&sRealMath),
        reinterpret_cast<const void**>(&sGradient), &sMask, reinterpret_cast<const void**>(&sPluginGroup),
        reinterpret_cast<const void**>(&sCustomColor), reinterpret_cast<const void**>(&sColorConversion),
        reinterpret_cast<const void**>(&sBlendStyle), reinterpret_cast<const void**>(&sLayer),
        reinterpret_cast<const void**>(&sADMBasic), reinterpret_cast<const void**>(&sADMDialog),
        reinterpret_cast<const void**>(&sADMItem),
    };
    // clang-format on
    return row < 25 ? kSlots[row] : &sTextEngine[row - 25];
}

static_assert(kSuiteTableRows == 25 + 74);

}  // namespace

HostErr AcquireSuiteTable(const BasicSuite* basic) {
    HostErr result = kNoErr;
    if (sSuiteAcquisitionCount == 0) {
        // Nothing is held now: a release that failed last time leaves pointers in the table
        // that must be neither used (the alert suite) nor given back again.
        for (int row = 0; row < kSuiteTableRows; ++row) *SlotOf(row) = nullptr;
        HostErr firstFailure = kNoErr;
        for (int row = 0; row < kSuiteTableRows; ++row) {
            const SuiteId& id = kSuiteTableIds[row];
            result = basic->AcquireSuite(id.name, id.version, SlotOf(row));
            if (result == kNoErr) continue;
            *SlotOf(row) = nullptr;
            if (sADMBasic != nullptr) {
                char text[256];
                std::snprintf(text, sizeof text, "Error: %d, suite: %s, version: %d!", static_cast<int>(result),
                              id.name, static_cast<int>(id.version));
                sADMBasic->MessageAlert(text);
                break;
            }
            // Nothing can be shown yet; keep going, but the message must not run without it.
            if (firstFailure == kNoErr) firstFailure = result;
        }
        if (result == kNoErr) result = firstFailure;
    }
    ++sSuiteAcquisitionCount;
    return result;
}

HostErr ReleaseSuiteTable(const BasicSuite* basic) {
    HostErr result = kNoErr;
    if (sSuiteAcquisitionCount == 1) {
        for (int row = 0; row < kSuiteTableRows; ++row) {
            const void** slot = SlotOf(row);
            // A suite that was never granted is not given back.
            if (*slot == nullptr) continue;
            const SuiteId& id = kSuiteTableIds[row];
            result = basic->ReleaseSuite(id.name, id.version);
            if (result != kNoErr) break;
            *slot = nullptr;
        }
    }
    --sSuiteAcquisitionCount;
    return result;
}
