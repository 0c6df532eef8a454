// FileCheck's thread: one round of checks at a time, each answer stored as it comes, a round
// given up as soon as the paths it was for are no longer wanted.
#include "platform/file_check.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace velmora {

bool IsFileOnDisk(const std::wstring& path) {
    // A drive with no disk in it answers "no file" instead of showing the system's "insert a
    // disk" dialog at each check. The mode is the process's: set and put back around the call.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    SetErrorMode(mode);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

struct FileCheck::State {
    Check check;
    std::mutex mutex;
    std::condition_variable wake;  // a round is due, or the end
    std::condition_variable done;  // a round is over
    std::vector<std::wstring> wanted;
    unsigned generation = 0;  // counts the changes of `wanted`
    std::map<std::wstring, bool> answers;
    bool roundDue = false;
    bool running = false;
    bool ending = false;

    void Run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return roundDue || ending; });
            if (ending) {
                return;
            }
            roundDue = false;
            try {
                Round(lock);
            } catch (...) {  // out of memory: the answers not stored are asked for again
            }
            running = false;
            done.notify_all();
        }
    }

    // Called and left with the lock held; it throws only while holding it.
    void Round(std::unique_lock<std::mutex>& lock) {
        const std::vector<std::wstring> paths = wanted;
        const unsigned round = generation;
        for (const std::wstring& path : paths) {
            lock.unlock();
            bool isFile = false;
            try {
                isFile = check(path);
            } catch (...) {  // a test's check; the disk's throws nothing
            }
            lock.lock();
            if (ending || round != generation) {
                return;
            }
            answers[path] = isFile;
            if (isFile) {
                return;  // the reading looks no further
            }
        }
    }
};

FileCheck::FileCheck(Check check) : state_(std::make_shared<State>()) {
    state_->check = std::move(check);
}

FileCheck::~FileCheck() {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->ending = true;
    state_->wake.notify_one();
}

void FileCheck::Want(std::vector<std::wstring> paths) {
    if (!started_) {
        // Made at the first question, not with the window: a thread costs the start-up time and
        // most runs never ask. It keeps the state alive for as long as it runs.
        std::thread([state = state_] { state->Run(); }).detach();
        started_ = true;
    }
    std::unique_lock<std::mutex> lock(state_->mutex);
    if (paths != state_->wanted) {
        state_->wanted = std::move(paths);
        state_->answers.clear();
        ++state_->generation;
    }
    // One round at a time: a check that hangs holds up no more than itself.
    if (!state_->running && !state_->wanted.empty()) {
        state_->running = true;
        state_->roundDue = true;
        state_->wake.notify_one();
        // A local disk answers in a few milliseconds: the tick that asks then has its answers
        // (a path just confirmed fires in its second). A slow one is left to the next ticks.
        state_->done.wait_for(lock, std::chrono::milliseconds(kFirstAnswersWaitMs),
                              [this] { return !state_->running; });
    }
}

FileAnswer FileCheck::Ask(const std::wstring& path) {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    const auto answer = state_->answers.find(path);
    if (answer == state_->answers.end()) {
        return FileAnswer::kNotKnownYet;
    }
    return answer->second ? FileAnswer::kFile : FileAnswer::kNoFile;
}

}  // namespace velmora
