#include "app/win32/dialog_script.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

constexpr UINT_PTR scriptTimer = 0x5C21;
constexpr UINT stepInterval = 50; // milliseconds

std::vector<std::string> steps;
std::size_t nextStep = 0;

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

void dumpControl(HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id <= 0 || id == 0xFFFF)
        return;
    std::printf("%d enabled=%d", id, IsWindowEnabled(control) ? 1 : 0);
    const std::string kind = className(control);
    if (kind == "Button") {
        const LONG style = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_AUTOCHECKBOX || style == BS_AUTORADIOBUTTON || style == BS_CHECKBOX ||
            style == BS_RADIOBUTTON)
            std::printf(" checked=%d", SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    } else if (kind == TRACKBAR_CLASSA) {
        std::printf(" pos=%d", static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0)));
    }
    char text[256] = {};
    if (kind == "ComboBox") {
        const LRESULT selected = SendMessageA(control, CB_GETCURSEL, 0, 0);
        if (selected != CB_ERR && SendMessageA(control, CB_GETLBTEXTLEN, selected, 0) < LRESULT(sizeof text))
            SendMessageA(control, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
        std::printf(" items=%d", static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0)));
    } else {
        GetWindowTextA(control, text, sizeof text);
    }
    std::printf(" text=%s\n", text);
}

BOOL CALLBACK dumpChild(HWND control, LPARAM) {
    dumpControl(control);
    return TRUE;
}

// The modal box the dialog opened: a window of this thread that the dialog owns (it may not be shown yet).
struct PopupSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK findOwnedPopup(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<PopupSearch*>(context);
    if (window != search->owner && GetWindow(window, GW_OWNER) == search->owner)
        search->found = window;
    return search->found == nullptr;
}

HWND ownedPopup(HWND dialog) {
    PopupSearch search{dialog, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), findOwnedPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void play(HWND dialog, const std::string& step) {
    std::istringstream fields(step);
    std::string verb, id, position;
    std::getline(fields, verb, ':');
    std::getline(fields, id, ':');
    std::getline(fields, position, ':');
    const HWND control = GetDlgItem(dialog, std::atoi(id.c_str()));
    if (verb == "click" && control) {
        SendMessageA(control, BM_CLICK, 0, 0);
    } else if (verb == "slide" && control) {
        const int value = std::atoi(position.c_str());
        SendMessageA(control, TBM_SETPOS, TRUE, value);
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, value), reinterpret_cast<LPARAM>(control));
    } else if (verb == "key" && control) {
        const WPARAM key = static_cast<WPARAM>(std::atoi(position.c_str()));
        SetFocus(control);
        // Repeat count 1; the release also carries the "was down" and "being released" bits.
        SendMessageA(control, WM_KEYDOWN, key, 1);
        SendMessageA(control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    } else if (verb == "wheel" && control) {
        const short delta = static_cast<short>(std::atoi(position.c_str()));
        RECT area{};
        GetWindowRect(control, &area);
        SendMessageA(control, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                     MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2));
    } else if (verb == "popup") {
        const HWND popup = ownedPopup(dialog);
        char caption[128] = {};
        if (popup)
            GetWindowTextA(popup, caption, sizeof caption);
        std::printf("popup caption=%s\n", popup ? caption : "(none)");
        if (popup)
            EnumChildWindows(popup, dumpChild, 0);
        if (const HWND button = popup ? GetDlgItem(popup, std::atoi(id.c_str())) : nullptr)
            SendMessageA(button, BM_CLICK, 0, 0);
    } else if (verb == "dump") {
        EnumChildWindows(dialog, dumpChild, 0);
        std::printf("end of dump\n");
    } else {
        std::fprintf(stderr, "dialog script: cannot play \"%s\"\n", step.c_str());
    }
    std::fflush(stdout);
}

} // namespace

void startDialogScript(HWND dialog, const std::string& script) {
    steps.clear();
    nextStep = 0;
    std::istringstream text(script);
    for (std::string step; std::getline(text, step, ';');)
        if (!step.empty())
            steps.push_back(step);
    if (!steps.empty())
        SetTimer(dialog, scriptTimer, stepInterval, nullptr);
}

bool playDialogScriptStep(HWND dialog, WPARAM timer) {
    if (timer != scriptTimer)
        return false;
    if (nextStep >= steps.size()) {
        KillTimer(dialog, scriptTimer);
        return true;
    }
    // The step may end the dialog; the timer must not fire into the next one.
    if (nextStep + 1 == steps.size())
        KillTimer(dialog, scriptTimer);
    play(dialog, steps[nextStep++]);
    return true;
}
