// The file an export writes. An ordinary file is written beside its final place under a
// temporary name and moved over the target only once everything was written, so a failed
// export leaves no partial file and an earlier file of that name as it was. Anything else
// (a device, a pipe) is written directly.
#pragma once

#include <cstdio>

constexpr int kOutputPathCapacity = 4096;

struct OutputFile {
    FILE* file;
    bool replace;                            // written under tempPath, moved to finalPath
    char finalPath[kOutputPathCapacity];     // the target, with symbolic links resolved
    char tempPath[kOutputPathCapacity + 32];
};

// Opens the output for text writing (mode "w"); false when it cannot be created.
bool OpenOutputFile(OutputFile* output, const char* path);
// Closes the output. With `keep`, moves the temporary file into place and answers whether
// closing and moving succeeded; without it, removes the temporary file.
bool CloseOutputFile(OutputFile* output, bool keep);
