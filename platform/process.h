// Starting a command line as a new process with a given show state, without waiting for it.
// The form takes a CommandRunner, so tests can record the command lines instead of running them.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    // Starts `commandLine` (show state SW_HIDE, SW_SHOWNORMAL, ...) and returns at once.
    // Whether it started is not reported: the program never looks.
    virtual void Run(const std::wstring& commandLine, int showState) = 0;
};

// CreateProcessW; both handles of the new process are closed at once.
class ProcessRunner : public CommandRunner {
  public:
    void Run(const std::wstring& commandLine, int showState) override;
    // The result of the last Run, for tests: whether CreateProcessW succeeded.
    bool LastStarted() const { return lastStarted_; }

  private:
    bool lastStarted_ = false;
};

// Keeps every command line and show state, in order, and starts nothing.
class RecordingRunner : public CommandRunner {
  public:
    struct Call {
        std::wstring commandLine;
        int showState;
    };
    void Run(const std::wstring& commandLine, int showState) override {
        calls.push_back({commandLine, showState});
    }
    std::vector<Call> calls;
};

}  // namespace velmora
