// Paints every picture the program reads into the folder given on the command line.
#include "BodyPictures.h"
#include "EffectPictures.h"
#include "FacePictures.h"
#include "HallPictures.h"
#include "IconPicture.h"
#include "PngWriter.h"
#include "ScreenPictures.h"
#include "TextPainter.h"
#include "TgaWriter.h"
#include "base/Catalogue.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

struct PictureJob {
    std::string file;
    TgaFormat format;
    std::function<Raster()> paint;
};

// The pictures are written in every layout the program's reader takes, so its own assets
// exercise all of them.
constexpr TgaFormat runTop32{true, true, 32};
constexpr TgaFormat runBottom32{true, false, 32};
constexpr TgaFormat plainTop32{false, true, 32};
constexpr TgaFormat plainBottom32{false, false, 32};
constexpr TgaFormat runTop24{true, true, 24};
constexpr TgaFormat runBottom24{true, false, 24};
constexpr TgaFormat plainBottom24{false, false, 24};

std::vector<PictureJob> pictureJobs(const Raster& hall, TextPainter& bold, TextPainter& regular) {
    using namespace catalogue;
    std::vector<PictureJob> jobs;
    jobs.push_back({titlePicture, runBottom24,
                    [&] { return paintTitle(hall, bold, regular, "Click to enter the hall"); }});
    for (int kind = 0; kind < 6; ++kind) {
        for (int variant = 0; variant < 2; ++variant) {
            const TgaFormat format = (kind + variant) % 2 == 0 ? runTop32 : plainBottom32;
            jobs.push_back(
                {facePictures[kind][variant], format, [=] { return paintFace(kind, variant); }});
        }
        const TgaFormat bodyFormat = kind % 2 == 0 ? runBottom32 : plainTop32;
        jobs.push_back({bodyPictures[kind], bodyFormat, [=] { return paintBody(kind); }});
    }
    for (int kind = 0; kind < 3; ++kind) {
        const TgaFormat format = kind == 1 ? runBottom32 : plainTop32;
        jobs.push_back({mouthPictures[kind], format, [=] { return paintMouth(kind); }});
    }
    jobs.push_back({gunLeftPicture, runTop32, [] { return paintGunHand(true); }});
    jobs.push_back({gunRightPicture, plainBottom32, [] { return paintGunHand(false); }});
    for (int frame = 0; frame < 5; ++frame) {
        const TgaFormat format = frame % 2 == 0 ? runTop32 : runBottom32;
        jobs.push_back({firePictures[frame], format, [=] { return paintFire(frame); }});
    }
    jobs.push_back({lightShaftPicture, plainBottom32, [] { return paintLightShaft(); }});
    jobs.push_back({selectedPicture, runTop32, [] { return paintSelected(); }});
    jobs.push_back({hallPicture, runTop24, [&] { return hall; }});
    jobs.push_back({floorPicture, plainBottom24, [] { return paintFloor(); }});
    jobs.push_back(
        {optionCardPicture, runBottom32, [&] { return paintOptionCard(bold, regular); }});
    return jobs;
}

// The browser version's own pictures, beside those the program reads: the title a touch screen
// shows, in the desktop title's layout, and the icon in the sizes a phone's home screen asks for.
bool paintWebPictures(const std::filesystem::path& folder, const Raster& hall, TextPainter& bold,
                      TextPainter& regular) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const Raster icon = paintIcon();
    Raster large(512, 512);
    large.compositeScaled(icon, 2.0f, 1.0f, Blend::Over);
    Raster fine(768, 768); // three times larger, then averaged down to 192
    fine.compositeScaled(icon, 3.0f, 1.0f, Blend::Over);
    return TgaWriter::write((folder / "titlescreen-tap.tga").string(),
                            paintTitle(hall, bold, regular, "Tap to enter the hall"),
                            runBottom24) &&
           PngWriter::write((folder / "throngwick-192.png").string(), fine.downsampled(4)) &&
           PngWriter::write((folder / "throngwick-512.png").string(), large);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: imagegen <output folder> [<icon.png> [<web folder>]]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    TextPainter bold(IMAGEGEN_FONT_BOLD);
    TextPainter regular(IMAGEGEN_FONT_REGULAR);
    if (!bold.ready() || !regular.ready()) {
        std::fprintf(stderr, "imagegen: cannot open the fonts %s and %s\n", IMAGEGEN_FONT_BOLD,
                     IMAGEGEN_FONT_REGULAR);
        return 1;
    }

    // The title screen shows the hall too, so the backdrop is painted once for both.
    const Raster hall = paintHall();
    const std::vector<PictureJob> jobs = pictureJobs(hall, bold, regular);
    for (const PictureJob& job : jobs) {
        const std::string path = (folder / job.file).string();
        if (!TgaWriter::write(path, job.paint(), job.format)) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (argc >= 3 && !PngWriter::write(argv[2], paintIcon())) {
        std::fprintf(stderr, "imagegen: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc == 4 && !paintWebPictures(argv[3], hall, bold, regular)) {
        std::fprintf(stderr, "imagegen: cannot write the web's pictures in %s\n", argv[3]);
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("imagegen: %zu pictures in %s (%.2f s)\n", jobs.size(), folder.string().c_str(),
                seconds);
    return 0;
}
