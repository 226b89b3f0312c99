// The fake D2XX library seen from a test: loaded by the same file name and search order as
// D2xxLink uses, so both reach the one copy in the process. On Linux it is loaded by its full
// path: AddressSanitizer's dlopen hides the test's run path, and D2xxLink's open by name then
// finds the copy already loaded by its soname.
#pragma once

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "D2xxLink.h"
#include "SharedLibrary.h"

namespace stepctl::test {

class FakeD2xx {
  public:
    FakeD2xx() {
        std::string error;
#ifdef STEPCTL_FAKE_D2XX_PATH
        library_ = SharedLibrary::open(STEPCTL_FAKE_D2XX_PATH, error);
#else
        library_ = SharedLibrary::open(d2xxLibraryFileName(), error);
#endif
        if (!library_)
            throw std::runtime_error("the fake D2XX library did not load: " + error);
        reset_ = fn<void (*)(const char*)>("FakeD2xx_Reset");
        fail_ = fn<void (*)(const char*, std::uint32_t)>("FakeD2xx_Fail");
        shortWrite_ = fn<void (*)(long)>("FakeD2xx_ShortWrite");
        log_ = fn<std::size_t (*)(char*, std::size_t)>("FakeD2xx_Log");
        openHandles_ = fn<int (*)()>("FakeD2xx_OpenHandles");
    }

    // No faults, an empty log, and these chips (comma-separated serial numbers, "" for none).
    void reset(const char* serials = "FAKE0001") const {
        reset_(serials);
    }
    void fail(const char* call, std::uint32_t status) const {
        fail_(call, status);
    }
    void shortWrite(long bytes) const {
        shortWrite_(bytes);
    }
    int openHandles() const {
        return openHandles_();
    }

    std::vector<std::string> calls() const {
        std::string text(log_(nullptr, 0) + 1, '\0');
        text.resize(log_(text.data(), text.size()));
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

  private:
    template <typename Fn>
    Fn fn(const char* name) const {
        const auto symbol = library_->symbol(name);
        if (symbol == nullptr)
            throw std::runtime_error(std::string("the fake D2XX library has no ") + name);
        return reinterpret_cast<Fn>(symbol);
    }

    std::unique_ptr<SharedLibrary> library_;
    void (*reset_)(const char*) = nullptr;
    void (*fail_)(const char*, std::uint32_t) = nullptr;
    void (*shortWrite_)(long) = nullptr;
    std::size_t (*log_)(char*, std::size_t) = nullptr;
    int (*openHandles_)() = nullptr;
};

}  // namespace stepctl::test
