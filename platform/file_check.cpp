// FileCheck's thread: one round of checks at a time, each answer stored as it comes, a round
// given up as soon as the paths it was for are no longer wanted.
#include "platform/file_check.h"

#include <windows.h>

#include <map>
#include <memory>

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

namespace {

// An SRW lock held for a scope. Windows' own lock and condition variables rather than the
// standard library's: those bring a threads library that adds a tenth to the program file.
class Exclusive {
  public:
    explicit Exclusive(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Exclusive() { ReleaseSRWLockExclusive(&lock_); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;

  private:
    SRWLOCK& lock_;
};

}  // namespace

struct FileCheck::State {
    Check check;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT;  // a round is due, or the end
    CONDITION_VARIABLE done = CONDITION_VARIABLE_INIT;  // a round is over
    std::vector<std::wstring> wanted;
    unsigned generation = 0;  // counts the changes of `wanted`
    std::map<std::wstring, bool> answers;
    bool roundDue = false;
    bool running = false;
    bool ending = false;

    void Run() {
        const Exclusive held(lock);
        for (;;) {
            while (!roundDue && !ending) {
                SleepConditionVariableSRW(&wake, &lock, INFINITE, 0);
            }
            if (ending) {
                return;
            }
            roundDue = false;
            try {
                Round();
            } catch (...) {  // out of memory: the answers not stored are asked for again
            }
            running = false;
            WakeAllConditionVariable(&done);
        }
    }

    // Called and left with the lock held; it throws only while holding it.
    void Round() {
        const std::vector<std::wstring> paths = wanted;
        const unsigned round = generation;
        for (const std::wstring& path : paths) {
            ReleaseSRWLockExclusive(&lock);
            bool isFile = false;
            try {
                isFile = check(path);
            } catch (...) {  // a test's check; the disk's throws nothing
            }
            AcquireSRWLockExclusive(&lock);
            if (ending || round != generation) {
                return;
            }
            answers[path] = isFile;
            if (isFile) {
                return;  // the reading looks no further
            }
        }
    }

    // The thread's start: it owns one reference to the state, so the state lives as long as
    // the thread does, however long its last check takes after the FileCheck has gone.
    static DWORD WINAPI Thread(void* parameter) {
        const std::unique_ptr<std::shared_ptr<State>> state(
            static_cast<std::shared_ptr<State>*>(parameter));
        (*state)->Run();
        return 0;
    }
};

FileCheck::FileCheck(Check check) : state_(std::make_shared<State>()) {
    state_->check = std::move(check);
}

FileCheck::~FileCheck() {
    const Exclusive held(state_->lock);
    state_->ending = true;
    WakeConditionVariable(&state_->wake);
}

void FileCheck::Want(std::vector<std::wstring> paths, bool wait) {
    if (!started_) {
        // Made at the first question, not with the window: a thread costs the start-up time and
        // most runs never ask. Without one there are no answers, and the next tick tries again.
        auto reference = std::make_unique<std::shared_ptr<State>>(state_);
        const HANDLE thread = CreateThread(nullptr, 0, &State::Thread, reference.get(), 0, nullptr);
        if (thread == nullptr) {
            return;
        }
        reference.release();  // the thread's now
        CloseHandle(thread);
        started_ = true;
    }
    const Exclusive held(state_->lock);
    if (paths != state_->wanted) {
        state_->wanted = std::move(paths);
        state_->answers.clear();
        ++state_->generation;
    }
    // One round at a time: a check that hangs holds up no more than itself.
    if (!state_->running && !state_->wanted.empty()) {
        state_->running = true;
        state_->roundDue = true;
        WakeConditionVariable(&state_->wake);
        // A local disk answers in a few milliseconds: the tick that asks then has its answers
        // (a path just confirmed fires in its second). A slow one is left to the next ticks.
        const ULONGLONG until = GetTickCount64() + (wait ? kFirstAnswersWaitMs : 0);
        for (ULONGLONG now = GetTickCount64(); state_->running && now < until;
             now = GetTickCount64()) {
            SleepConditionVariableSRW(&state_->done, &state_->lock, static_cast<DWORD>(until - now),
                                      0);
        }
    }
}

FileAnswer FileCheck::Ask(const std::wstring& path) {
    const Exclusive held(state_->lock);
    const auto answer = state_->answers.find(path);
    if (answer == state_->answers.end()) {
        return FileAnswer::kNotKnownYet;
    }
    return answer->second ? FileAnswer::kFile : FileAnswer::kNoFile;
}

}  // namespace velmora
