// The tool bar's state, shared by its message handlers (toolbar.cpp) and its layout and
// painting (toolbar_draw.cpp).
#pragma once

#include <string>
#include <vector>

#include "commctrl/common.h"

namespace plat::commctrl::toolbar {

struct Button {
    int image = 0;
    int command = 0;
    BYTE state = TBSTATE_ENABLED;
    BYTE style = BTNS_BUTTON;
    DWORD_PTR data = 0;
    INT_PTR string = -1;  // index into the bar's strings, or -1
    std::string text;     // a text given by pointer (or set through TB_SETBUTTONINFO)
    int cx = 0;           // TB_SETBUTTONINFO's own width; 0 the bar's
};

struct Toolbar {
    HWND hwnd = nullptr;
    HWND notify = nullptr;  // TB_SETPARENT; null: the parent
    std::vector<Button> buttons;
    std::vector<std::string> strings;
    HIMAGELIST images = nullptr, hot_images = nullptr, disabled_images = nullptr;
    HIMAGELIST own_images = nullptr;  // made for TB_ADDBITMAP, destroyed with the bar
    int bitmap_cx = 16, bitmap_cy = 15;
    int button_cx = 0, button_cy = 0;  // TB_SETBUTTONSIZE; 0 from the bitmap and texts
    int indent = 0;
    int hot = -1;
    int pressed = -1;       // index held down by the mouse
    bool pressed_in = false;
    bool tracking_leave = false;
    DWORD ex_style = 0;
    HWND tooltips = nullptr;
    HFONT font = nullptr;
    int max_text_rows = 1;
};

// The button's text: a string index's text, else its own.
std::string TextOf(const Toolbar& s, const Button& b);
// Rectangles of every button in client coordinates (hidden ones empty).
std::vector<RECT> Layout(HWND h, const Toolbar& s);
// The size of an ordinary button.
SIZE ButtonSize(const Toolbar& s, HWND h);
// The bar's whole extent: right and bottom of its buttons.
SIZE MaxSize(HWND h, const Toolbar& s);
// Index of the button under p, or -1 (separators and hidden buttons never).
int ButtonAt(HWND h, const Toolbar& s, POINT p);
void Paint(HWND h, const Toolbar& s, HDC dc);

}  // namespace plat::commctrl::toolbar
