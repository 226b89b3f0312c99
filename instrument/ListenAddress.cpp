#include "ListenAddress.h"

#include <optional>

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

namespace stepctl::instrument {

std::variant<asio::ip::address, std::string> listenAddress(const std::string& host) {
    std::error_code ec;
    const asio::ip::address address = asio::ip::make_address(host, ec);
    if (!ec)
        return address;
    if (host.empty())
        return std::string("--listen: the address is empty");
    asio::io_context io;
    asio::ip::tcp::resolver resolver(io);
    const auto results = resolver.resolve(host, "", asio::ip::tcp::resolver::numeric_service, ec);
    if (ec || results.empty()) {
        return "--listen: '" + host + "' is neither an IP address nor a host name that resolves (" +
               ec.message() + ")";
    }
    std::optional<asio::ip::address> first;
    for (const auto& entry : results) {
        const asio::ip::address found = entry.endpoint().address();
        if (found.is_v4())
            return found;
        if (!first)
            first = found;
    }
    return *first;
}

}  // namespace stepctl::instrument
