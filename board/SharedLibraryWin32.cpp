#include <windows.h>

#include "SharedLibrary.h"

namespace stepctl {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& fileName,
                                                   std::string& error) {
    HMODULE module = LoadLibraryA(fileName.c_str());
    if (module == nullptr) {
        error =
            "cannot load " + fileName + " (Windows error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(module));
}

std::string SharedLibrary::fileNameOf(std::string_view stem) {
    return std::string(stem) + ".dll";
}

SharedLibrary::~SharedLibrary() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

SharedLibrary::Symbol SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<Symbol>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace stepctl
