// The queries over a control table: containers, stacking, the pointer hit test, the tab order.
#include "ui/control_table.h"

#include <algorithm>

namespace velmora {

namespace {

using K = ControlKind;

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case K::kPictureBox:
        case K::kComboBox:
        case K::kOptionButton:
        case K::kTextBox:
        case K::kCommandButton:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IsContainer(ControlKind kind) {
    return kind == K::kFrame || kind == K::kPictureBox;
}

bool IsWindowed(ControlKind kind) {
    return kind != K::kLabel && kind != K::kShape && kind != K::kTimer;
}

int FindControl(const ControlTable& controls, std::wstring_view name, int index) {
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].name == name && controls[i].index == index) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ContainerOf(const ControlTable& controls, int control) {
    const ControlSpec& spec = controls.at(control);
    if (spec.containerName == nullptr) {
        return kForm;
    }
    return FindControl(controls, spec.containerName, spec.containerIndex);
}

std::vector<std::wstring> ListItems(const ListItemRange& range) {
    std::vector<std::wstring> items;
    // By hand: std::to_wstring brings the C runtime's whole printf into the program file.
    auto twoDigits = [](int n) {
        std::wstring text;
        do {
            text.insert(text.begin(), static_cast<wchar_t>(L'0' + n % 10));
            n /= 10;
        } while (n > 0);
        return text.size() < 2 ? L"0" + text : text;
    };
    for (int n = range.first; n <= range.last; ++n) {
        items.push_back(twoDigits(n));
    }
    if (range.zeroLast) {
        items.push_back(L"00");
    }
    return items;
}

std::vector<int> ChildrenFrontToBack(const ControlTable& controls, int container) {
    std::vector<int> windowed;
    std::vector<int> windowless;
    for (size_t i = 0; i < controls.size(); ++i) {
        int index = static_cast<int>(i);
        if (controls[i].kind == K::kTimer || ContainerOf(controls, index) != container) {
            continue;
        }
        (IsWindowed(controls[i].kind) ? windowed : windowless).push_back(index);
    }
    auto byStack = [&](int a, int b) { return controls[a].stack < controls[b].stack; };
    std::stable_sort(windowed.begin(), windowed.end(), byStack);
    std::stable_sort(windowless.begin(), windowless.end(), byStack);
    windowed.insert(windowed.end(), windowless.begin(), windowless.end());
    return windowed;
}

int FrontmostHit(const std::vector<HitBox>& frontToBack, TwipsPoint p) {
    for (size_t i = 0; i < frontToBack.size(); ++i) {
        if (frontToBack[i].takesPointer && frontToBack[i].rect.Contains(p)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int PointerTarget(const ControlTable& controls, int container, TwipsPoint p) {
    const std::vector<int> children = ChildrenFrontToBack(controls, container);
    std::vector<int> windowed;
    std::vector<int> windowless;
    for (int child : children) {
        (IsWindowed(controls[child].kind) ? windowed : windowless).push_back(child);
    }

    std::vector<HitBox> boxes;
    for (int child : windowed) {
        boxes.push_back({controls[child].rect, true});
    }
    int hit = FrontmostHit(boxes, p);
    if (hit >= 0) {
        int child = windowed[hit];
        if (!IsContainer(controls[child].kind)) {
            return child;
        }
        const TwipsRect& r = controls[child].rect;
        return PointerTarget(controls, child, {p.x - r.left, p.y - r.top});
    }

    boxes.clear();
    for (int child : windowless) {
        boxes.push_back({controls[child].rect, controls[child].kind == K::kLabel});
    }
    hit = FrontmostHit(boxes, p);
    return hit >= 0 ? windowless[hit] : container;
}

std::vector<int> TabOrder(const ControlTable& controls) {
    std::vector<int> order;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (TakesFocus(controls[i].kind)) {
            order.push_back(static_cast<int>(i));
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return controls[a].tab < controls[b].tab; });
    return order;
}

}  // namespace velmora
