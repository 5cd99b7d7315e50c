#include "cli/pictures_loader.h"

#include <string>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace cli {

#if defined(_WIN32)

const PictureFunctions& PicturesModule::Functions() {
    throw PicturesUnavailable("this build has no pictures module (it is built where cairo is, not for Windows)");
}

void PicturesModule::Unloader::operator()(void*) const {}

#else

namespace {

// dlerror() less the file's name it usually begins with, which the message gives already.
std::string LoaderReason(const std::filesystem::path& path) {
    const char* reason = dlerror();
    if (reason == nullptr) return "unknown error";
    const std::string text = reason;
    const std::string named = path.string() + ": ";
    return text.rfind(named, 0) == 0 ? text.substr(named.size()) : text;
}

}  // namespace

const PictureFunctions& PicturesModule::Functions() {
    if (functions_ != nullptr) return *functions_;
    if (path_.empty()) throw PicturesUnavailable("this build has no pictures module");
    // glib, which librsvg and pango are built on, cannot be unloaded safely, and the leak
    // checker must still see the libraries' names at exit: the module stays mapped once loaded.
    handle_.reset(dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle_) throw PicturesUnavailable("cannot load the pictures module " + path_.string() + ": " + LoaderReason(path_));
    using Entry = const PictureFunctions* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(handle_.get(), kPictureFunctionsEntry));
    if (entry == nullptr) {
        handle_.reset();
        throw PicturesUnavailable("the pictures module " + path_.string() + " has no entry point " +
                                  kPictureFunctionsEntry);
    }
    functions_ = entry();
    return *functions_;
}

void PicturesModule::Unloader::operator()(void* handle) const {
    dlclose(handle);
}

#endif

}  // namespace cli
