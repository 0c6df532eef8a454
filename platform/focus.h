// Keyboard focus among a window's controls: Tab and Shift+Tab step through the stops in the
// order given (independent of the windows' stacking order, which decides pointer input), and
// the arrow keys move the selection within the option-button group, which is one stop.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace velmora {

class FocusCycle {
  public:
    // Appends a stop; `isStop` says whether it is one at the moment (e.g. only the selected
    // option button of a group).
    void AddStop(HWND window, std::function<bool()> isStop = {});
    // The option buttons among which the arrow keys move, in the order they move.
    void SetOptionGroup(std::vector<HWND> options);

    // The first window that is a stop now, or null.
    HWND First() const;
    // The stop after (or before) the one that holds `focus`, wrapping around.
    HWND Next(HWND focus, bool backwards) const;

    // Handles Tab, Shift+Tab and the arrow keys in the option group; true when `msg` was
    // used and must not be dispatched.
    bool PreTranslate(const MSG& msg);

  private:
    struct Stop {
        HWND window;
        std::function<bool()> isStop;
    };
    int IndexHolding(HWND focus) const;
    bool IsStopNow(const Stop& stop) const;

    std::vector<Stop> stops_;
    std::vector<HWND> options_;
};

}  // namespace velmora
