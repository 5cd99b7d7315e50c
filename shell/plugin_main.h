// The module's one entry point: the host sends every message through it.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define QUILLMARK_EXPORT __declspec(dllexport)
#else
#define QUILLMARK_EXPORT __attribute__((visibility("default")))
#endif

// `message` is the message record, followed by the caller's own fields. Answers 0 for
// success or an error code; nothing is thrown out of it.
extern "C" QUILLMARK_EXPORT int32_t PluginMain(const char* caller, const char* selector, void* message);
