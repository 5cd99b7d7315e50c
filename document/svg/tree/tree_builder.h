// Builds the tree's elements from the XML events: SVG elements (and elements of no namespace,
// as many files lack xmlns) are kept, those of other namespaces dropped with their content;
// attributes are sorted into properties, plain attributes, id and label; <style> sheets are
// collected for the cascade.
#pragma once

#include <string>
#include <vector>

#include "document/svg/tree/tree_storage.h"
#include "document/svg/tree/xml_reader.h"

namespace document::svg {

struct CollectedSheet {
    std::string_view text;
    const Element* style = nullptr;  // the <style> element it came from
};

class TreeBuilder : public XmlHandler {
public:
    // Builds into the tree's storage, which a restart replaces with an empty one.
    TreeBuilder(Tree& tree, const TreeOptions& options, LossReport& losses);

    void StartElement(const XmlName& name, std::span<const XmlAttribute> attributes,
                      const XmlPosition& where) override;
    void EndElement() override;
    void Text(std::string_view text) override;
    void KeepText(std::shared_ptr<const void> owner) override;
    void Restart() override;

    // The CSS sheets met, in document order.
    const std::vector<CollectedSheet>& Sheets() const { return progress_.sheets; }

private:
    void TakeAttributes(Element& element, std::span<const XmlAttribute> attributes);
    // A value that lasts as long as the tree: the parser's own, or a copy.
    std::string_view Keep(std::string_view value) { return progress_.textKept ? value : storage_->text.Copy(value); }
    // The same for names, which repeat: one copy of each when the parser's text is not kept.
    std::string_view KeepName(std::string_view name) { return progress_.textKept ? name : storage_->text.Intern(name); }
    void EndStyle(const Element& style);

    Tree& tree_;
    Tree::Storage* storage_;  // the tree's
    const TreeOptions& options_;
    LossReport& losses_;
    const LossReport lossesAtStart_;  // what a restart puts back
    // What the events so far have built up, all of it forgotten by a restart.
    struct Progress {
        bool textKept = false;
        int depth = 0;
        int droppedFrom = 0;  // the depth of the element being dropped with its content, or 0
        std::vector<Element*> open;
        const Element* style = nullptr;  // the <style> whose text is being collected
        std::string styleText;
        std::vector<CollectedSheet> sheets;
    };
    Progress progress_;
};

}  // namespace document::svg
