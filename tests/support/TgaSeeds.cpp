// Writes the fuzzer's own seed pictures into the folder given: small files of the layouts the
// generated pictures leave out (grey, an ID field with a colour map, mixed run-length packets, an
// empty picture).
#include "support/Tga.h"

#include <string>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::string folder = std::string(argv[1]) + "/";
    // An ID of 3 bytes and a colour map of two 15-bit entries.
    writeFile(folder + "mapped.tga", tgaBytes({2, 1, 1, 24, 0, 3, 1, 0, 2, 15},
                                              {'a', 'b', 'c', 0, 0x7c, 0xe0, 3, 1, 2, 3}));
    writeFile(folder + "grey.tga", tgaBytes({3, 3, 2, 8, 0}, {0, 1, 0x7f, 0x80, 0xfe, 0xff}));
    writeFile(folder + "packets.tga",
              tgaBytes({10, 3, 2, 32, 0}, {1, 10, 10, 10, 255, 20, 20, 20, 255, 0x82, 30, 30, 30}));
    writeFile(folder + "empty.tga", tgaBytes({2, 0, 0, 24, 0}));
    return 0;
}
