#include "visit/Recording.h"

#include "interaction/InputController.h"

#include <GL/glut.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr size_t longestLine = 200; // characters, without the line end
// What a recording may hold, so that reading one takes bounded memory (about 400 MB at most) and
// time: 16777216 lines are a day and a half at 60 frames a second with a pointer move in each.
constexpr size_t mostLines = size_t{1} << 24;
constexpr size_t readBlock = 65536; // bytes read from the file at once
constexpr const char* formatName = "throngwick-visit";
// The frame clock counts on past GLUT's 32 bits; the largest whole number a double holds exactly.
constexpr int64_t largestClockMs = 9007199254740991;
constexpr int64_t largestCoordinate = 32767; // X reports window coordinates in 16 bits
constexpr size_t mostWords = 6;

struct EventFormat {
    const char* word;
    size_t numbers;      // 2: X Y (or W H); 3: CODE X Y; 4: BUTTON STATE X Y
    int64_t largestCode; // the button or key code's range starts at 0
    const char* usage;
};
// In EventKind's order.
const EventFormat eventFormats[] = {
    {"reshape", 2, 0, "reshape W H' (W and H from 0 to 8192)"},
    {"mouse", 4, 31,
     "mouse BUTTON STATE X Y' (BUTTON 0 to 31, STATE 0 or 1, X and Y -32768 to 32767)"},
    {"drag", 2, 0, "drag X Y' (X and Y -32768 to 32767)"},
    {"move", 2, 0, "move X Y' (X and Y -32768 to 32767)"},
    {"key", 3, 255, "key CODE X Y' (CODE 0 to 255, X and Y -32768 to 32767)"},
    {"keyup", 3, 255, "keyup CODE X Y' (CODE 0 to 255, X and Y -32768 to 32767)"},
    {"special", 3, 65535, "special CODE X Y' (CODE 0 to 65535, X and Y -32768 to 32767)"},
    {"specialup", 3, 65535, "specialup CODE X Y' (CODE 0 to 65535, X and Y -32768 to 32767)"}};

// Digits with an optional minus sign, nothing else.
bool parseInteger(std::string_view text, int64_t smallest, int64_t largest, int64_t& value) {
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    // Sixteen digits hold the largest clock and cannot overflow 64 bits.
    if (text.empty() || text.size() > 16)
        return false;
    int64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    number = negative ? -number : number;
    if (number < smallest || number > largest)
        return false;
    value = number;
    return true;
}

// The writer prints nine significant digits, which read back to the very same float.
bool parseLevel(std::string_view text, float& level) {
    char buffer[40];
    if (text.empty() || text.size() >= sizeof buffer)
        return false;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    char* end = nullptr;
    const float value = std::strtof(buffer, &end);
    if (end != buffer + text.size() || !(value >= 0.0f && value <= 1.0f))
        return false;
    level = value;
    return true;
}

bool printable(std::string_view word) {
    return word.size() <= 20 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c > ' ' && c < 127; });
}

class Parser {
  public:
    Parser(const std::string& fileName, Recording& target, std::string& problem)
        : name(fileName), recording(target), error(problem) {
        recording = Recording();
    }

    bool tooLong() {
        if (stage == 0) // no recording begins so
            return failAt(1, notARecording());
        return failAt(lineNumber + 1, "line longer than 200 characters");
    }

    bool line(std::string_view text) {
        if (++lineNumber > mostLines)
            return fail("the recording goes on past " + std::to_string(mostLines) +
                        " lines, more than this program replays");
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        splitWords(text);
        if (stage > 0 && (wordCount == 0 || words[0][0] == '#'))
            return true; // blank lines and comments, after the first line
        switch (stage) {
        case 0:
            return readVersion();
        case 1:
            return readHeader("seed", "seed N' (N from 0 to 4294967295)", 1, 4294967295);
        case 2:
            return readHeader("window", "window W H' (W and H from 1 to 8192)", 2,
                              largestWindowSide);
        case 3:
            return readHeader("start", "start MS' (MS from 0 to 9007199254740991)", 1,
                              largestClockMs);
        default:
            return words[0] == "frame" ? readFrame() : readEvent();
        }
    }

    // The text as it comes, cut anywhere: whole lines go on to line(), a started one waits.
    bool feed(std::string_view text) {
        while (!text.empty()) {
            const size_t end = text.find('\n');
            const std::string_view piece = text.substr(0, end);
            if (started.size() + piece.size() > longestLine)
                return tooLong();
            if (end == std::string_view::npos) {
                started.append(piece);
                return true;
            }
            text.remove_prefix(end + 1);
            if (started.empty()) {
                if (!line(piece))
                    return false;
                continue;
            }
            started.append(piece);
            const bool read = line(started);
            started.clear();
            if (!read)
                return false;
        }
        return true;
    }

    bool finish() {
        // A last line without its end was cut short.
        if (recording.frames.empty())
            return failAt(lineNumber + 1, "the recording ends before its first whole frame");
        recording.events.resize(recording.frames.back().endEvent);
        return true;
    }

