#pragma once

#include <QSize>

// The command line of the floor programs: the window's size and, for the one
// that draws, the clock's beat it keeps.
struct FloorOptions {
    QSize size{510, 150};
    int beat = 0;  // 0: every second, 1: every 4 seconds

    // Reads [--size WIDTHxHEIGHT] and, where takesBeat, [--beat 0|1]; prints
    // the usage and exits on anything else.
    static FloorOptions Parse(int argc, char** argv, const char* usage, bool takesBeat);
};
