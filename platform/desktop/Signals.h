// SIGINT, SIGTERM and SIGHUP end the program as the signal's default action would, so that a
// shell or a service manager sees it ended by that signal. While a file is being written the end
// waits until the file is whole, but never longer than a second.
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
