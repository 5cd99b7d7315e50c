// The first stage of the SVG reader: the XML parsed into a small tree of SVG elements in which
// the style cascade is already resolved (presentation attributes, <style> sheets, the style
// attribute, !important, inheritance and "inherit") and <use> is instantiated, so that no later
// code looks at CSS or XML.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document/svg/loss_report.h"
#include "document/svg/tree/xml_reader.h"

namespace document::svg {

// A file that cannot be read as SVG: malformed XML (the message has the line and column), a
// root that is not <svg>, entity expansion beyond its bound, nesting too deep, a file that is
// not text or is empty.
class SvgError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Elements in the SVG namespace that the converter tells apart; everything else is kOther
// (elements of other namespaces are dropped with their content, as SVG renders them not).
enum class Tag : uint8_t {
    kSvg, kG, kA, kDefs, kSwitch, kUse, kSymbol,
    kPath, kRect, kCircle, kEllipse, kLine, kPolyline, kPolygon,
    kLinearGradient, kRadialGradient, kStop, kClipPath,
    kText, kImage, kPattern, kMask, kFilter, kMarker, kForeignObject,
    kStyle, kTitle, kDesc, kMetadata,
    kOther,
};

// The properties the converter reads. Inherited ones (fill..., stroke..., visibility, color,
// clip-rule, font-size, marker-*) hold the parent's computed value when the element gives none;
// the others (opacity, display, clip-path, mask, filter, stop-*, overflow) do not.
enum class Property : uint8_t {
    kFill, kFillOpacity, kFillRule,
    kStroke, kStrokeWidth, kStrokeOpacity, kStrokeLinecap, kStrokeLinejoin, kStrokeMiterlimit,
    kStrokeDasharray, kStrokeDashoffset,
    kOpacity, kDisplay, kVisibility, kColor,
    kClipPath, kClipRule, kMask, kFilter,
    kStopColor, kStopOpacity,
    kMarkerStart, kMarkerMid, kMarkerEnd,
    kFontSize,
    kOverflow,
    kCount,
};

// The properties an element sets, and their values. Only the values of set properties are ever
// written or read: an element is made without clearing the room for all of them, most of which
// stay unset.
class PropertyValues {
public:
    PropertyValues() {}  // the values are left as they are: none is set
    PropertyValues(const PropertyValues& other) : set_(other.set_) { CopyValues(other); }
    PropertyValues& operator=(const PropertyValues& other) {
        set_ = other.set_;
        CopyValues(other);
        return *this;
    }

    std::string_view Get(size_t index) const {
        return (set_ >> index & 1) != 0 ? std::string_view(text_[index], size_[index]) : std::string_view();
    }
    // An empty value unsets the property.
    void Set(size_t index, std::string_view value) {
        const uint32_t bit = uint32_t(1) << index;
        if (value.empty()) {
            set_ &= ~bit;
            return;
        }
        text_[index] = value.data();
        size_[index] = value.size();
        set_ |= bit;
    }
    // Bit i is set when property i has a value.
    uint32_t Mask() const { return set_; }

private:
    void CopyValues(const PropertyValues& other) {
        for (uint32_t set = set_; set != 0; set &= set - 1) {
            const int i = std::countr_zero(set);
            text_[i] = other.text_[i];
            size_[i] = other.size_[i];
        }
    }

    uint32_t set_ = 0;
    const char* text_[size_t(Property::kCount)];
    size_t size_[size_t(Property::kCount)];
};

static_assert(size_t(Property::kCount) <= 32, "PropertyValues has a bit for each property");

// The bit of an attribute name in Element::attributeNameBits.
inline uint32_t AttributeNameBit(std::string_view name) {
    if (name.empty()) return 1;
    return uint32_t(1) << ((name.size() * 7 + size_t(static_cast<unsigned char>(name.front())) +
                            3 * size_t(static_cast<unsigned char>(name.back()))) & 31);
}

struct Element {
    Element() {}  // user-provided, so that making one does not clear the property values first

