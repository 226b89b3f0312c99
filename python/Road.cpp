#include "Road.h"

#include "BoardSession.h"
#include "SelectionState.h"
#include "SendRoutines.h"

namespace stepctl::python {
namespace {

// A fresh selection state and `link` installed, both undone on the way out.
class OnTheRoad {
  public:
    explicit OnTheRoad(BoardLink& link) : installed_(link) { resetSelectionState(); }
    ~OnTheRoad() { resetSelectionState(); }
    OnTheRoad(const OnTheRoad&) = delete;
    OnTheRoad& operator=(const OnTheRoad&) = delete;

  private:
    cli::InstalledLink installed_;
};

}  // namespace

std::mutex& roadLock() {
    static std::mutex lock;
    return lock;
}

SendResult sendOver(BoardLink& link, const cli::SendRequest& request) {
    const OnTheRoad road(link);
    return runSend(cli::sendInputs(request));
}

bool probeOver(BoardLink& link) {
    const OnTheRoad road(link);
    return probeBoard();
}

}  // namespace stepctl::python
