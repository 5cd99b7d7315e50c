#include "document/svg/tree/errors.h"

namespace document::svg {
namespace {

std::string Named(const std::string& fileName) { return fileName.empty() ? "(input)" : fileName; }

}  // namespace

void ThrowSvgError(const std::string& fileName, std::string_view what) {
    throw SvgError(Named(fileName) + ": " + std::string(what));
}

void ThrowSvgErrorAt(const std::string& fileName, long line, long column, std::string_view what) {
    throw SvgError(Named(fileName) + ", line " + std::to_string(line) + ", column " +
                   std::to_string(column) + ": " + std::string(what));
}

}  // namespace document::svg
