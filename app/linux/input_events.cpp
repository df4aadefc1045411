#include "app/linux/input_events.h"

#include <X11/keysym.h>

bool keyEndsRun(KeySym key, unsigned modifierState) {
    switch (key) {
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
    case XK_F10:
        return false;
    default:
        // Alt held with another key (but not with Control, as AltGr arrives on some servers) is a system key.
        return !((modifierState & Mod1Mask) && !(modifierState & ControlMask));
    }
}

bool buttonEndsRun(unsigned button) {
    return button == Button1 || button == Button3;
}

void feedExitRules(const XEvent& event, Window show, int width, int height, ExitRules& rules) {
    if (event.xany.window != show)
        return;
    switch (event.type) {
    case KeyPress: {
        XKeyEvent key = event.xkey;
        if (keyEndsRun(XLookupKeysym(&key, 0), key.state))
            rules.keyOrButtonPressed();
        break;
    }
    case ButtonPress:
        if (buttonEndsRun(event.xbutton.button))
            rules.keyOrButtonPressed();
        break;
    case MotionNotify:
        rules.pointerMoved(event.xmotion.x - width / 2, event.xmotion.y - height / 2);
        break;
    default:
        break;
    }
}
