// The art list: every layer's art tree flattened into one fixed-capacity table, one row per
// art object in the order met going down the tree (parents before children, siblings
// frontmost first).
#pragma once

#include "host/host_types.h"

constexpr int32_t ArtListMaxEntries = 16192;

// Bit of `pluginFlags`: the row lies inside the result art of a Pathfinder plug-in group.
constexpr uint8_t kPathfinder = 1;

struct ArtList {
    ArtHandle art[ArtListMaxEntries];
    int16_t depth[ArtListMaxEntries];
    HostReal opacity[ArtListMaxEntries];  // own opacity times the parent row's
    int32_t visible[ArtListMaxEntries];   // own hidden attribute clear
    uint8_t pluginFlags[ArtListMaxEntries];
    char* name[ArtListMaxEntries];  // full name: parent's full name, "/", own name
    int32_t count;
    // Set when the list filled up while the document still held art objects to record.
    bool overflowed;
    // Receives each object's own name while its full name is made. One buffer serves every
    // level of the recursion, which is as deep as the art tree.
    char nameBuffer[1024];
};

// Creates an empty list, from the plug-in's memory; null if there is none.
ArtList* NewArtList();
// Releases the list and the names of its rows.
void DeleteArtList(ArtList* list);

// Records the chain of objects that starts with the object in art[count] and its descendants
// (groups and the result art of plug-in groups are descended into), at depth `level`.
HostErr BuildArtList(ArtList* list, int16_t level, const char* parentName, HostReal opacityMultiplier,
                     uint8_t pluginFlagsValue);
