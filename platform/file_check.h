// FileCheck: the 运行 action's file questions answered on a thread of their own. On a sleeping
// share or a mapped drive whose server is gone, one GetFileAttributesW can take tens of seconds;
// the window's thread only ever reads answers that are already in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scheduler/program_start.h"

namespace velmora {

// True when `path` names an existing file: GetFileAttributesW, with critical errors off.
bool IsFileOnDisk(const std::wstring& path);

inline constexpr int kFirstAnswersWaitMs = 200;

class FileCheck : public FileQuery {
  public:
    using Check = std::function<bool(const std::wstring&)>;
    explicit FileCheck(Check check = IsFileOnDisk);
    // Does not wait for a check in flight: its thread ends when that check returns.
    ~FileCheck() override;
    FileCheck(const FileCheck&) = delete;
    FileCheck& operator=(const FileCheck&) = delete;

    // The paths the text in force asks about, in the order the reading asks them
    // (ProgramCandidates). Other paths than last time drop the answers; unless a round is running,
    // one starts: the paths are checked in order, one at a time, up to the first file; with
    // `wait`, it is waited for kFirstAnswersWaitMs at most.
    void Want(std::vector<std::wstring> paths, bool wait);
    // The last answer for `path`, or kNotKnownYet.
    FileAnswer Ask(const std::wstring& path) override;

  private:
    struct State;
    std::shared_ptr<State> state_;  // shared with the thread, which may outlive the object
    bool started_ = false;
};

}  // namespace velmora
