#include "xaml/art_list.h"

#include <cstring>
#include <new>

#include "shell/suite_table.h"

namespace {

// Joins the parent's full name and the object's own name into a block of its own.
char* FullName(const char* parentName, const char* ownName) {
    const size_t ownLength = std::strlen(ownName);
    const size_t parentLength = std::strlen(parentName);
    if (parentLength == 0) {
        char* name = new (std::nothrow) char[ownLength + 1];
        if (name != nullptr) std::memcpy(name, ownName, ownLength + 1);
        return name;
    }
    char* name = new (std::nothrow) char[parentLength + 1 + ownLength + 1];
    if (name == nullptr) return nullptr;
    std::memcpy(name, parentName, parentLength);
    name[parentLength] = '/';
    std::memcpy(name + parentLength + 1, ownName, ownLength + 1);
    return name;
}

// The list is full but a probe would have found `art`: note whether an object was lost.
void NoteLeftOut(ArtList* list, ArtHandle art) {
    int16_t type = kUnknownArt;
    if (art != nullptr) sArt->GetArtType(art, &type);
    if (type != kUnknownArt) list->overflowed = true;
}

}  // namespace

ArtList* NewArtList() {
    ArtList* list = new (std::nothrow) ArtList;
    if (list == nullptr) return nullptr;
    list->count = 0;
    list->overflowed = false;
    std::memset(list->name, 0, sizeof list->name);
    return list;
}

void DeleteArtList(ArtList* list) {
    if (list == nullptr) return;
    for (char* name : list->name) delete[] name;
    delete list;
}

HostErr BuildArtList(ArtList* list, int16_t level, const char* parentName, HostReal opacityMultiplier,
                     uint8_t pluginFlagsValue) {
    int32_t& count = list->count;
    if (count >= ArtListMaxEntries) return kNoErr;

    // One type value for the whole chain: a failed query leaves the previous object's type.
    int16_t type = kUnknownArt;
    for (;;) {
        const int32_t row = count;
        const ArtHandle art = list->art[row];
        sArt->GetArtType(art, &type);
        if (type == kUnknownArt) return kNoErr;

        list->pluginFlags[row] = pluginFlagsValue;

        char* ownName = list->nameBuffer;
        ownName[0] = '\0';
        HostBool isDefaultName = 0;
        sArt->GetArtName(art, ownName, static_cast<int32_t>(sizeof list->nameBuffer), &isDefaultName);
        ownName[sizeof list->nameBuffer - 1] = '\0';
        delete[] list->name[row];
        list->name[row] = FullName(parentName, ownName);

        list->depth[row] = level;
        list->opacity[row] = sBlendStyle->GetOpacity(art) * opacityMultiplier;

        int32_t attributes = 0;
        sArt->GetArtUserAttr(art, kArtHidden, &attributes);
        list->visible[row] = (attributes & kArtHidden) == 0 ? 1 : 0;

        if (type == kGroupArt || type == kPluginArt) {
            ArtHandle container = art;
            uint8_t childFlags = pluginFlagsValue;
            int16_t childLevel = static_cast<int16_t>(level + 1);
            if (type == kPluginArt) {
                const char* pluginName = nullptr;
                sPluginGroup->GetPluginArtName(art, &pluginName);
                if (pluginName != nullptr && std::strcmp(pluginName, "Pathfinder Suite") == 0) {
                    childFlags = static_cast<uint8_t>(childFlags | kPathfinder);
                }
                container = nullptr;
                sPluginGroup->GetPluginArtResultArt(art, &container);
                childLevel = level;  // the result's objects stand in the plug-in art's place
            }
            count = row + 1;
            if (count < ArtListMaxEntries) {
                // A failed query must not leave the slot's earlier handle to be walked.
                list->art[count] = nullptr;
                sArt->GetArtFirstChild(container, &list->art[count]);
                BuildArtList(list, childLevel, list->name[row] != nullptr ? list->name[row] : "",
                             list->opacity[row], childFlags);
            } else {
                ArtHandle child = nullptr;
                sArt->GetArtFirstChild(container, &child);
                NoteLeftOut(list, child);
            }
            count = count - 1;
        }

        count = count + 1;
        if (count >= ArtListMaxEntries) {
            ArtHandle sibling = nullptr;
            sArt->GetArtSibling(list->art[row], &sibling);
            NoteLeftOut(list, sibling);
            return kNoErr;
        }
        list->art[count] = nullptr;
        sArt->GetArtSibling(list->art[row], &list->art[count]);
        if (list->art[count] == nullptr) return kNoErr;
    }
}
