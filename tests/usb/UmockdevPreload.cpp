#include "UmockdevPreload.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace stepctl::usbtest {

void reexecWithUmockdevPreload(char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr)
        return;

    std::string value = kUmockdevPreload;
    if (preload != nullptr && *preload != '\0')
        value += std::string(":") + preload;
    setenv("LD_PRELOAD", value.c_str(), 1);
    // A sanitizer runtime would insist on coming first in the library list.
    const char* asan = std::getenv("ASAN_OPTIONS");
    std::string asanOptions = asan != nullptr ? std::string(asan) + ":" : std::string();
    setenv("ASAN_OPTIONS", (asanOptions + "verify_asan_link_order=0").c_str(), 1);

    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "cannot run %s again under %s: %s\n", argv[0], kUmockdevPreload,
                 std::strerror(errno));
    std::_Exit(127);
}

}  // namespace stepctl::usbtest
