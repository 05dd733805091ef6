#include "support/Tga.h"

#include <fstream>

Bytes tgaBytes(const TgaHeader& h, const Bytes& body) {
    Bytes bytes = {h.idLength, h.colourMapType, h.imageType};
    const auto word = [&bytes](uint16_t value) {
        bytes.push_back(static_cast<uint8_t>(value & 0xff));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    };
    word(h.colourMapFirst);
    word(h.colourMapLength);
    bytes.push_back(h.colourMapEntryBits);
    for (uint16_t value : {h.xOrigin, h.yOrigin, h.width, h.height})
        word(value);
    bytes.push_back(h.depth);
    bytes.push_back(h.descriptor);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

Bytes rgbaPicture(uint16_t width, uint16_t height, const Bytes& rgba) {
    Bytes bgra;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        bgra.insert(bgra.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
    return tgaBytes({2, width, height, 32, 0x20}, bgra);
}

Bytes solidPicture(uint16_t width, uint16_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    Bytes rgba;
    for (int i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), {r, g, b, a});
    return rgbaPicture(width, height, rgba);
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}
