#include "document/svg/tree/use_instantiation.h"

#include <unordered_map>
#include <vector>

#include "document/svg/tree/errors.h"
#include "document/svg/tree/names.h"

namespace document::svg {
namespace {

enum class State : uint8_t { kWaiting, kInProgress, kDone };

struct UseInfo {
    State state = State::kWaiting;
    Element* target = nullptr;
};

class Instantiator {
public:
    Instantiator(Tree::Storage& storage, const TreeOptions& options, LossReport& losses)
        : storage_(storage), options_(options), losses_(losses) {}

    void Run() {
        std::vector<Element*> uses;
        for (Element& element : storage_.elements) {
            if (element.tag == Tag::kUse) {
                // What a <use> holds in the file (a <title>, say) is not drawn: its copy is
                // to be its only child.
                element.children.clear();
                uses.push_back(&element);
                info_.emplace(&element, UseInfo{});
            }
        }
        for (Element* use : uses) Instantiate(use);
    }

private:
    // Instantiates `first` and, before it, the uses inside what it refers to, with an explicit
    // stack (chains of uses can be as long as the file).
    void Instantiate(Element* first) {
        std::vector<Element*> stack{first};
        std::vector<Element*> inner;
        while (!stack.empty()) {
            Element* use = stack.back();
            UseInfo& info = info_.at(use);
            if (info.state == State::kDone) {
                stack.pop_back();
                continue;
            }
            if (info.state == State::kWaiting) {
                info.state = State::kInProgress;
                info.target = Resolve(*use);
                if (info.target == nullptr) {
                    info.state = State::kDone;
                    stack.pop_back();
                    continue;
                }
            }
            // Every use in the target must be instantiated first; one still in progress is
            // this one or one whose instantiation waits for this: a cycle.
            const size_t size = ScanUses(*info.target, inner);
            bool cycle = false;
            bool waiting = false;
            for (Element* other : inner) {
                const State state = info_.at(other).state;
                cycle = cycle || state == State::kInProgress;
                waiting = waiting || state == State::kWaiting;
            }
            if (cycle) {
                losses_.Add("use that refers to itself (a cycle)", DescribeElement(*use));
                info.state = State::kDone;
                stack.pop_back();
                continue;
            }
            if (waiting) {
                for (Element* other : inner) {
                    if (info_.at(other).state == State::kWaiting) stack.push_back(other);
                }
                continue;
            }
            if (storage_.elements.size() + size > options_.maxElements) {
                ThrowSvgError(options_.fileName,
                              "the file has more than " + std::to_string(options_.maxElements) +
                                  " elements once <use> elements are instantiated (at line " +
                                  std::to_string(use->line) + ")");
            }
            Copy(*info.target, *use);
            use->referenced = info.target;
            info.state = State::kDone;
            stack.pop_back();
        }
    }

    // The element a <use> refers to, or null (reported).
    Element* Resolve(const Element& use) {
        const std::string_view href = TrimSpace(use.Attribute("href"));
        if (href.empty()) {
            losses_.Add("use without a reference", DescribeElement(use));
            return nullptr;
        }
        if (href.front() != '#') {
            // Other files are never loaded.
            losses_.Add("use of an element of another file", DescribeElement(use));
            return nullptr;
        }
        Element* const found = storage_.FindById(href.substr(1));
        if (found == nullptr) losses_.Add("use of a missing element", DescribeElement(use));
        return found;
    }

    // The number of elements in the subtree of `root` (itself included), and in `uses` the
    // parsed <use> elements in it (copies are already complete).
    size_t ScanUses(Element& root, std::vector<Element*>& uses) {
        uses.clear();
        size_t size = 0;
        scan_.assign(1, &root);
        while (!scan_.empty()) {
            Element* element = scan_.back();
            scan_.pop_back();
            ++size;
            if (element->tag == Tag::kUse && info_.contains(element)) uses.push_back(element);
            scan_.insert(scan_.end(), element->children.begin(), element->children.end());
        }
        return size;
    }

    void Copy(const Element& original, Element& use) {
        struct Pending {
            const Element* original;
            Element* parent;
        };
        std::vector<Pending> pending{{&original, &use}};
        while (!pending.empty()) {
            const auto [from, parent] = pending.back();
            pending.pop_back();
            Element& copy = storage_.elements.emplace_back(*from);
            copy.parent = parent;
            copy.children.clear();
            parent->children.push_back(&copy);
            // Reversed, so that the children are copied (and added) in document order.
            for (auto child = from->children.rbegin(); child != from->children.rend(); ++child) {
                pending.push_back({*child, &copy});
            }
        }
    }

    Tree::Storage& storage_;
    const TreeOptions& options_;
    LossReport& losses_;
    std::unordered_map<const Element*, UseInfo> info_;
    std::vector<Element*> scan_;
};

}  // namespace

void InstantiateUses(Tree::Storage& storage, const TreeOptions& options, LossReport& losses) {
    Instantiator(storage, options, losses).Run();
}

}  // namespace document::svg
