#include "shell/records.h"

#include <cstring>

const BasicSuite* sBasicSuite;
PluginGlobals* sGlobals;

void* HostAlloc(size_t size) {
    if (sBasicSuite == nullptr) return nullptr;
    void* block = nullptr;
    if (sBasicSuite->AllocateBlock(size, &block) != kNoErr) return nullptr;
    return block;
}

void HostFree(void* block) {
    if (sBasicSuite == nullptr) return;
    sBasicSuite->FreeBlock(block);
}

char* ToLengthPrefixed(char* text) {
    const size_t length = std::strlen(text);
    if (length >= 256) return nullptr;
    std::memmove(text + 1, text, length);
    text[0] = static_cast<char>(static_cast<unsigned char>(length));
    return text;
}

char* FromLengthPrefixed(char* text) {
    const size_t length = static_cast<unsigned char>(text[0]);
    std::memmove(text, text + 1, length);
    text[length] = '\0';
    return text;
}
