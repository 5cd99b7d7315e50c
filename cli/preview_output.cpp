#include "cli/preview_output.h"

#include <cmath>
#include <iostream>
#include <memory>

#include "cli/temporary_output.h"
#include "document/text_file.h"
#include "preview/preview.h"
#include "preview/values.h"

namespace cli {
namespace {

uint32_t ParseBackground(const std::string& text) {
    preview::Color color;
    try {
        color = preview::ParseColor(text);
    } catch (const preview::ValueError& error) {
        throw PreviewError(std::string("invalid background: ") + error.what());
    }
    auto byte = [](double channel) { return uint32_t(std::lround(std::fmin(1.0, std::fmax(0.0, channel)) * 255)); };
    return byte(color.a) << 24 | byte(color.r) << 16 | byte(color.g) << 8 | byte(color.b);
}

}  // namespace

void WritePreview(const std::string& xamlPath, const std::string& pngPath, const PreviewSize& size) {
    std::unique_ptr<document::TextFile> file;
    try {
        file = std::make_unique<document::TextFile>(xamlPath);
    } catch (const std::exception& error) {
        throw PreviewError("cannot read " + xamlPath + ": " + error.what());
    }
    try {
        const preview::Scene scene = preview::ReadXaml(file->Text(), xamlPath);
        file.reset();
        preview::DrawOptions options;
        options.width = size.width;
        options.scale = size.scale;
        options.background = size.background;
        const preview::Picture picture = preview::Draw(scene, options);
        TemporaryOutput png(pngPath);
        picture.WritePng(png.Path().string());
        png.Commit();
    } catch (const preview::XamlError& error) {
        throw PreviewError(error.what());
    } catch (const preview::PictureError& error) {
        throw PreviewError(xamlPath + ": " + error.what());
    } catch (const OutputError& error) {
        throw PreviewError("cannot write " + pngPath + ": " + error.what());
    }
}

int RunPreview(const CommandLine& line) {
    try {
        PreviewSize size;
        size.width = line.previewWidth;
        size.scale = line.previewScale;
        if (line.background) size.background = ParseBackground(*line.background);
        WritePreview(line.documents[0], line.output, size);
    } catch (const PreviewError& error) {
        std::cerr << "quillmark: " << error.what() << "\n";
        return 2;
    }
    return 0;
}

}  // namespace cli
