#include "ScpiServer.h"

#include <array>
#include <csignal>
#include <memory>
#include <set>

#include <asio.hpp>

#if defined(__linux__)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

#include "ListenFailure.h"

namespace stepctl::instrument {
namespace {

using asio::ip::tcp;

class Connection;

struct Hub {
    Instrument& instrument;
    std::set<std::shared_ptr<Connection>> connections;
};

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    Connection(tcp::socket socket, Hub& hub) : socket_(std::move(socket)), hub_(hub) {}

    void start() {
        std::error_code ignored;
        // Replies go out at once instead of waiting to fill a segment.
        socket_.set_option(tcp::no_delay(true), ignored);
        quickAck();
        read();
    }

    void close() {
        std::error_code ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

  private:
    // A write-then-query client otherwise waits for the delayed ACK of its write (about
    // 40 ms on Linux) before its query goes out; the kernel clears the flag now and then, so it
    // is set again after every line that got no reply.
    void quickAck() {
#if defined(__linux__)
        const int one = 1;
        setsockopt(socket_.native_handle(), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
#endif
    }

    void read() {
        socket_.async_read_some(asio::buffer(buffer_),
                                [self = shared_from_this()](std::error_code ec, std::size_t n) {
                                    if (ec) {
                                        self->drop();
                                        return;
                                    }
                                    self->consume(n);
                                });
    }

    void consume(std::size_t n) {
        std::string replies;
        bool silentLine = false;
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buffer_[i];
            if (c == '\n') {
                if (!discarding_) {
                    const auto reply = hub_.instrument.execute(line_, status_);
                    if (reply) {
                        replies += *reply;
                        replies += '\n';
                    } else {
                        silentLine = true;
                    }
                }
                discarding_ = false;
                line_.clear();
            } else if (discarding_) {
                continue;
            } else if (line_.size() == scpi::kMaxLineBytes) {
                status_.push({scpi::err::kTooMuchData,
                              "a line is at most 4096 bytes; the rest of it was discarded"});
                discarding_ = true;
                line_.clear();
            } else {
                line_ += c;
            }
        }
        if (silentLine)
            quickAck();
        if (replies.empty()) {
            read();
            return;
        }
        // No reading until the replies are out: a client that never reads cannot make the
        // server pile up its answers.
        out_ = std::move(replies);
        asio::async_write(socket_, asio::buffer(out_),
                          [self = shared_from_this()](std::error_code ec, std::size_t) {
                              if (ec) {
                                  self->drop();
                                  return;
                              }
                              self->read();
                          });
    }

    void drop() {
        close();
        hub_.connections.erase(shared_from_this());
    }

    tcp::socket socket_;
    Hub& hub_;
    std::array<char, 4096> buffer_{};
    std::string line_;
    bool discarding_ = false;  // the rest of a line that was too long
    std::string out_;
    scpi::ClientStatus status_;
};

class Server {
  public:
    Server(asio::io_context& io, const tcp::endpoint& endpoint, Instrument& instrument)
        : acceptor_(io, endpoint), retry_(io), hub_{instrument, {}} {}

    tcp::endpoint endpoint() const { return acceptor_.local_endpoint(); }

    void accept() {
        acceptor_.async_accept([this](std::error_code ec, tcp::socket socket) {
            if (ec == asio::error::operation_aborted)
                return;
            if (ec) {
                // Out of file descriptors, say: try again shortly rather than spin.
                retry_.expires_after(std::chrono::milliseconds(50));
                retry_.async_wait([this](std::error_code waited) {
                    if (!waited)
                        accept();
                });
                return;
            }
            if (hub_.connections.size() >= kMaxClients) {
                refuse(std::move(socket));
            } else {
                auto connection = std::make_shared<Connection>(std::move(socket), hub_);
                hub_.connections.insert(connection);
                connection->start();
            }
            accept();
        });
    }

    void stop() {
        std::error_code ignored;
        acceptor_.close(ignored);
        retry_.cancel();
        const auto connections = hub_.connections;
        for (const auto& connection : connections)
            connection->close();
        hub_.connections.clear();
    }

  private:
    static void refuse(tcp::socket socket) {
        auto held = std::make_shared<tcp::socket>(std::move(socket));
        static const std::string kBusy = "stepctl-cli serve: " + std::to_string(kMaxClients) +
                                         " clients are connected, the most it serves; try again "
                                         "when one has left\n";
        asio::async_write(*held, asio::buffer(kBusy), [held](std::error_code, std::size_t) {
            std::error_code ignored;
            held->shutdown(tcp::socket::shutdown_both, ignored);
            held->close(ignored);
        });
    }

    tcp::acceptor acceptor_;
    asio::steady_timer retry_;
    Hub hub_;
};

std::string_view signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "Ctrl-C";
        case SIGTERM:
            return "SIGTERM";
#ifdef SIGHUP
        case SIGHUP:
            return "SIGHUP";
#endif
        default:
            return "a signal";
    }
}

}  // namespace

ServeEnd serve(const ServerSettings& settings, Instrument& instrument, std::ostream& out,
               const std::function<void(const std::string&)>& error) {
    asio::io_context io(1);
    std::error_code ec;
    const asio::ip::address address = asio::ip::make_address(settings.address, ec);
    if (ec) {
        error("--listen: '" + settings.address + "' is not an IP address");
        return ServeEnd::CannotListen;
    }
#ifdef SIGPIPE
    // A client gone mid-reply, or a closed stdout, is an error to handle, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::unique_ptr<Server> server;
    try {
        server = std::make_unique<Server>(io, tcp::endpoint(address, settings.port), instrument);
    } catch (const std::system_error& e) {
        error("cannot listen on " + settings.address + ":" + std::to_string(settings.port) + ": " +
              listenFailureWords(e.code()));
        return ServeEnd::CannotListen;
    }

    asio::signal_set signals(io, SIGINT, SIGTERM);
#ifdef SIGHUP
    signals.add(SIGHUP);
#endif
    int stoppedBy = 0;
    signals.async_wait([&](std::error_code waited, int signal) {
        if (waited)
            return;
        stoppedBy = signal;
        server->stop();
    });

    const tcp::endpoint bound = server->endpoint();
    out << "listening on " << bound.address().to_string() << ":" << bound.port() << std::endl;
    server->accept();
    io.run();
    error("serve stopped by " + std::string(signalName(stoppedBy)) +
          "; every client was disconnected");
    return ServeEnd::Stopped;
}

}  // namespace stepctl::instrument
