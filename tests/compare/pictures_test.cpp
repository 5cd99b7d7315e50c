// The comparison's parts on their own: the export's frame of a drawing, the SVG drawn in that
// frame by librsvg, the pixel difference and the side-by-side picture.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "compare/difference.h"
#include "compare/frame.h"
#include "compare/side_by_side.h"
#include "compare/surface.h"
#include "compare/svg_picture.h"
#include "document/svg/svg_reader.h"

namespace compare {
namespace {

using document::svg::Matrix;
using document::svg::Point;

// Two black squares in a 200 x 100 viewport: the first at (20, 10)-(70, 40), the second at
// (100, 60)-(110, 70). Their bounds in the viewport are (20, 10)-(110, 70).
const char kTwoSquares[] = R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100">
  <rect x="20" y="10" width="50" height="30"/>
  <g><rect x="100" y="60" width="10" height="10" fill="#0000ff"/></g>
</svg>)x";

// The same drawing in a view box of a quarter of the size, scaled up by 4.
const char kTwoSquaresInViewBox[] = R"x(<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100" viewBox="0 0 50 25">
  <rect x="5" y="2.5" width="12.5" height="7.5"/>
  <g><rect x="25" y="15" width="2.5" height="2.5" fill="#0000ff"/></g>
</svg>)x";

struct Drawn {
    document::svg::ReadResult read;
    DrawingFrame frame;
    PictureSize size;
    SurfacePtr picture;
};

Drawn DrawInFrame(const std::string& svg, int longerSide) {
    Drawn drawn;
    drawn.read = document::svg::ReadSvg(svg, "test.svg");
    drawn.frame = ExportFrame(drawn.read.document).value();
    drawn.size = FitPicture(drawn.frame.Width(), drawn.frame.Height(), longerSide).value();
    drawn.picture = DrawSvg(svg, {drawn.read.viewportWidth, drawn.read.viewportHeight},
                            ViewportToPicture(drawn.read.viewportToDocument, drawn.frame, drawn.size.scale),
                            drawn.size.width, drawn.size.height);
    return drawn;
}

SurfacePtr Filled(int width, int height, double r, double g, double b, double a) {
    SurfacePtr surface = NewPicture(width, height);
    cairo_t* context = cairo_create(surface.get());
    cairo_set_source_rgba(context, r, g, b, a);
    cairo_paint(context);
    cairo_destroy(context);
    return surface;
}

void FillRect(cairo_surface_t* surface, int x, int y, int width, int height, double r, double g, double b) {
    cairo_t* context = cairo_create(surface);
    cairo_set_source_rgb(context, r, g, b);
    cairo_rectangle(context, x, y, width, height);
    cairo_fill(context);
    cairo_destroy(context);
}

TEST(Frame, IsTheDrawingsBoundsInTheDocumentWithTheViewportFlipped) {
    const document::svg::ReadResult read = document::svg::ReadSvg(kTwoSquares, "test.svg");
    const DrawingFrame frame = ExportFrame(read.document).value();
    EXPECT_EQ(frame.left, 20);
    EXPECT_EQ(frame.right, 110);
    EXPECT_EQ(frame.top, 90);     // 100 - 10
    EXPECT_EQ(frame.bottom, 30);  // 100 - 70
    EXPECT_EQ(frame.Width(), 90);
    EXPECT_EQ(frame.Height(), 60);

    // The bounds' top-left corner in the viewport lands on the picture's origin, the
    // bottom-right on the picture's far corner.
    const Matrix toPicture = ViewportToPicture(read.viewportToDocument, frame, 2);
    const Point origin = toPicture.Apply({20, 10}), corner = toPicture.Apply({110, 70});
    EXPECT_DOUBLE_EQ(origin.x, 0);
    EXPECT_DOUBLE_EQ(origin.y, 0);
    EXPECT_DOUBLE_EQ(corner.x, 180);
    EXPECT_DOUBLE_EQ(corner.y, 120);
}

