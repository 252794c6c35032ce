// The floor that the clock is measured against: a Qt Widgets program that
// shows one empty window of the clock's size and reads the local time on a
// 100 ms timer, the polling the clock's beat needs, and does nothing else.
//
//   kivra-reference [--size WIDTHxHEIGHT]     (510x150 by default)

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Reads the local time as framework/values/Date.cpp does, so the floor pays what
// the clock pays for it: the zone is looked at again (tzset, which stats
// the zone file) at most once a second, decided by a coarse monotonic
// clock that costs no system call, then std::time and localtime_r.
// QTime::currentTime() would call tzset on every tick.
int LocalSecond() {
    static std::time_t lastZoneCheck = -1;
    timespec coarse{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &coarse);
    if (coarse.tv_sec != lastZoneCheck) {
        lastZoneCheck = coarse.tv_sec;
        tzset();
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return -1;
    return local.tm_sec;
}

[[noreturn]] void Usage() {
    std::fprintf(stderr, "usage: kivra-reference [--size WIDTHxHEIGHT]\n");
    std::exit(1);
}

QSize ParseSize(int argc, char** argv) {
    QSize size(510, 150);
    if (argc == 1) return size;
    int width = 0;
    int height = 0;
    char end = '\0';
    if (argc != 3 || QByteArray(argv[1]) != "--size" || std::sscanf(argv[2], "%dx%d%c", &width, &height, &end) != 2 ||
        width < 1 || height < 1)
        Usage();
    return {width, height};
}

}  // namespace

int main(int argc, char** argv) {
    // As framework/app/Runtime.cpp sets it for the clock: without X shared
    // memory the window's backing store is the program's own anonymous
    // memory, so RssAnon compares like with like at every window size.
    setenv("QT_XCB_NO_MITSHM", "1", 0);
    QApplication app(argc, argv);
    const QSize size = ParseSize(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kivra reference"));
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(10, 40, size.width(), size.height());
    window.show();

    // The time read is kept so the compiler cannot drop the reading.
    [[maybe_unused]] static volatile int lastSecond = -1;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [] { lastSecond = LocalSecond(); });
    timer.start(100);

    return app.exec();
}
