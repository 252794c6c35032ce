// The floor that the clock is measured against: a Qt Widgets program that
// shows one small empty window and reads the current time on a 100 ms
// timer, the polling the clock's beat needs, and does nothing else.

#include <QApplication>
#include <QTime>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kivra reference"));
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.setGeometry(10, 40, 510, 150);
    window.show();

    // The time read is kept so the compiler cannot drop the reading.
    [[maybe_unused]] static volatile int lastSecond = -1;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [] { lastSecond = QTime::currentTime().second(); });
    timer.start(100);

    return app.exec();
}
