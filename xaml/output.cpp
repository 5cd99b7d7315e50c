#include "xaml/output.h"

void InitOutput(XamlOutput* out, FILE* file) {
    out->file = file;
    out->failed = false;
    out->used = 0;
}

void MakeRoom(XamlOutput* out, size_t needed) {
    if (kOutputBufferSize - out->used >= needed || out->used == 0) return;
    if (std::fwrite(out->buffer, 1, out->used, out->file) != out->used) out->failed = true;
    out->used = 0;
}

bool FlushOutput(XamlOutput* out) {
    if (out->used > 0 && std::fwrite(out->buffer, 1, out->used, out->file) != out->used) out->failed = true;
    out->used = 0;
    if (std::fflush(out->file) != 0) out->failed = true;
    return !out->failed;
}
