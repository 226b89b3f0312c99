#include "ScpiServer.h"

#include <array>
#include <csignal>
#include <memory>
#include <set>

#include <asio.hpp>

#include "ListenAddress.h"

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
    std::chrono::seconds idleTimeout;
    std::set<std::shared_ptr<Connection>> connections;
};

// Bytes read while a line waits for a sequence; beyond this the server stops reading.
constexpr std::size_t kMaxWaitingInput = 64 * 1024;

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    Connection(tcp::socket socket, Hub& hub)
        : socket_(std::move(socket)),
          idle_(socket_.get_executor()),
          hub_(hub),
          client_(hub.instrument.connect()) {}

    void start() {
        std::error_code ignored;
        // Replies go out at once instead of waiting to fill a segment.
        socket_.set_option(tcp::no_delay(true), ignored);
        keepAlive();
        quickAck();
        armIdle();
        read();
    }

    void close() {
        closed_ = true;
        idle_.cancel();
        std::error_code ignored;
        socket_.shutdown(tcp::socket::shutdown_both, ignored);
        socket_.close(ignored);
    }

  private:
    // A peer that vanished (a crashed PC, a pulled cable) is noticed within about a minute and
    // a half instead of the system's two hours.
    void keepAlive() {
        std::error_code ignored;
        socket_.set_option(asio::socket_base::keep_alive(true), ignored);
#if defined(__linux__)
        const int idle = 60, interval = 10, count = 3;
        setsockopt(socket_.native_handle(), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
        setsockopt(socket_.native_handle(), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
        setsockopt(socket_.native_handle(), IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
#endif
    }

    // A write-then-query client otherwise waits for the delayed ACK of its write (about
    // 40 ms on Linux) before its query goes out; the kernel clears the flag now and then, so it
    // is set again after every line that got no reply.
    void quickAck() {
#if defined(__linux__)
        const int one = 1;
        setsockopt(socket_.native_handle(), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
#endif
    }

    // A connection that says nothing for the idle timeout is let go, so that its slot is free;
    // one waiting for a sequence is not idle.
    void armIdle() {
        if (hub_.idleTimeout.count() == 0 || closed_)
            return;
        idle_.expires_after(hub_.idleTimeout);
        idle_.async_wait([weak = weak_from_this()](std::error_code ec) {
            const auto self = weak.lock();
            if (!ec && self && !self->waiting_)
                self->drop();
        });
    }

    void read() {
        if (reading_ || closed_)
            return;
        reading_ = true;
        socket_.async_read_some(asio::buffer(buffer_),
                                [self = shared_from_this()](std::error_code ec, std::size_t n) {
                                    self->reading_ = false;
                                    if (ec) {
                                        self->drop();
                                        return;
                                    }
                                    self->inbox_.append(self->buffer_.data(), n);
                                    if (self->waiting_) {
                                        if (self->inbox_.size() < kMaxWaitingInput)
                                            self->read();  // to notice a peer that leaves
                                    } else if (!self->writing_) {
                                        self->armIdle();
                                        self->pump();
                                    }
                                });
    }

    // Runs the complete lines read so far, then sends their replies and reads on.
    void pump() {
        bool silentLine = false;
        while (!inbox_.empty()) {
            const std::size_t end = inbox_.find('\n');
            const std::size_t take = end == std::string::npos ? inbox_.size() : end;
            for (std::size_t i = 0; i < take && !discarding_; ++i) {
                if (line_.size() == scpi::kMaxLineBytes) {
                    client_.status.push({scpi::err::kTooMuchData,
                                         "a line is at most 4096 bytes; the rest of it was "
                                         "discarded"});
                    discarding_ = true;
                    line_.clear();
                } else {
                    line_ += inbox_[i];
                }
            }
            if (end == std::string::npos) {
                inbox_.clear();
                break;
            }
            inbox_.erase(0, end + 1);
            const bool wasDiscarding = discarding_;
            discarding_ = false;
            if (wasDiscarding) {
                line_.clear();
                continue;
            }
            run_ = Instrument::parse(line_);
            line_.clear();
            if (!hub_.instrument.proceed(run_, client_)) {
                startWaiting();
                return;
            }
            if (!finishLine())
                silentLine = true;
        }
        if (silentLine)
            quickAck();
        flush([this] { read(); });
    }

    // Adds the line's replies to what goes out; false when it had none.
    bool finishLine() {
        if (!run_.reply)
            return false;
        replies_ += *run_.reply;
        replies_ += '\n';
        return true;
    }

    void startWaiting() {
        waiting_ = true;
        idle_.cancel();
        flush([this] {
            hub_.instrument.whenSequenceEnds(client_, [weak = weak_from_this()] {
                if (const auto self = weak.lock())
                    self->resume();
            });
            read();
        });
    }

    void resume() {
        if (closed_)
            return;
        if (!hub_.instrument.proceed(run_, client_)) {
            startWaiting();  // another sequence started meanwhile
            return;
        }
        waiting_ = false;
        finishLine();
        armIdle();
        pump();
    }

    // Sends the replies gathered, then goes on. No reading until they are out: a client that
    // never reads cannot make the server pile up its answers.
    void flush(std::function<void()> then) {
        if (replies_.empty()) {
            then();
            return;
        }
        out_ = std::move(replies_);
        replies_.clear();
        writing_ = true;
        asio::async_write(
            socket_, asio::buffer(out_),
            [self = shared_from_this(), then = std::move(then)](std::error_code ec, std::size_t) {
                self->writing_ = false;
                if (ec) {
                    self->drop();
                    return;
                }
                if (!self->waiting_ && !self->inbox_.empty())
                    self->pump();  // read while the replies went out
                else
                    then();
            });
    }

    void drop() {
        if (closed_)
            return;
        close();
        hub_.connections.erase(shared_from_this());
    }

    tcp::socket socket_;
    asio::steady_timer idle_;
    Hub& hub_;
    Client client_;
    std::array<char, 4096> buffer_{};
    std::string inbox_;  // read, not yet run
    std::string line_;
    bool discarding_ = false;  // the rest of a line that was too long
    LineRun run_;
    std::string replies_;
    std::string out_;
    bool reading_ = false;
    bool writing_ = false;
    bool waiting_ = false;  // a line waits for a sequence to end
    bool closed_ = false;
};

class Server {
  public:
    Server(asio::io_context& io, const tcp::endpoint& endpoint, Instrument& instrument,
           std::chrono::seconds idleTimeout)
        : acceptor_(io, endpoint), retry_(io), hub_{instrument, idleTimeout, {}} {}

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

std::string endpointText(const tcp::endpoint& endpoint) {
    const std::string host = endpoint.address().to_string();
    const std::string shown = endpoint.address().is_v6() ? "[" + host + "]" : host;
    return shown + ":" + std::to_string(endpoint.port());
}

}  // namespace

ServeEnd serve(const ServerSettings& settings, asio::io_context& io, Instrument& instrument,
               std::ostream& out, const std::function<void(const std::string&)>& error) {
    const auto address = listenAddress(settings.address);
    if (const auto* why = std::get_if<std::string>(&address)) {
        error(*why);
        return ServeEnd::CannotListen;
    }
#ifdef SIGPIPE
    // A client gone mid-reply, or a closed stdout, is an error to handle, not a reason to die.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::unique_ptr<Server> server;
    try {
        server = std::make_unique<Server>(
            io, tcp::endpoint(std::get<asio::ip::address>(address), settings.port), instrument,
            settings.idleTimeout);
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
        io.stop();  // a running sequence ends with the server
    });

    out << "listening on " << endpointText(server->endpoint()) << std::endl;
    server->accept();
    io.run();
    error("serve stopped by " + std::string(signalName(stoppedBy)) +
          "; every client was disconnected");
    return ServeEnd::Stopped;
}

}  // namespace stepctl::instrument