TEST(Frame, WidensOverTheLayersAndPassesOverBoundsThatDoNotCompare) {
    auto layerWithBounds = [](RealRect bounds) {
        auto layer = std::make_unique<document::Art>();
        layer->bounds = bounds;
        return layer;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    document::Document document;
    document.layers.push_back(layerWithBounds({10, 300, 110, 0}));
    document.layers.push_back(layerWithBounds({-20, 400, 50, 100}));
    document.layers.push_back(layerWithBounds({nan, nan, nan, nan}));
    // An empty layer counts for nothing, though its bounds would widen the frame to the origin.
    auto emptyLayer = std::make_unique<document::Art>();
    emptyLayer->bounds = RealRect{-500, 500, -400, 400};
    document.layers.insert(document.layers.begin() + 1, std::move(emptyLayer));
    for (auto& layer : document.layers) {
        if (layer->bounds && layer->bounds->left != -500) layer->Add(std::make_unique<document::Art>())->type = kPathArt;
    }
    const DrawingFrame frame = ExportFrame(document).value();
    EXPECT_EQ(frame.left, -20);
    EXPECT_EQ(frame.top, 400);
    EXPECT_EQ(frame.right, 110);
    EXPECT_EQ(frame.bottom, 0);
    EXPECT_FALSE(ExportFrame(document::Document{}).has_value());
    document::Document onlyEmpty;
    onlyEmpty.layers.push_back(std::make_unique<document::Art>());
    EXPECT_EQ(ExportFrame(onlyEmpty)->Width(), 0);
}

TEST(Frame, PictureSizeFitsTheLongerSide) {
    const PictureSize wide = FitPicture(90, 60, 180).value();
    EXPECT_EQ(wide.width, 180);
    EXPECT_EQ(wide.height, 120);
    EXPECT_DOUBLE_EQ(wide.scale, 2);
    const PictureSize tall = FitPicture(10, 300, 256).value();
    EXPECT_EQ(tall.width, 9);  // 8.53 rounded
    EXPECT_EQ(tall.height, 256);
    EXPECT_EQ(FitPicture(1, 1000, 100)->width, 1);  // never less than a pixel
    EXPECT_FALSE(FitPicture(0, 10, 256).has_value());
    EXPECT_FALSE(FitPicture(10, std::numeric_limits<double>::quiet_NaN(), 256).has_value());
    EXPECT_FALSE(FitPicture(std::numeric_limits<double>::infinity(), 10, 256).has_value());
}

TEST(SvgPicture, DrawsTheViewportInTheExportsFrame) {
    for (const char* svg : {kTwoSquares, kTwoSquaresInViewBox}) {
        const Drawn drawn = DrawInFrame(svg, 180);
        ASSERT_EQ(cairo_image_surface_get_width(drawn.picture.get()), 180);
        ASSERT_EQ(cairo_image_surface_get_height(drawn.picture.get()), 120);
        // The first square fills the frame's top-left 100 x 60 pixels, the second the
        // pixels (160, 100)-(180, 120); nothing elsewhere.
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 0, 0), 0xFF000000u) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 99, 59), 0xFF000000u) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 100, 30), 0u) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 30, 60), 0u) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 160, 100), 0xFF0000FFu) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 179, 119), 0xFF0000FFu) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 159, 110), 0u) << svg;
        EXPECT_EQ(PremultipliedAt(drawn.picture.get(), 170, 99), 0u) << svg;
    }
}

TEST(SvgPicture, RefusesWhatIsNotSvgAndPicturesOfNoSize) {
    EXPECT_THROW(DrawSvg("<svg", {10, 10}, Matrix{}, 10, 10), SvgPictureError);
    EXPECT_THROW(DrawSvg("not XML at all", {10, 10}, Matrix{}, 10, 10), SvgPictureError);
    EXPECT_THROW(DrawSvg(kTwoSquares, {200, 100}, Matrix{}, 0, 10), PictureFailure);
}

TEST(Difference, ComparesOverWhiteAndByAlphaWithinTheTolerance) {
    const uint32_t black = 0xFF000000, white = 0xFFFFFFFF, transparent = 0;
    EXPECT_FALSE(PixelsDiffer(black, black, 0));
    EXPECT_TRUE(PixelsDiffer(black, white, 32));
    // White paint over white looks like no paint, but the alpha tells them apart.
    EXPECT_TRUE(PixelsDiffer(white, transparent, 32));
    // The tolerance: 32 steps in one channel still match, 33 do not.
    EXPECT_FALSE(PixelsDiffer(0xFF102030, 0xFF302030, 32));
    EXPECT_TRUE(PixelsDiffer(0xFF102030, 0xFF312030, 32));
    // Half-transparent black is mid grey over white; so is opaque mid grey, but not its alpha.
    EXPECT_FALSE(PixelsDiffer(0x80000000, 0x80000000, 0));
    EXPECT_TRUE(PixelsDiffer(0x80000000, 0xFF7F7F7F, 32));
    // Half-transparent red against half-transparent orange: over white, the green differs by 64.
    EXPECT_TRUE(PixelsDiffer(0x80800000, 0x80804000, 32));
    EXPECT_FALSE(PixelsDiffer(0x80800000, 0x80801000, 32));
}

