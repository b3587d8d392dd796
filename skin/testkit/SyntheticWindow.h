// Windows of any class for skinner tests, and skins attached to them as the engine attaches
// them, so that a skinner can be driven before (or without) the control it is meant for.
#pragma once

#include <windows.h>

namespace skinkit {

struct WindowSpec {
    const char* cls = "SkinKitWindow";
    DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    RECT rect = {20, 20, 220, 170};  // in the parent's client coordinates for a child
    HWND parent = nullptr;
    int id = 0;
    const char* text = "";
    DWORD exStyle = 0;
};

// Creates the window. A class that neither the program nor the platform has is registered
// first as a plain window class of that name (default procedure, window-colour background).
HWND CreateSyntheticWindow(const WindowSpec& spec);

// Attaches the named object of the manager's current skin the way the engine does for the
// object's type: a FrameWnd object as the dialog skin of a dialog ("#32770") and as the frame
// skin of any other window; a ShapeWnd or type-45 object as a window skin; a control object
// (found inside the named parent object when one is given) through the skinner factory.
// FALSE when the object is missing, of a type nothing attaches, or the attach fails.
BOOL AttachSkin(HWND hwnd, const char* objectName, const char* parentObjectName = nullptr);

// A synthetic window that is destroyed with the object; its skin, if any, goes with it.
class CSyntheticWindow {
public:
    explicit CSyntheticWindow(const WindowSpec& spec) : m_hwnd(CreateSyntheticWindow(spec)) {}
    ~CSyntheticWindow();
    CSyntheticWindow(const CSyntheticWindow&) = delete;
    CSyntheticWindow& operator=(const CSyntheticWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    operator HWND() const { return m_hwnd; }
    BOOL Attach(const char* objectName, const char* parentObjectName = nullptr)
    {
        return AttachSkin(m_hwnd, objectName, parentObjectName);
    }
    // Takes the skin off again (the manager's RemoveSkin); FALSE when it had none.
    BOOL Detach();

private:
    HWND m_hwnd;
};

}  // namespace skinkit
