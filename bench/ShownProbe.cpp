// Preloaded into a Qt program (LD_PRELOAD), ends the process with status 0 as soon as its first
// window has been exposed and painted, so that the time of the whole process is the time from
// exec to the window on screen. The program itself is not changed.
//
// It registers a start-up routine that Qt calls when the application object is made, and
// watches for the first Expose event of a shown window. The window paints itself while it
// handles that event; the exit is queued behind it. If nothing is shown within ten seconds the
// process ends with status 3.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstExpose : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !seen_) {
            const auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window->isExposed()) {
                seen_ = true;
                QTimer::singleShot(0, [] {
                    std::fflush(nullptr);
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

  private:
    bool seen_ = false;
};

void watchForFirstWindow() {
    QCoreApplication::instance()->installEventFilter(new FirstExpose);
    QTimer::singleShot(10000, [] {
        std::fputs("shown probe: no window shown within 10 s\n", stderr);
        std::_Exit(3);
    });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(watchForFirstWindow)
