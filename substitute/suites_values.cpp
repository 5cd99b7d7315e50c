// The suites that compute: real math, colour conversion, gradients, custom colours and the
// user suite's number conversions.
#include <charconv>
#include <cstdio>
#include <cstring>

#include "substitute/host_state.h"

namespace substitute {

namespace {

// Matrices are computed in double precision and each value is rounded once to a 32-bit real.
// A point (x, y) maps to (a x + c y + tx, b x + d y + ty); the product first * second applies
// `first`, then `second`.
RealMatrix Product(const RealMatrix& m1, const RealMatrix& m2) {
    const double a1 = m1.a, b1 = m1.b, c1 = m1.c, d1 = m1.d, tx1 = m1.tx, ty1 = m1.ty;
    const double a2 = m2.a, b2 = m2.b, c2 = m2.c, d2 = m2.d, tx2 = m2.tx, ty2 = m2.ty;
    return {static_cast<HostReal>(a1 * a2 + b1 * c2),
            static_cast<HostReal>(a1 * b2 + b1 * d2),
            static_cast<HostReal>(c1 * a2 + d1 * c2),
            static_cast<HostReal>(c1 * b2 + d1 * d2),
            static_cast<HostReal>(tx1 * a2 + ty1 * c2 + tx2),
            static_cast<HostReal>(tx1 * b2 + ty1 * d2 + ty2)};
}

// A matrix whose every value is the nonsense real, when the operation answers nonsense now.
void DistortMatrix(HostState& state, std::string_view operation, RealMatrix* m) {
    if (auto nonsense = state.Nonsense(operation)) {
        const HostReal value = NonsenseReal(*nonsense);
        *m = {value, -value, value, value, -value, value};
    }
}

HostErr IdentityMatrix(RealMatrix* m) {
    QM_ENTER("AI Real Math Suite/IdentityMatrix");
    if (m == nullptr) return kBadParameterErr;
    *m = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    DistortMatrix(*state, "AI Real Math Suite/IdentityMatrix", m);
    return kNoErr;
}

HostErr ConcatTranslate(RealMatrix* m, HostReal dx, HostReal dy) {
    QM_ENTER("AI Real Math Suite/ConcatTranslate");
    if (m == nullptr) return kBadParameterErr;
    *m = Product(*m, {1.0f, 0.0f, 0.0f, 1.0f, dx, dy});
    DistortMatrix(*state, "AI Real Math Suite/ConcatTranslate", m);
    return kNoErr;
}

HostErr ConcatScale(RealMatrix* m, HostReal sx, HostReal sy) {
    QM_ENTER("AI Real Math Suite/ConcatScale");
    if (m == nullptr) return kBadParameterErr;
    *m = Product(*m, {sx, 0.0f, 0.0f, sy, 0.0f, 0.0f});
    DistortMatrix(*state, "AI Real Math Suite/ConcatScale", m);
    return kNoErr;
}

HostErr ConcatMatrix(const RealMatrix* first, const RealMatrix* second, RealMatrix* result) {
    QM_ENTER("AI Real Math Suite/ConcatMatrix");
    if (first == nullptr || second == nullptr || result == nullptr) return kBadParameterErr;
    *result = Product(*first, *second);  // the arguments may be the same matrix
    DistortMatrix(*state, "AI Real Math Suite/ConcatMatrix", result);
    return kNoErr;
}

HostErr TransformPoint(const RealMatrix* m, const RealPoint* in, RealPoint* out) {
    QM_ENTER("AI Real Math Suite/TransformPoint");
    if (m == nullptr || in == nullptr || out == nullptr) return kBadParameterErr;
    const double x = in->h, y = in->v;
    const RealPoint point = {static_cast<HostReal>(double(m->a) * x + double(m->c) * y + double(m->tx)),
                             static_cast<HostReal>(double(m->b) * x + double(m->d) * y + double(m->ty))};
    *out = point;
    if (auto nonsense = state->Nonsense("AI Real Math Suite/TransformPoint")) {
        const HostReal value = NonsenseReal(*nonsense);
        *out = RealPoint{value, -value};
    }
    return kNoErr;
}

HostErr ConvertSamples(int32_t sourceSpace, const HostReal* source, int32_t destinationSpace,
                       HostReal* destination, HostBool* inGamut) {
    QM_ENTER("AI Color Conversion Suite/ConvertSamples");
    if (source == nullptr || destination == nullptr || destinationSpace != kRGBSpace) return kBadParameterErr;
    double rgb[3];
    switch (sourceSpace) {
        case kGraySpace: rgb[0] = rgb[1] = rgb[2] = source[0]; break;
        case kRGBSpace: rgb[0] = source[0], rgb[1] = source[1], rgb[2] = source[2]; break;
        case kCMYKSpace: {
            const double white = 1.0 - double(source[3]);
            for (int i = 0; i < 3; ++i) rgb[i] = (1.0 - double(source[i])) * white;
            break;
        }
        default: return kBadParameterErr;
    }
    for (int i = 0; i < 3; ++i) destination[i] = static_cast<HostReal>(rgb[i]);
    if (inGamut != nullptr) *inGamut = 1;
    if (auto nonsense = state->Nonsense("AI Color Conversion Suite/ConvertSamples")) {
        const HostReal value = NonsenseReal(*nonsense);
        destination[0] = value;
        destination[1] = -value;
        destination[2] = value;
    }
    return kNoErr;
}

HostErr GetGradientType(GradientHandle handle, int16_t* type) {
    QM_ENTER("AI Gradient Suite/GetGradientType");
    const Gradient* gradient = state->FindGradient(handle, "AI Gradient Suite/GetGradientType");
    if (gradient == nullptr || type == nullptr) return kBadParameterErr;
    *type = gradient->type;
    if (auto nonsense = state->Nonsense("AI Gradient Suite/GetGradientType")) {
        *type = *nonsense == Host::Nonsense::kNegative ? int16_t(-1) : int16_t(7);
    }
    return kNoErr;
}

HostErr GetGradientStopCount(GradientHandle handle, int16_t* count) {
    QM_ENTER("AI Gradient Suite/GetGradientStopCount");
    const Gradient* gradient = state->FindGradient(handle, "AI Gradient Suite/GetGradientStopCount");
    if (gradient == nullptr || count == nullptr) return kBadParameterErr;
    *count = static_cast<int16_t>(gradient->stops.size());  // the loader allows at most 32767
    if (auto nonsense = state->Nonsense("AI Gradient Suite/GetGradientStopCount")) {
        *count = *nonsense == Host::Nonsense::kNegative ? int16_t(-2) : int16_t(32767);
    }
    return kNoErr;
}

HostErr GetNthGradientStop(GradientHandle handle, int16_t n, GradientStop* stop) {
    QM_ENTER("AI Gradient Suite/GetNthGradientStop");
    const Gradient* gradient = state->FindGradient(handle, "AI Gradient Suite/GetNthGradientStop");
    if (gradient == nullptr || stop == nullptr) return kBadParameterErr;
    if (n < 0 || size_t(n) >= gradient->stops.size()) {
        state->Problem("AI Gradient Suite/GetNthGradientStop: stop " + std::to_string(n) + " of " +
                       std::to_string(gradient->stops.size()));
        return kBadParameterErr;
    }
    *stop = gradient->stops[size_t(n)];
    if (auto nonsense = state->Nonsense("AI Gradient Suite/GetNthGradientStop")) {
        if (*nonsense == Host::Nonsense::kOutsideTable) {
            stop->color.kind = 99;
        } else {
            const HostReal value = NonsenseReal(*nonsense);
            stop->midpoint = value;
            stop->position = -value;
            stop->color.kind = kThreeColor;
            stop->color.c.rgb = ThreeColorStyle{value, value, -value};
        }
    }
    return kNoErr;
}

HostErr GetCustomColor(CustomColorHandle handle, CustomColorDefinition* definition) {
    QM_ENTER("AI Custom Color Suite/GetCustomColor");
    const CustomColor* color = state->FindCustomColor(handle, "AI Custom Color Suite/GetCustomColor");
    if (color == nullptr || definition == nullptr) return kBadParameterErr;
    *definition = color->definition;
    if (auto nonsense = state->Nonsense("AI Custom Color Suite/GetCustomColor")) {
        if (*nonsense == Host::Nonsense::kOutsideTable) {
            definition->kind = 9;
        } else {
            const HostReal value = NonsenseReal(*nonsense);
            definition->c.cmyk = FourColorStyle{value, value, value, value};
        }
    }
    return kNoErr;
}

HostErr NumberToText(HostReal value, int16_t decimalPlaces, unsigned char* text) {
    QM_ENTER("AI User Suite/NumberToText");
    if (text == nullptr) return kBadParameterErr;
    const int places = decimalPlaces < 0 ? 0 : (decimalPlaces > 20 ? 20 : decimalPlaces);
    char buffer[512];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", places, double(value));
    if (length < 0 || length > 255) return kBadParameterErr;
    text[0] = static_cast<unsigned char>(length);
    std::memcpy(text + 1, buffer, size_t(length));
    return kNoErr;
}

HostErr TextToNumber(const unsigned char* text, HostReal* value) {
    QM_ENTER("AI User Suite/TextToNumber");
    if (text == nullptr || value == nullptr) return kBadParameterErr;
    std::string_view number(reinterpret_cast<const char*>(text + 1), text[0]);
    while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
    while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    double parsed = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) return kBadParameterErr;
    *value = static_cast<HostReal>(parsed);
    return kNoErr;
}

#undef QM_ENTER

}  // namespace

const UserSuite kUserSuite = {{}, NumberToText, TextToNumber};

const RealMathSuite kRealMathSuite = {{}, IdentityMatrix, {}, ConcatTranslate, ConcatScale, {}, ConcatMatrix, {},
                                      TransformPoint};

const GradientSuite kGradientSuite = {{}, GetGradientType, {}, GetGradientStopCount, GetNthGradientStop};

const CustomColorSuite kCustomColorSuite = {{}, GetCustomColor};

const ColorConversionSuite kColorConversionSuite = {ConvertSamples};

}  // namespace substitute
