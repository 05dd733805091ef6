// SIGINT, SIGTERM and SIGHUP end the program as the signal's default action would, so that a
// shell or a service manager sees it ended by that signal. While a file is being written the end
// waits until the file is whole, but never longer than a second; while a clip is made, until its
// maker has finished it, but never longer than ten seconds.
#pragma once

// At the start. A signal that was ignored when the program started (nohup, a background job)
// stays ignored.
void catchEndingSignals();

// Lives while a file is written: an ending signal meanwhile takes effect when the last one goes.
class WritingFile {
  public:
    WritingFile();
    ~WritingFile();
    WritingFile(const WritingFile&) = delete;
    WritingFile& operator=(const WritingFile&) = delete;
};

// Lives while a file is made frame by frame (a clip): an ending signal meanwhile waits for the
// maker, who sees it in endingSignal, finishes the file and lets this go, which ends the program.
class FinishingFile {
  public:
    FinishingFile();
    ~FinishingFile();
    FinishingFile(const FinishingFile&) = delete;
    FinishingFile& operator=(const FinishingFile&) = delete;
};

// The ending signal that waits, or 0.
int endingSignal();
