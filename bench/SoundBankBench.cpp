// The sound bank's costs on the GLUT thread: start-up with and without the sound files, starting
// the music (which must not stall a frame: target under 2 ms) and the per-person level query.
// Run from <build>/run, where ./audio/ holds the generated sounds.
#include "assets/SoundBank.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const char* const musicPath = "./audio/adagio_vocal.mp3";

struct InitResult {
    double seconds;
    int32_t samplesLoaded;
};

// The bank opens its output once per process, so each start-up is timed in a fresh child.
InitResult timeInitInChild(const fs::path& folder) {
    InitResult result{-1.0, 0};
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return result;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (chdir(folder.c_str()) == 0) {
            const auto start = std::chrono::steady_clock::now();
            SoundBank& bank = SoundBank::instance();
            bank.init();
            result.seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            for (const uint32_t handle : bank.samples) {
                result.samplesLoaded += handle != 0 ? 1 : 0;
            }
        }
        const ssize_t written = write(pipeEnds[1], &result, sizeof result);
        _exit(written == sizeof result ? 0 : 1);
    }
    close(pipeEnds[1]);
    if (child > 0 && read(pipeEnds[0], &result, sizeof result) != sizeof result) {
        result.seconds = -1.0;
    }
    close(pipeEnds[0]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
    return result;
}

void timeInit(benchmark::State& state, const fs::path& folder) {
    int32_t loaded = 0;
    for (auto _ : state) {
        const InitResult result = timeInitInChild(folder);
        if (result.seconds < 0.0) {
            state.SkipWithError("the timing child failed");
            return;
        }
        state.SetIterationTime(result.seconds);
        loaded = result.samplesLoaded;
    }
    state.counters["samples"] = loaded;
}

void BM_InitWithSamples(benchmark::State& state) {
    if (!fs::exists("./audio/firestart01.mp3")) {
        state.SkipWithError("no ./audio/ here: run from <build>/run after the sound generator");
        return;
    }
    timeInit(state, fs::current_path());
}
BENCHMARK(BM_InitWithSamples)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_InitWithoutAudioFolder(benchmark::State& state) {
    std::string pattern = (fs::temp_directory_path() / "soundbench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    timeInit(state, pattern);
    fs::remove_all(pattern);
}
BENCHMARK(BM_InitWithoutAudioFolder)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// These two open the output in this process, so they come after the forking ones.
void BM_PlayMusic(benchmark::State& state) {
    SoundBank& bank = SoundBank::instance();
    bank.init();
    bank.playMusic(musicPath);
    if (bank.musicStream == 0) {
        state.SkipWithError("no music stream: no audio output, or no ./audio/adagio_vocal.mp3");
        return;
    }
    for (auto _ : state) {
        bank.playMusic(musicPath);
    }
    benchmark::DoNotOptimize(bank.musicStream);
}
BENCHMARK(BM_PlayMusic)->Unit(benchmark::kMicrosecond);

void BM_MusicLevel(benchmark::State& state) {
    SoundBank& bank = SoundBank::instance();
    bank.init();
    bank.playMusic(musicPath);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bank.musicLevel());
    }
}
BENCHMARK(BM_MusicLevel);

} // namespace

int main(int argc, char** argv) {
    // Without a sound device the bank would stay silent and there would be nothing to time.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
