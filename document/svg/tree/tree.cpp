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

Tree ParseSvgTree(std::string_view bytes, const TreeOptions& options, LossReport& losses) {
    std::string inflated;
    const std::string_view text = PrepareInput(bytes, options, inflated);

    Tree tree;
    TreeBuilder builder(tree, options, losses);
    ReadXml(text, options.fileName, builder);
    tree.storage->parsedElements = tree.storage->elements.size();
    ApplyStyleSheets(*tree.storage, builder.Sheets(), losses);
    InstantiateUses(*tree.storage, options, losses);
    ResolveInheritance(*tree.storage, options);
    return tree;
}

}  // namespace document::svg