TEST(Difference, CountsAndMarksTheDifferingPixels) {
    SurfacePtr a = Filled(40, 20, 1, 1, 1, 1), b = Filled(40, 20, 1, 1, 1, 1);
    FillRect(b.get(), 5, 4, 10, 3, 0, 0, 0);
    FillRect(b.get(), 30, 10, 2, 2, 0.95, 0.95, 0.95);  // within the tolerance
    const Difference difference = ComparePictures(a.get(), b.get(), 32);
    EXPECT_EQ(difference.width, 40);
    EXPECT_EQ(difference.height, 20);
    EXPECT_EQ(difference.differing, 30);
    EXPECT_DOUBLE_EQ(difference.Share(), 30.0 / 800);
    EXPECT_TRUE(difference.Differs(5, 4));
    EXPECT_TRUE(difference.Differs(14, 6));
    EXPECT_FALSE(difference.Differs(15, 6));
    EXPECT_FALSE(difference.Differs(30, 10));
    EXPECT_EQ(ComparePictures(a.get(), a.get(), 0).differing, 0);
}

TEST(Difference, ThePixelsOneSmallerPictureLacksAreTransparent) {
    SurfacePtr wide = Filled(10, 4, 0, 0, 0, 0), narrow = Filled(8, 5, 0, 0, 0, 1);
    FillRect(wide.get(), 8, 0, 2, 4, 0, 0, 0);
    // The narrow picture is opaque black where it reaches, the wide one only in its last two
    // columns; the row below the wide one's is missing there and transparent.
    const Difference difference = ComparePictures(wide.get(), narrow.get(), 32);
    EXPECT_EQ(difference.width, 10);
    EXPECT_EQ(difference.height, 5);
    EXPECT_EQ(difference.differing, 8 * 5 + 2 * 4);
    EXPECT_FALSE(difference.Differs(8, 4));
}

TEST(SideBySide, ShowsBothPicturesOverWhiteAndMarksTheDifference) {
    SurfacePtr reference = Filled(30, 10, 0, 0, 0, 0), drawn = Filled(30, 10, 0, 0, 0, 0);
    FillRect(reference.get(), 0, 0, 10, 10, 0, 0, 1);
    FillRect(drawn.get(), 0, 0, 10, 10, 0, 0, 1);
    FillRect(drawn.get(), 20, 0, 5, 10, 0, 1, 0);
    const Difference difference = ComparePictures(reference.get(), drawn.get(), 32);
    ASSERT_EQ(difference.differing, 50);
    const SurfacePtr side = SideBySide(reference.get(), drawn.get(), difference);
    ASSERT_EQ(cairo_image_surface_get_width(side.get()), 90);
    ASSERT_EQ(cairo_image_surface_get_height(side.get()), 10);
    EXPECT_EQ(PremultipliedAt(side.get(), 5, 5), 0xFF0000FFu);
    EXPECT_EQ(PremultipliedAt(side.get(), 22, 5), 0xFFFFFFFFu);  // transparent shows white
    EXPECT_EQ(PremultipliedAt(side.get(), 30 + 22, 5), 0xFF00FF00u);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 30; ++x) {
            const uint32_t pixel = PremultipliedAt(side.get(), 60 + x, y);
            EXPECT_EQ(pixel == kDifferenceMark, difference.Differs(x, y)) << x << "," << y;
        }
    }
    // Where they agree, the reference shows faded: its blue square darker than the white.
    EXPECT_LT(PremultipliedAt(side.get(), 65, 5) & 0xFF, PremultipliedAt(side.get(), 75, 5) & 0xFF);
}

TEST(SideBySide, IsWrittenAsPngOrTheFailureNamesThePath) {
    const SurfacePtr picture = Filled(6, 4, 1, 0, 0, 1);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("compare-test-" + std::to_string(getpid()) + ".png");
    WritePng(picture.get(), path.string());
    cairo_surface_t* back = cairo_image_surface_create_from_png(path.string().c_str());
    ASSERT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(back), 6);
    EXPECT_EQ(PremultipliedAt(back, 3, 2), 0xFFFF0000u);
    cairo_surface_destroy(back);
    std::filesystem::remove(path);
    try {
        WritePng(picture.get(), "/nonexistent-folder/side.png");
        FAIL() << "written";
    } catch (const PictureFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find("/nonexistent-folder/side.png"), std::string::npos) << failure.what();
    }
}

}  // namespace
}  // namespace compare