    Tag tag = Tag::kOther;
    std::string_view name;  // the local name as written
    int line = 0;           // in the file
    std::string_view id;
    // The editors' label (inkscape:label, data-name), or empty.
    std::string_view label;

    // Attributes that are not properties (x, y, width, height, d, points, transform, viewBox,
    // preserveAspectRatio, gradientUnits, offset, clipPathUnits, requiredFeatures, ...), by
    // local name; "href" answers for both href and xlink:href (href wins). Empty when absent.
    std::string_view Attribute(std::string_view localName) const {
        if ((attributeNameBits & AttributeNameBit(localName)) == 0) return {};
        const auto* attribute = FindAttributeEntry(localName);
        return attribute != nullptr ? attribute->second : std::string_view();
    }
    bool HasAttribute(std::string_view localName) const {
        return (attributeNameBits & AttributeNameBit(localName)) != 0 && FindAttributeEntry(localName) != nullptr;
    }

    // The computed value after the cascade, white space trimmed; empty when the property is
    // neither set on the element nor inherited (its initial value applies).
    std::string_view Get(Property property) const { return properties.Get(size_t(property)); }
    // Sets a property's value (empty: not set).
    void SetProperty(size_t index, std::string_view value) { properties.Set(index, value); }

    // The computed font-size in px, for em and ex lengths: the element's own value (against
    // its parent's size), else its parent's; 16 ("medium") where none is given.
    double fontSize = 16;

    Element* parent = nullptr;
    std::vector<Element*> children;  // elements only, in document order

    // For an instantiated <use>: the copy of the referenced element is its only child, and
    // `referenced` points at the original (for the converter's reports). For a <use> whose
    // reference is missing or forms a cycle, no child.
    const Element* referenced = nullptr;

    // Storage, filled by the parser (the tree's storage owns what the span holds).
    std::span<const std::pair<std::string_view, std::string_view>> attributes;
    const std::pair<std::string_view, std::string_view>* FindAttributeEntry(std::string_view localName) const;
    // A bit for each name in `attributes` (AttributeNameBit), so that asking for an attribute
    // the element does not have (most questions) seldom reads the names.
    uint32_t attributeNameBits = 0;
    PropertyValues properties;
};

struct TreeOptions {
    std::string fileName;  // for messages
    size_t maxElements = 4'000'000;  // after <use> instantiation; beyond it: SvgError
    int maxDepth = 32767;            // the host's depths are 16-bit
    // Added: the bound on the inflated size of gzip-compressed input; beyond it: SvgError.
    size_t maxInflatedBytes = size_t(512) << 20;
};

class Tree {
public:
    Tree();
    Tree(Tree&&) noexcept;
    Tree& operator=(Tree&&) noexcept;
    ~Tree();

    const Element& Root() const;
    // The element with this id, searched in the whole file (the first one with it), or null.
    const Element* FindById(std::string_view id) const;

    struct Storage;
    std::unique_ptr<Storage> storage;
};

// Parses SVG text (or gzip-compressed SVG, recognised by its magic bytes) into the resolved
// tree. Reference problems found on the way (a <use> of a missing id, a <use> cycle, CSS it
// cannot read) go into `losses`. Throws SvgError.
Tree ParseSvgTree(std::string_view bytes, const TreeOptions& options, LossReport& losses);
// The same, parsing the bytes where they stand (they are changed) rather than in a copy.
Tree ParseSvgTreeInPlace(const WritableXml& bytes, const TreeOptions& options, LossReport& losses);

// Added: how an element is named in a LossReport entry: `id "x"` when it has an id, else
// `line 12`.
std::string DescribeElement(const Element& element);

// Added: the property of a CSS property name or presentation attribute ("stroke-width"), if
// it is one the converter reads.
bool PropertyFromName(std::string_view name, Property& property);
std::string_view PropertyName(Property property);
// Added: whether the property takes its parent's value when the element gives none.
bool IsInherited(Property property);

}  // namespace document::svg
