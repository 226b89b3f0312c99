#include <windows.h>

#include <string>

#include "SharedLibrary.h"

namespace stepctl {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& fileName,
                                                   std::string& error) {
    // The program's folder and the system folders only: a DLL of the same name planted in the
    // folder a script runs from must never be loaded.
    std::wstring wide(fileName.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, fileName.c_str(), -1, wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
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