  private:
    const std::string& name;
    Recording& recording;
    std::string& error;
    std::string started; // a line whose end has not come yet
    size_t lineNumber = 0;
    int32_t stage = 0; // the header's lines read so far
    std::string_view words[mostWords + 1];
    size_t wordCount = 0;
    int64_t lastClockMs = 0;
    int32_t width = 0;  // the window now
    int32_t height = 0; // the window now
    // The pointer moves of the frame being read (event index, line), checked at its end against
    // the largest window the frame saw: GLUT may report a move before the reshape that allows it.
    std::vector<std::pair<size_t, size_t>> frameMoves;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;

    static std::string notARecording() {
        return "not a visit recording: it should begin with 'throngwick-visit " +
               std::to_string(recordingVersion) + "'";
    }

    bool failAt(size_t line, const std::string& problem) {
        error = name + ":" + std::to_string(line) + ": " + problem;
        return false;
    }
    bool fail(const std::string& problem) { return failAt(lineNumber, problem); }
    bool malformed(const char* usage) {
        return fail(std::string("malformed line, wants '") + usage);
    }

    void splitWords(std::string_view text) {
        wordCount = 0;
        words[0] = {};
        size_t at = 0;
        while (wordCount <= mostWords) {
            at = text.find_first_not_of(" \t", at);
            if (at == std::string_view::npos)
                return;
            const size_t end = std::min(text.find_first_of(" \t", at), text.size());
            words[wordCount++] = text.substr(at, end - at);
            at = end;
        }
    }

    // The numbers after the line's word.
    bool numbers(size_t count, const int64_t* smallest, const int64_t* largest, int64_t* values) {
        if (wordCount != count + 1)
            return false;
        for (size_t i = 0; i < count; ++i)
            if (!parseInteger(words[i + 1], smallest[i], largest[i], values[i]))
                return false;
        return true;
    }

    bool readVersion() {
        int64_t version = 0;
        if (wordCount != 2 || words[0] != formatName ||
            !parseInteger(words[1], 0, largestClockMs, version))
            return fail(notARecording());
        if (version < 1 || version > recordingVersion)
            return fail("format version " + std::to_string(version) +
                        " is not known; this program reads versions 1 to " +
                        std::to_string(recordingVersion));
        recording.version = static_cast<int32_t>(version);
        ++stage;
        return true;
    }

    bool readHeader(const char* word, const char* usage, size_t count, int64_t largest) {
        if (words[0] != word)
            return fail(std::string("expected '") + usage);
        const int64_t smallest = stage == 2 ? 1 : 0;
        const int64_t smallests[] = {smallest, smallest};
        const int64_t largests[] = {largest, largest};
        int64_t values[2] = {};
        if (!numbers(count, smallests, largests, values))
            return malformed(usage);
        if (stage == 1) {
            recording.seed = static_cast<uint32_t>(values[0]);
        } else if (stage == 2) {
            recording.width = width = frameWidth = static_cast<int32_t>(values[0]);
            recording.height = height = frameHeight = static_cast<int32_t>(values[1]);
        } else {
            recording.startMs = lastClockMs = values[0];
        }
        ++stage;
        return true;
    }

    bool readFrame() {
        const char* const usage = "frame MS LEVEL' or 'frame MS LEVEL hidden' (MS from 0 to "
                                  "9007199254740991, LEVEL from 0 to 1)";
        RecordedFrame frame;
        int64_t clock = 0;
        const bool hidden = wordCount == 4 && words[3] == "hidden";
        if ((wordCount != 3 && !hidden) || !parseInteger(words[1], 0, largestClockMs, clock) ||
            !parseLevel(words[2], frame.level))
            return malformed(usage);
        if (clock < lastClockMs)
            return fail("the clock goes back from " + std::to_string(lastClockMs) + " to " +
                        std::to_string(clock) + " ms");
        for (const auto& [index, line] : frameMoves) {
            const RecordedEvent& move = recording.events[index];
            if (move.x < 0 || move.y < 0 || move.x >= frameWidth || move.y >= frameHeight)
                return failAt(line, "the pointer at (" + std::to_string(move.x) + ", " +
                                        std::to_string(move.y) + ") lies outside the " +
                                        std::to_string(frameWidth) + "x" +
                                        std::to_string(frameHeight) + " window");
        }
        frameMoves.clear();
        frameWidth = width;
        frameHeight = height;
        lastClockMs = frame.clockMs = clock;
        frame.displayed = !hidden;
        frame.endEvent = recording.events.size();
        recording.frames.push_back(frame);
        return true;
    }

