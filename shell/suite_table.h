// The suite table: one slot per suite the plug-in holds while it handles a host message.
#pragma once

#include "host/suite_catalog.h"
#include "host/suites.h"

extern const BlocksSuite* sBlocks;
extern const FileFormatSuite* sFileFormat;
extern const UserSuite* sUser;
extern const ArtSuite* sArt;
extern const PathSuite* sPath;
extern const PathStyleSuite* sPathStyle;
extern const RealMathSuite* sRealMath;
extern const GradientSuite* sGradient;
extern const CustomColorSuite* sCustomColor;
extern const ColorConversionSuite* sColorConversion;
extern const BlendStyleSuite* sBlendStyle;
extern const PluginGroupSuite* sPluginGroup;
extern const LayerSuite* sLayer;
extern const ADMBasicSuite* sADMBasic;
extern const ADMDialogSuite* sADMDialog;
extern const ADMItemSuite* sADMItem;

// Nesting depth of host calls that hold the table; only the outermost acquires and releases.
extern int16_t sSuiteAcquisitionCount;

// Acquires every suite of the table when no call holds it yet. A suite that cannot be had
// makes the answer non-zero, and the caller must not do the message's work.
HostErr AcquireSuiteTable(const BasicSuite* basic);
// Releases the table when the outermost call ends.
HostErr ReleaseSuiteTable(const BasicSuite* basic);
