#include <dlfcn.h>

#include "SharedLibrary.h"

namespace stepctl {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& fileName,
                                                   std::string& error) {
    void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error = why != nullptr ? why : "cannot load " + fileName;
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

std::string SharedLibrary::fileNameOf(std::string_view stem) {
    return "lib" + std::string(stem) + ".so";
}

SharedLibrary::~SharedLibrary() {
    dlclose(handle_);
}

SharedLibrary::Symbol SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<Symbol>(dlsym(handle_, name));
}

}  // namespace stepctl
