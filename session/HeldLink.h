// A chip held open between settings, as a bench instrument holds its port: opened and set to
// bit-bang mode and the rate on first use, then one write per setting. A failure closes it, so
// the next setting opens it afresh (an unplugged and replugged board is picked up again).
#pragma once

#include "BoardLink.h"
#include "Exchange.h"

namespace stepctl::session {

class HeldLink {
  public:
    explicit HeldLink(BoardLink& link) : link_(link) {}
    ~HeldLink() { release(); }
    HeldLink(const HeldLink&) = delete;
    HeldLink& operator=(const HeldLink&) = delete;

    // One frame. Opens and configures the chip first when it is not held. As with the panel's
    // exchange, a failed mode or rate call does not stop the write (the chip takes it), but it
    // is reported and the chip is let go.
    SendOutcome write(FrameKind kind, const Frame& frame);

    // Held: the board answered the last exchange. Otherwise the probe's open and close.
    LinkStatus probe();

    // Closes the chip when it is held; the status of that close.
    LinkStatus release();

    bool held() const { return open_; }
    BoardLink& link() const { return link_; }

  private:
    BoardLink& link_;
    bool open_ = false;
};

}  // namespace stepctl::session
