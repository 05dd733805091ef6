// Every picture the program reads from image_data/ and every sound from audio/, by file name.
// The loaders, the generators that make the files, and the build (which reads the quoted file
// names of this header) all take them from here: a new picture or sound is one more line.
#pragma once

#include <string>

namespace catalogue {

constexpr const char* imageFolder = "./image_data/";
constexpr const char* audioFolder = "./audio/";

// Pictures, in the order they are registered.
constexpr const char* facePictures[6][2] = {
    {"face00.tga", "face01.tga"}, {"face10.tga", "face11.tga"}, {"face20.tga", "face21.tga"},
    {"face30.tga", "face31.tga"}, {"face40.tga", "face41.tga"}, {"face50.tga", "face51.tga"}};
constexpr const char* bodyPictures[6] = {"body0.tga", "body1.tga", "body2.tga",
                                         "body3.tga", "body4.tga", "body5.tga"};
constexpr const char* mouthPictures[3] = {"mouth0.tga", "mouth1.tga", "mouth2.tga"};
constexpr const char* gunLeftPicture = "gunhand_left.tga";
constexpr const char* gunRightPicture = "gunhand_right.tga";
constexpr const char* firePictures[5] = {"fire0.tga", "fire1.tga", "fire2.tga", "fire3.tga",
                                         "fire4.tga"};
constexpr const char* lightShaftPicture = "lightShaft.tga";
constexpr const char* selectedPicture = "selected.tga";
constexpr const char* hallPicture = "theHall.tga";
constexpr const char* floorPicture = "floorplane.tga";
constexpr const char* titlePicture = "titlescreen.tga";
constexpr const char* optionCardPicture = "optionCard.tga";

// Sounds: the samples in the sound bank's numbering, then the music.
constexpr const char* sampleSounds[10] = {"firestart01.mp3",
                                          "firestart02.mp3",
                                          "firestart03.mp3",
                                          "firestart04.mp3",
                                          "fireloop.mp3",
                                          "distantExplosion01.mp3",
                                          "distantExplosion02.mp3",
                                          "distantExplosion03.mp3",
                                          "ooo_01.mp3",
                                          "ooo_02.mp3"};
constexpr const char* musicSound = "adagio_vocal.mp3";

inline std::string imagePath(const char* file) {
    return std::string(imageFolder) + file;
}
inline std::string soundPath(const char* file) {
    return std::string(audioFolder) + file;
}

} // namespace catalogue
