// Synthesises every sound the program reads and writes them as MP3 files into the folder given
// on the command line. The same build always writes the same sounds.
#include "base/Catalogue.h"
#include "soundgen/CrowdVoices.h"
#include "soundgen/ExplosionSounds.h"
#include "soundgen/FireSounds.h"
#include "soundgen/Mp3Writer.h"
#include "soundgen/Music.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

struct SoundFile {
    const char* name;
    int kilobitsPerSecond; // short effects need less than the music
    std::function<Sound()> make;
};

bool writeSound(const std::string& folder, const SoundFile& file) {
    const Sound sound = file.make();
    const std::string path = folder + "/" + file.name;
    if (!writeMp3AtBitrate(path.c_str(), sound.left, sound.right, file.kilobitsPerSecond)) {
        std::printf("soundgen: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("soundgen: %-24s %6.2f s  peak %.2f\n", file.name, sound.seconds(), sound.peak());
    return true;
}

constexpr int webMusicKilobits = 64;

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::printf("usage: soundgen OUTPUT_FOLDER [WEB_FOLDER]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string webFolder = argc == 3 ? argv[2] : "";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!webFolder.empty())
        std::filesystem::create_directories(webFolder, error);
    const auto started = std::chrono::steady_clock::now();

    using catalogue::sampleSounds;
    const SoundFile music = {catalogue::musicSound, 128, makeAdagio};
    const std::vector<SoundFile> effects = {
        {sampleSounds[0], 96, [] { return makeFireStart(0); }},
        {sampleSounds[1], 96, [] { return makeFireStart(1); }},
        {sampleSounds[2], 96, [] { return makeFireStart(2); }},
        {sampleSounds[3], 96, [] { return makeFireStart(3); }},
        {sampleSounds[4], 96, makeFireLoop},
        {sampleSounds[5], 64, [] { return makeDistantExplosion(0); }},
        {sampleSounds[6], 64, [] { return makeDistantExplosion(1); }},
        {sampleSounds[7], 64, [] { return makeDistantExplosion(2); }},
        {sampleSounds[8], 96, [] { return makeCrowdOoo(0); }},
        {sampleSounds[9], 96, [] { return makeCrowdOoo(1); }},
    };

    // The long music takes about as long as all the effects together: it gets a core of its own.
    bool musicWritten = false;
    std::thread musicThread([&] {
        const Sound adagio = music.make();
        musicWritten =
            writeSound(folder, {music.name, music.kilobitsPerSecond, [&] { return adagio; }});
        // The browser's, smaller, so that the whole site fits a phone's connection.
        if (!webFolder.empty())
            musicWritten =
                writeSound(webFolder, {music.name, webMusicKilobits, [&] { return adagio; }}) &&
                musicWritten;
    });
    bool effectsWritten = true;
    for (const SoundFile& file : effects) {
        effectsWritten = writeSound(folder, file) && effectsWritten;
    }
    musicThread.join();

    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::printf("soundgen: %s in %.1f s\n", folder.c_str(), took.count());
    return musicWritten && effectsWritten ? 0 : 1;
}
