#include "ListenFailure.h"

#include <asio/error.hpp>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#endif

namespace stepctl::instrument {
namespace {

#ifdef _WIN32
constexpr int kAddressNotHere = WSAEADDRNOTAVAIL;
#else
constexpr int kAddressNotHere = EADDRNOTAVAIL;
#endif

}  // namespace

std::string listenFailureWords(const std::error_code& ec) {
    if (ec == asio::error::address_in_use) {
        return "the port is in use by another program (another stepctl-cli serve?); stop it or "
               "pick another --port";
    }
    if (ec.category() == asio::error::get_system_category() && ec.value() == kAddressNotHere) {
        return "the address is not one of this machine's; give one of its own addresses, or "
               "127.0.0.1, to --listen";
    }
    if (ec == asio::error::access_denied)
        return "this user may not listen on that port (ports below 1024 need privileges)";
    return ec.message();
}

}  // namespace stepctl::instrument
