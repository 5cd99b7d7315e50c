// Fuzz target: a XAML file, read by the previewer and drawn. The previewer must draw the file
// or refuse it with a XamlError that names the file and the line (or a PictureError for a
// picture too large); nothing else may escape. The input has no header: the previewer does
// not use the host.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "preview/preview.h"

namespace {

constexpr char kFileName[] = "fuzz.xaml";

// Small pictures: every element is still read, transformed, stroked and filled, at a fraction
// of the cost of the file's own size.
constexpr double kPictureWidth = 48;

[[noreturn]] void Fail(const char* what, const char* message) {
    std::fprintf(stderr, "%s: %s\n", what, message);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const preview::Scene scene = preview::ReadXaml(bytes, kFileName);
        preview::DrawOptions options;
        options.width = kPictureWidth;
        preview::Draw(scene, options);
    } catch (const preview::XamlError& error) {
        const std::string message = error.what();
        if (message.rfind(std::string(kFileName) + ":", 0) != 0 || error.Line() < 0) {
            Fail("the previewer's message does not name the file and the line", error.what());
        }
    } catch (const preview::PictureError&) {
        // A scene whose picture would be too large: refused, cleanly.
    }
    return 0;
}