    bool readEvent() {
        const auto format =
            std::find_if(std::begin(eventFormats), std::end(eventFormats),
                         [this](const EventFormat& f) { return words[0] == f.word; });
        if (format == std::end(eventFormats))
            return fail(printable(words[0]) ? "unknown record '" + std::string(words[0]) + "'"
                                            : std::string("unknown record"));
        RecordedEvent event;
        event.kind = static_cast<EventKind>(format - std::begin(eventFormats));
        const bool reshape = event.kind == EventKind::Reshape;
        const int64_t lowest = reshape ? 0 : -largestCoordinate - 1;
        const int64_t highest = reshape ? largestWindowSide : largestCoordinate;
        // The code and the state come first where the kind has them.
        const size_t count = format->numbers;
        int64_t smallest[4] = {};
        int64_t largest[4] = {};
        size_t at = 0;
        if (count >= 3)
            largest[at++] = format->largestCode;
        if (count == 4)
            largest[at++] = 1;
        for (; at < count; ++at) {
            smallest[at] = lowest;
            largest[at] = highest;
        }
        int64_t values[4] = {};
        if (!numbers(count, smallest, largest, values))
            return malformed(format->usage);
        event.code = count >= 3 ? static_cast<int32_t>(values[0]) : 0;
        event.state = count == 4 ? static_cast<int32_t>(values[1]) : 0;
        event.x = static_cast<int32_t>(values[count - 2]);
        event.y = static_cast<int32_t>(values[count - 1]);
        if (event.kind == EventKind::Move)
            frameMoves.emplace_back(recording.events.size(), lineNumber);
        // A minimised window's size of 0 leaves the view as it was.
        if (reshape && event.x > 0 && event.y > 0) {
            width = event.x;
            height = event.y;
            frameWidth = std::max(frameWidth, width);
            frameHeight = std::max(frameHeight, height);
        }
        recording.events.push_back(event);
        return true;
    }
};

} // namespace

bool parseRecording(const char* text, size_t size, const std::string& name, Recording& recording,
                    std::string& error) {
    Parser parser(name, recording, error);
    return parser.feed(std::string_view(text, size)) && parser.finish();
}

bool readRecording(const std::string& path, Recording& recording, std::string& error) {
    // Block by block: what is held is the recording read so far, never the file's own size.
    FILE* const file = std::fopen(path.c_str(), "rb");
    Parser parser(path, recording, error);
    std::vector<char> block(file ? readBlock : 0);
    bool read = true;
    for (size_t got = 0; read && file && (got = std::fread(block.data(), 1, block.size(), file));)
        read = parser.feed(std::string_view(block.data(), got));
    if (!file || std::ferror(file)) {
        error = path + ": cannot read it: " + std::strerror(errno);
        read = false;
    } else if (read) {
        read = parser.finish();
    }
    if (file)
        std::fclose(file);
    return read;
}

RecordingWriter::~RecordingWriter() {
    if (file != nullptr)
        std::fclose(file);
    // A program that never started leaves no file of its own behind.
    if (created && !started)
        std::remove(path.c_str());
}

bool RecordingWriter::open(const std::string& filePath, std::string& error) {
    // Opened, not emptied: what the file holds stays until the visit starts.
    int descriptor = ::open(filePath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    created = descriptor >= 0;
    if (!created && errno == EEXIST)
        descriptor = ::open(filePath.c_str(), O_WRONLY | O_CLOEXEC);
    file = descriptor < 0 ? nullptr : fdopen(descriptor, "w");
    if (file == nullptr) {
        error = filePath + ": cannot write it: " + std::strerror(errno);
        if (descriptor >= 0)
            close(descriptor);
        return false;
    }
    std::error_code ignored;
    path = std::filesystem::absolute(filePath, ignored).string(); // the working folder changes
    return true;
}

void RecordingWriter::writeHeader(uint32_t seed, int32_t width, int32_t height, int64_t startMs) {
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) &&
        ftruncate(fileno(file), 0) != 0)
        std::perror("throngwick: cannot empty the recording");
    started = true;
    std::fprintf(file, "%s %d\nseed %u\nwindow %d %d\nstart %lld\n", formatName, recordingVersion,
                 seed, width, height, static_cast<long long>(startMs));
    std::fflush(file);
}

void RecordingWriter::writeEvent(const RecordedEvent& event) {
    const EventFormat& format = eventFormats[static_cast<size_t>(event.kind)];
    if (format.numbers == 4)
        std::fprintf(file, "%s %d %d %d %d\n", format.word, event.code, event.state, event.x,
                     event.y);
    else if (format.numbers == 3)
        std::fprintf(file, "%s %d %d %d\n", format.word, event.code, event.x, event.y);
    else
        std::fprintf(file, "%s %d %d\n", format.word, event.x, event.y);
}

bool RecordingWriter::writeFrame(int64_t clockMs, float level, bool displayed, std::string& error) {
    std::fprintf(file, "frame %lld %.9g%s\n", static_cast<long long>(clockMs),
                 static_cast<double>(level), displayed ? "" : " hidden");
    if (std::fflush(file) != 0 || std::ferror(file)) {
        error = path + ": cannot write it: " + std::strerror(errno);
        return false;
    }
    return true;
}

bool actedIn(int32_t version, const RecordedEvent& event) {
    const int32_t key = event.code;
    if (version < 3 && event.kind == EventKind::Special)
        return key < GLUT_KEY_LEFT || key > GLUT_KEY_DOWN;
    if (version >= 3 || event.kind != EventKind::Key)
        return true;
    if (key == enterKey || key == spaceKey)
        return false;
    return version >= 2 || (key != 'm' && key != 'M' && key != 'p' && key != 'P');
}
