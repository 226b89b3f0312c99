// A shared library loaded at run time by its file name: dlopen's search order on POSIX; on
// Windows only the program's folder and the system folders, never the working directory
// (LoadLibraryExW with LOAD_LIBRARY_SEARCH_DEFAULT_DIRS). One source file per platform.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace stepctl {

class SharedLibrary {
  public:
    using Symbol = void (*)();  // cast to the entry point's own type before calling

    // The library, or nullptr with `error` set to the loader's words.
    static std::unique_ptr<SharedLibrary> open(const std::string& fileName, std::string& error);
    // "ftd2xx" -> "ftd2xx.dll" on Windows, "libftd2xx.so" elsewhere.
    static std::string fileNameOf(std::string_view stem);

    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The named entry point, or nullptr.
    Symbol symbol(const char* name) const;

  private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace stepctl
