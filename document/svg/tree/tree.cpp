#include "document/svg/tree/tree.h"

#include <stdexcept>

#include "document/svg/tree/cascade.h"
#include "document/svg/tree/input.h"
#include "document/svg/tree/names.h"
#include "document/svg/tree/tree_builder.h"
#include "document/svg/tree/tree_storage.h"
#include "document/svg/tree/use_instantiation.h"
#include "document/svg/tree/xml_reader.h"

namespace document::svg {

const std::pair<std::string_view, std::string_view>* Element::FindAttributeEntry(std::string_view localName) const {
    for (const auto& attribute : attributes) {
        if (SameName(attribute.first, localName)) return &attribute;
    }
    return nullptr;
}

Tree::Tree() : storage(std::make_unique<Storage>()) {}
Tree::Tree(Tree&&) noexcept = default;
Tree& Tree::operator=(Tree&&) noexcept = default;
Tree::~Tree() = default;

const Element& Tree::Root() const {
    if (storage == nullptr || storage->root == nullptr) throw std::logic_error("the SVG tree is empty");
    return *storage->root;
}

const Element* Tree::FindById(std::string_view id) const {
    if (storage == nullptr) return nullptr;
    return storage->FindById(id);
}

std::string DescribeElement(const Element& element) {
    if (!element.id.empty()) return "id \"" + std::string(element.id) + "\"";
    return "line " + std::to_string(element.line);
}

Element* Tree::Storage::FindById(std::string_view id) {
    if (!idsIndexed_) {
        size_t index = 0;
        for (Element& element : elements) {
            if (index++ == parsedElements) break;
            if (!element.id.empty()) ids_.Add(element.id, &element);
        }
        idsIndexed_ = true;
    }
    return ids_.Find(id);
}

namespace {

// The tree of a file's text, read by `read` into the builder.
template <typename Read>
Tree BuildTree(const TreeOptions& options, LossReport& losses, Read read) {
    Tree tree;
    TreeBuilder builder(tree, options, losses);
    read(builder);
    tree.storage->parsedElements = tree.storage->elements.size();
    ApplyStyleSheets(*tree.storage, builder.Sheets(), losses);
    InstantiateUses(*tree.storage, options, losses);
    ResolveInheritance(*tree.storage, options);
    return tree;
}

// Inflated text is the reader's own: it is read where it stands, and inflated again in the
// rare case that the reader needs it as it was.
Tree BuildTreeOfInflated(std::string_view compressed, std::shared_ptr<std::string> inflated, const TreeOptions& options,
                         LossReport& losses) {
    WritableXml text;
    text.data = inflated->data();
    text.size = inflated->size();
    text.owner = inflated;
    text.readAgain = [compressed, &options] {
        std::string again;
        PrepareInput(compressed, options, again);
        return again;
    };
    return BuildTree(options, losses, [&](TreeBuilder& builder) { ReadXmlInPlace(text, options.fileName, builder); });
}

}  // namespace

Tree ParseSvgTree(std::string_view bytes, const TreeOptions& options, LossReport& losses) {
    auto inflated = std::make_shared<std::string>();
    const std::string_view text = PrepareInput(bytes, options, *inflated);
    if (!inflated->empty()) return BuildTreeOfInflated(bytes, std::move(inflated), options, losses);
    return BuildTree(options, losses, [&](TreeBuilder& builder) { ReadXml(text, options.fileName, builder); });
}

Tree ParseSvgTreeInPlace(const WritableXml& bytes, const TreeOptions& options, LossReport& losses) {
    // Plain text is read as it stands: PrepareInput only looks at it.
    auto inflated = std::make_shared<std::string>();
    PrepareInput({bytes.data, bytes.size}, options, *inflated);
    if (!inflated->empty()) return BuildTreeOfInflated({bytes.data, bytes.size}, std::move(inflated), options, losses);
    return BuildTree(options, losses, [&](TreeBuilder& builder) { ReadXmlInPlace(bytes, options.fileName, builder); });
}

}  // namespace document::svg
