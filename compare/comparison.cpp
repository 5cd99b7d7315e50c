#include "compare/comparison.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "compare/svg_picture.h"
#include "document/svg/svg_reader.h"

namespace compare {
namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CompareInputError(path + ": cannot be opened");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw CompareInputError(path + ": cannot be read");
    return bytes;
}

bool Near(double a, double b) { return std::abs(a - b) <= 1e-4 * std::max({1.0, std::abs(a), std::abs(b)}); }

}  // namespace

bool Comparison::SizesAgree() const { return Near(xamlWidth, frame.Width()) && Near(xamlHeight, frame.Height()); }

Comparison CompareDrawings(const std::string& svgPath, const std::string& xamlPath, const CompareOptions& options) {
    const std::string svgBytes = ReadBytes(svgPath);
    document::svg::ReadResult read;
    try {
        read = document::svg::ReadSvg(svgBytes, svgPath);
    } catch (const document::svg::SvgError& error) {
        throw CompareInputError(error.what());  // names the file already
    }
    Comparison comparison;
    for (const auto& loss : read.losses.Entries()) comparison.losses.push_back(loss.kind);
    const std::optional<DrawingFrame> frame = ExportFrame(read.document);
    const std::optional<PictureSize> size =
        frame ? FitPicture(frame->Width(), frame->Height(), options.size) : std::nullopt;
    if (!size) throw CompareInputError(svgPath + ": draws nothing the export could frame (its bounds have no area)");
    comparison.frame = *frame;

    const std::string xamlBytes = ReadBytes(xamlPath);
    preview::Scene scene;
    try {
        scene = preview::ReadXaml(xamlBytes, xamlPath);
    } catch (const preview::XamlError& error) {
        throw CompareInputError(error.what());
    }
    comparison.xamlWidth = scene.Width();
    comparison.xamlHeight = scene.Height();
    preview::DrawOptions drawing;
    drawing.scale = size->scale;  // the previewer sizes the picture from the XAML's own size
    try {
        comparison.xamlPicture = preview::Draw(scene, drawing);
    } catch (const preview::PictureError& error) {
        throw CompareInputError(xamlPath + ": " + error.what());
    }

    const document::svg::Matrix toPicture = ViewportToPicture(read.viewportToDocument, *frame, size->scale);
    try {
        comparison.svgPicture = DrawSvg(svgBytes, {read.viewportWidth, read.viewportHeight}, toPicture,
                                        comparison.xamlPicture->Width(), comparison.xamlPicture->Height());
    } catch (const SvgPictureError& error) {
        throw CompareInputError(svgPath + ": " + error.what());
    }
    comparison.difference = ComparePictures(comparison.svgPicture.get(), comparison.xamlPicture->Surface(), options.tolerance);
    return comparison;
}

}  // namespace compare
