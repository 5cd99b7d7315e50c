#include "document/svg/loss_report.h"

namespace document::svg {

void LossReport::Add(std::string_view kind, std::string_view where) {
    if (auto found = index_.find(kind); found != index_.end()) {
        ++entries_[found->second].count;
        return;
    }
    index_.emplace(std::string(kind), entries_.size());
    entries_.push_back({std::string(kind), 1, std::string(where)});
}

}  // namespace document::svg
