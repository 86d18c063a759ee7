// Preloaded into a Qt Widgets program (LD_PRELOAD): when the application object is created it
// installs an event filter; after the first paint of a top-level window has been delivered it
// prints the wall-clock time in nanoseconds and the peak resident set, then ends the process.
// The same probe measures every program, so their figures compare.
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

long peakResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            kib = std::atol(line + 6);
        }
    }
    std::fclose(status);
    return kib;
}

class FirstFrameFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!reported_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            reported_ = true;
            // Once this paint has been flushed to the screen, the frame is shown.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first_frame_ns %lld\npeak_rss_kib %ld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                            peakResidentKiB());
                std::fflush(stdout);
                _exit(0);
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

void installProbe() {
    QCoreApplication::instance()->installEventFilter(new FirstFrameFilter(qApp));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
