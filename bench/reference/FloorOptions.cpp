#include "FloorOptions.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Usage(const char* usage) {
    std::fprintf(stderr, "usage: %s\n", usage);
    std::exit(1);
}

}  // namespace

FloorOptions FloorOptions::Parse(int argc, char** argv, const char* usage, bool takesBeat) {
    FloorOptions options;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) Usage(usage);
        const QByteArray name(argv[i]);
        char end = '\0';
        if (name == "--size") {
            int width = 0;
            int height = 0;
            if (std::sscanf(argv[i + 1], "%dx%d%c", &width, &height, &end) != 2 || width < 1 || height < 1)
                Usage(usage);
            options.size = {width, height};
        } else if (name == "--beat" && takesBeat) {
            int beat = -1;
            if (std::sscanf(argv[i + 1], "%d%c", &beat, &end) != 1 || beat < 0 || beat > 1) Usage(usage);
            options.beat = beat;
        } else {
            Usage(usage);
        }
    }
    return options;
}
