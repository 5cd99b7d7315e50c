#include "document/svg/tree/tree_builder.h"

#include "document/svg/tree/errors.h"
#include "document/svg/tree/names.h"

namespace document::svg {
namespace {

constexpr std::string_view kSvgNamespace = "http://www.w3.org/2000/svg";
constexpr std::string_view kXlinkNamespace = "http://www.w3.org/1999/xlink";
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kEditorLabelNamespace = "http://www.inkscape.org/namespaces/inkscape";

bool IsSvg(const XmlName& name) { return name.ns.empty() || name.ns == kSvgNamespace; }

bool IsCssType(std::string_view type) {
    type = TrimSpace(type);
    if (type.empty()) return true;
    constexpr std::string_view kCss = "text/css";
    if (type.size() != kCss.size()) return false;
    for (size_t i = 0; i < type.size(); ++i) {
        const char c = type[i] >= 'A' && type[i] <= 'Z' ? char(type[i] - 'A' + 'a') : type[i];
        if (c != kCss[i]) return false;
    }
    return true;
}

}  // namespace

TreeBuilder::TreeBuilder(Tree& tree, const TreeOptions& options, LossReport& losses)
    : tree_(tree), storage_(tree.storage.get()), options_(options), losses_(losses), lossesAtStart_(losses) {}

void TreeBuilder::Restart() {
    tree_.storage = std::make_unique<Tree::Storage>();
    storage_ = tree_.storage.get();
    losses_ = lossesAtStart_;
    progress_ = Progress();
}

void TreeBuilder::StartElement(const XmlName& name, std::span<const XmlAttribute> attributes,
                               const XmlPosition& where) {
    if (++progress_.depth > options_.maxDepth) {
        ThrowSvgErrorAt(options_.fileName, where.Line(), where.Column(),
                        "elements are nested deeper than " + std::to_string(options_.maxDepth) +
                            " levels");
    }
    if (progress_.droppedFrom != 0) return;
    if (storage_->root == nullptr && !(IsSvg(name) && name.local == "svg")) {
        std::string what = "the root element is <" + std::string(name.local) + ">";
        if (!name.ns.empty()) what += " of namespace " + std::string(name.ns);
        ThrowSvgErrorAt(options_.fileName, where.Line(), where.Column(),
                        what + ", not <svg>: this is no SVG file");
    }
    Element* parent = progress_.open.empty() ? nullptr : progress_.open.back();
    // Other namespaces' elements (editors' metadata) and the foreign content of
    // <foreignObject> are not drawn by SVG renderers: they go with all they hold.
    if (!IsSvg(name) || (parent != nullptr && parent->tag == Tag::kForeignObject)) {
        progress_.droppedFrom = progress_.depth;
        return;
    }
    if (storage_->elements.size() >= options_.maxElements) {
        ThrowSvgErrorAt(options_.fileName, where.Line(), where.Column(),
                        "the file has more than " + std::to_string(options_.maxElements) +
                            " elements");
    }

    Element& element = storage_->elements.emplace_back();
    element.tag = TagFromName(name.local);
    element.name = KeepName(name.local);
    element.line = int(where.Line());
    element.parent = parent;
    TakeAttributes(element, attributes);
    if (parent != nullptr) {
        parent->children.push_back(&element);
    } else {
        storage_->root = &element;
    }
    if (element.tag == Tag::kStyle && progress_.style == nullptr) {
        progress_.style = &element;
        progress_.styleText.clear();
    }
    progress_.open.push_back(&element);
}

void TreeBuilder::TakeAttributes(Element& element, std::span<const XmlAttribute> attributes) {
    std::string_view xlinkHref;
    bool hasHref = false;
    std::string_view dataName;
    // Room for every attribute and an href taken from xlink:href; only what is used is kept.
    const std::span<std::pair<std::string_view, std::string_view>> kept = storage_->attributes.Take(attributes.size() + 1);
    size_t keptCount = 0;
    for (const XmlAttribute& attribute : attributes) {
        const std::string_view local = attribute.name.local;
        if (attribute.name.ns.empty()) {
            Property property;
            if (local == "id") {
                element.id = Keep(TrimSpace(attribute.value));
            } else if (local == "data-name") {
                dataName = attribute.value;
            } else if (PropertyFromName(local, property)) {
                element.SetProperty(size_t(property), Keep(TrimSpace(attribute.value)));
            } else {
                hasHref = hasHref || local == "href";
                kept[keptCount++] = {KeepName(local), Keep(attribute.value)};
            }
        } else if (attribute.name.ns == kXlinkNamespace) {
            if (local == "href") xlinkHref = attribute.value;
        } else if (attribute.name.ns == kEditorLabelNamespace) {
            if (local == "label") element.label = Keep(attribute.value);
        } else if (attribute.name.ns == kXmlNamespace) {
            if (local == "space") kept[keptCount++] = {"xml:space", Keep(attribute.value)};
        }
    }
    // href wins over xlink:href.
    if (!hasHref && !xlinkHref.empty()) kept[keptCount++] = {"href", Keep(xlinkHref)};
    element.attributes = kept.first(keptCount);
    for (const auto& [name, value] : element.attributes) element.attributeNameBits |= AttributeNameBit(name);
    if (element.label.empty() && !dataName.empty()) element.label = Keep(dataName);
}

void TreeBuilder::EndElement() {
    if (progress_.droppedFrom != 0) {
        if (progress_.depth == progress_.droppedFrom) progress_.droppedFrom = 0;
        --progress_.depth;
        return;
    }
    --progress_.depth;
    const Element* element = progress_.open.back();
    progress_.open.pop_back();
    if (element == progress_.style) {
        EndStyle(*element);
        progress_.style = nullptr;
    }
}

void TreeBuilder::EndStyle(const Element& style) {
    if (!IsCssType(style.Attribute("type"))) {
        losses_.Add("style sheet of type " + std::string(TrimSpace(style.Attribute("type"))),
                    DescribeElement(style));
        return;
    }
    if (TrimSpace(progress_.styleText).empty()) return;
    progress_.sheets.push_back({storage_->text.Copy(progress_.styleText), &style});
}

void TreeBuilder::KeepText(std::shared_ptr<const void> owner) {
    storage_->parsedText = std::move(owner);
    progress_.textKept = true;
}

void TreeBuilder::Text(std::string_view text) {
    if (progress_.style != nullptr && progress_.droppedFrom == 0) progress_.styleText.append(text);
}

}  // namespace document::svg
