// The floor that does the clock's visible work: a plain Qt program with the
// clock's timer that, on the clock's beat, repaints the squares of a face of
// the clock's size that changed and sets a 128 x 128 window icon of it.
//
//   kivra-fair-floor [--size WIDTHxHEIGHT] [--beat 0|1]
//                    (510x150 and 0, a new face every second, by default;
//                     1: every 4 seconds)

#include <QApplication>

#include <cstdlib>

#include "FloorFace.h"
#include "FloorOptions.h"

int main(int argc, char** argv) {
    // As for the clock and the reference: the backing store stays out of X
    // shared memory and in the program's own anonymous memory.
    setenv("QT_XCB_NO_MITSHM", "1", 0);
    QApplication app(argc, argv);
    const FloorOptions options =
        FloorOptions::Parse(argc, argv, "kivra-fair-floor [--size WIDTHxHEIGHT] [--beat 0|1]", true);

    FloorFace face(options.size, options.beat);
    face.show();
    return app.exec();
}
