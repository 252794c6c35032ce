// The floor that the clock is measured against: a Qt Widgets program that
// shows one empty window of the clock's size and reads the local time on a
// 100 ms timer, the polling the clock's beat needs, and does nothing else.
//
//   kivra-reference [--size WIDTHxHEIGHT]     (510x150 by default)

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <ctime>

#include "FloorOptions.h"
#include "LocalTime.h"

int main(int argc, char** argv) {
    // As framework/app/Runtime.cpp sets it for the clock: without X shared
    // memory the window's backing store is the program's own anonymous
    // memory, so RssAnon compares like with like at every window size.
    setenv("QT_XCB_NO_MITSHM", "1", 0);
    QApplication app(argc, argv);
    const FloorOptions options = FloorOptions::Parse(argc, argv, "kivra-reference [--size WIDTHxHEIGHT]", false);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kivra reference"));
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(10, 40, options.size.width(), options.size.height());
    window.show();

    // The time read is kept so the compiler cannot drop the reading.
    [[maybe_unused]] static volatile int lastSecond = -1;
    QTimer timer;
    // The clock's timer type: a coarse timer wakes at other moments and
    // costs differently.
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [] {
        std::tm local{};
        lastSecond = ReadLocalTime(local) ? local.tm_sec : -1;
    });
    timer.start(100);

    return app.exec();
}
