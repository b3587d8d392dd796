// The skinned-window base. Every skinned window (frame, dialog, popup menu, tooltip, control)
// is a CSkinWindow or derives from one: it subclasses the window, finds itself again through
// the window property "OBJECT", paints the non-client frame from the nine frame parts of its
// skin object, builds the window region, hands the child controls to skinners and detaches
// again. CSkinElement is the base it shares with the elements drawn inside a frame.
#pragma once

#include <windows.h>

#include <functional>
#include <list>
#include <map>
#include <string>

class CSkinObject;
class CSkinFile;
class CSkinWindowObject;
struct SkinImagePart;

// The engine's private window messages.
enum SkinPrivateMessage : UINT {
    WM_SKIN_CHANGED = 0x0BD0,          // default skin-change notice
    WM_SKINELEMENT_MOVE = 0x0BD1,      // frame element to host: wParam element id, lParam x/y
    WM_SKINELEMENT_LDOWN = 0x0BD2,
    WM_SKINELEMENT_RDOWN = 0x0BD3,
    WM_SKINELEMENT_LUP = 0x0BD4,
    WM_SKINELEMENT_RUP = 0x0BD5,
    WM_SKINELEMENT_LDBLCLK = 0x0BD6,
    WM_SKINELEMENT_LEAVE = 0x0BD7,
    WM_SKINELEMENT_TOOLTIP = 0x0BD8,
    WM_SKIN_DRAWCLIENT = 0x0BD9,       // type-45 window: wParam surface DC, lParam RECT*
    WM_SKINPOPUP_LCLICKOUT = 0x1788,   // click outside an open menu-bar popup: lParam point
    WM_SKINPOPUP_RCLICKOUT = 0x1789,
    WM_SKINPOPUP_MOVEOUT = 0x178A,
    WM_SKINPOPUP_ENDED = 0x178B,
    WM_SKIN_MDICHILDCLOSED = 0x178C,
    WM_SKIN_ATTACHSCROLLBARS = 0x178D,
    WM_SKIN_PUSHCOLORS = 0x178E,
    WM_SKIN_PROGRESSSTATE = 0x178F,
    WM_SKINPOPUP_CLOSESUB = 0x1790,
    WM_SKINPOPUP_COMMAND = 0x1791,
    WM_SKIN_CONTROLGOING = 0x1793,     // wParam: the control being destroyed
    WM_SKIN_MENUKEY = 0x1794,          // wParam key or 0xFFFFFFFF, lParam key data
    WM_SKIN_PAINTCHILDBACK = 0x1795,   // wParam DC, lParam the asking child
    WM_SKIN_SAVEFONT = 0x1796,
    WM_SKIN_ATTACHSTYLE = 0x1799,
    WM_SKIN_SYNCSCROLL = 0x179A,
    WM_SKIN_ASKUNSKINNED = 0x83E8,     // wParam control id, lParam HWND; non-zero: leave it
};

// The one skinned tooltip window as frame elements see it. The tooltip subsystem installs its
// window here; without one, elements show no tooltips.
class ISkinElementTooltip {
public:
    virtual ~ISkinElementTooltip() = default;
    virtual CSkinObject* SetSkinObject(CSkinObject* object) = 0;
    virtual void SetOwner(class CSkinElement* owner) = 0;
    virtual class CSkinElement* GetOwner() const = 0;
    virtual void ShowDelayed(const char* text) = 0;
    virtual void Hide() = 0;
};
void SetSkinElementTooltip(ISkinElementTooltip* tooltip);
ISkinElementTooltip* GetSkinElementTooltip();

// A named thing that draws from a skin object.
class CSkinElement {
public:
    CSkinElement() = default;
    virtual ~CSkinElement();
    CSkinElement(const CSkinElement&) = delete;
    CSkinElement& operator=(const CSkinElement&) = delete;

    virtual void Draw(HDC hdc) = 0;
    // Stores the object; returns the previous one.
    virtual CSkinObject* SetSkinObject(CSkinObject* object);
    virtual std::string GetTooltipText();
    // Null sets the empty name.
    virtual void SetName(const char* name);
    // The Tooltip object (type 42) of the skin file that owns this element's object.
    virtual CSkinObject* FindTooltipObject();
    virtual void HideTooltip();
    virtual void ShowTooltip();

    const char* GetObjectName() const;  // null without an object
    int GetObjectType() const;          // 0 without an object
    const std::string& GetName() const { return m_strName; }
    CSkinObject* GetSkinObject() const { return m_pSkinObject; }

protected:
    std::string m_strName;
    CSkinObject* m_pSkinObject = nullptr;
};

// Makes a frame element (caption button 3, area 22, caption static 38) for a host window from
// the child object; null when the type has no element class yet.
class CSkinWindow;
using SkinElementCreator = CSkinElement* (*)(int type, CSkinWindow* host, CSkinObject* object);
void SetSkinElementCreator(SkinElementCreator creator);

class CSkinWindow : public CSkinElement {
public:
    CSkinWindow();
    ~CSkinWindow() override;

    void Draw(HDC hdc) override;
    CSkinObject* SetSkinObject(CSkinObject* object) override;

    virtual HMENU GetMenu();
    virtual BOOL SetMenu(HMENU menu);
    virtual LRESULT OnMenuKey(WPARAM wParam, LPARAM lParam);
    virtual bool IsMdiClient() { return false; }
    virtual LRESULT OnNcDestroy();
    virtual HWND GetActiveMdiChild(BOOL* maximised);
    virtual BOOL GetWindowRect(RECT* rc);
    virtual void DrawBackground(HDC hdc, BOOL active);
    virtual void DrawFrame(HDC hdc, BOOL active);
    virtual void Detach();
    virtual BOOL Attach(HWND hwnd);
    virtual void OnShowWindow(WPARAM wParam, LPARAM lParam) {}
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void GetExtraMargins(RECT* rc);
    virtual void DrawExtra(HDC hdc) {}
    virtual HRGN CreateWindowRegion();
    virtual void DrawCaptionText(HDC hdc, BOOL active);
    virtual void InvalidateFrameRect(const RECT* rc);

    // The procedure installed on every attached window.
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The skin attached to a window through "OBJECT", or null.
    static CSkinWindow* FromHandle(HWND hwnd);
    // A control whose skin the program took away keeps its own look when the skin of its parent
    // changes or is applied again; asking for a skin for the control itself ends that.
    static void KeepPlain(HWND hwnd);
    // Deletes the skin now, or, while one of its window procedures is still running, as soon
    // as the outermost one returns. The skin must already be out of the manager's map.
    static void Destroy(CSkinWindow* skin);

    // Attaches, re-skins or removes the skinner of one child control (and of its children).
    bool SkinChildControl(HWND child, CSkinObject* windowObject);

    // Thin wrappers and helpers for the derived skins.
    HWND GetHwnd() const { return m_hWnd; }
    WNDPROC GetSavedProc() const { return m_pfnSaved; }
    bool IsDestroyed() const { return m_bDestroyed != 0; }
    HDC GetWindowDC();
    int ReleaseDC(HDC hdc);
    LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    BOOL ShowWindow(int cmd);
    BOOL MoveWindow(const RECT* rc, BOOL repaint);
    BOOL IsZoomed();
    BOOL IsIconic();
    void GetWindowBounds(RECT* rc);  // window rectangle moved to the origin
    bool IsSizable();
    bool IsActiveCaption();
    HWND GetTopParent();
    void ScreenToWindow(POINT* pt);
    void WindowToScreen(POINT* pt);
    void SetMenuParams(const UINT_PTR params[5]);
    const UINT_PTR* GetMenuParams() const { return m_menuParams; }
    void RedrawNonClientRect(const RECT* rc);
    void DrawChildBackground(HDC target, HWND child, HDC source);
    LRESULT OnCtlColorStatic(HDC hdc, HWND child);
    void GetCaptionRect(RECT* rc);
    // The hit code of the first caption text under the point (window coordinates) by its role;
    // HTCAPTION when a caption button is under it first; else 0.
    LRESULT HitTestCaptionElements(POINT pt);
    // Every element gets the mouse message (point in window coordinates); true when one that
    // is not a caption text was under the point. Stops early when a handler made the window
    // rebuild its elements.
    bool RelayMouseToElements(UINT msg, POINT pt, UINT flags = 0);
    // The frame's answer to WM_NCHITTEST for a point in window coordinates: HTCAPTION over a
    // caption element, else by the frame parts (sizable and not zoomed: the sizing codes;
    // HTNOWHERE off the parts).
    LRESULT HitTestFrame(POINT pt);
    // The frame parts' own answer after the caption elements: HTCLIENT in part 4; with
    // `sizing` the 5-pixel corners and top band, the sides and the bottom give the sizing
    // codes and the rest of the top row HTCAPTION; without it the top row is HTCAPTION and
    // the other parts HTNOWHERE; `gap` off every part.
    LRESULT HitTestFrameParts(POINT pt, bool sizing, LRESULT gap);
    // The same for a point given in the layout's own (unmirrored) coordinates.
    LRESULT HitTestLaidOutParts(POINT pt, bool sizing, LRESULT gap);
    // The client rectangle inside the frame parts, for WM_NCCALCSIZE (`rc` the window's).
    void CalcFrameClientRect(RECT* rc);
    HWND GetTabControlParent();
    void DrawIconicFrame(const struct SkinNineGrid& active, const struct SkinNineGrid& inactive);
    // True when the skin paints this window's frame: a window object on a top-level window or
    // on a child with a dialog frame, caption or sizing border.
    bool HasSkinnedFrame() const { return m_bFramed && GetWindowObject(); }
    void GetMinTrackSize(SIZE* size);
    void AdjustWindowToClient(int clientWidth, int clientHeight);
    // Lays every element out for the current window size.
    void LayoutElements();
    // Lays them out and draws the visible ones.
    void DrawElements(HDC hdc);
    int LayoutChildren(int width, int height);
    bool IsSizeChanged();
    void CalcFrameLayout(int width, int height);
    void DrawFramePart(HDC hdc, int part, BOOL active, bool mirror);
    const RECT& GetFramePart(int part) const { return m_frameParts[part]; }
    // Right-to-left windows (WS_EX_LAYOUTRTL) are laid out as left-to-right ones and shown
    // mirrored: the platform's device contexts never mirror, so the frame does it itself.
    bool IsLayoutRightToLeft() const;
    // Where a frame part shows in the window: mirrored across the window in a right-to-left one.
    RECT ShownFramePart(int part);
    bool IsInShownFramePart(int part, POINT pt);
    const std::list<CSkinElement*>& GetElements() const { return m_elements; }
    const std::map<HWND, CSkinWindow*>& GetChildControls() const { return m_childControls; }
    COLORREF GetKeyColor() const { return m_crKey; }
    int GetRegionFlag() const { return m_bRegion; }
    BOOL GetDrawCaptionText() const { return m_bDrawCaptionText; }
    HRGN GetRegion() const { return m_hRegion; }

    // Calls the saved procedure for one message while the style is changed so that the
    // platform's default handling does not draw its own frame: the bits in `remove` are taken
    // out, or, when `replace` is non-zero, the style is exactly `replace` meanwhile. The style
    // is put back at once.
    LRESULT CallSavedWithStyle(UINT msg, WPARAM wParam, LPARAM lParam, DWORD remove, DWORD replace = 0);
    // Calls the saved procedure.
    LRESULT CallSaved(UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // The skin object as a window object (types 1, 17, 42, 45) with frame parts, or null.
    CSkinWindowObject* GetWindowObject() const;
    // Non-client handling of a window whose object has frame parts: the frame size, the
    // skinned frame paint and the messages whose default handling would draw the system frame.
    bool HandleFrameMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void PaintFrame(HDC windowDC);
    // Lays the frame parts out for the window's size. On a new size the size is stored and
    // the window region rebuilt (the window repaints when `redraw` is set); true then.
    bool UpdateFrameLayout(BOOL redraw);
    // The frame of the last layout into the window DC through one off-screen surface: the
    // minimised caption, or the parts and elements copied as the four bands around the client.
    // `update` (screen coordinates, or null for all) limits what reaches the window.
    void PaintFrameSurface(HDC windowDC, HRGN update);
    void UpdateRegion(BOOL redraw = FALSE);
    // The child's skin answers WM_CTLCOLOREDIT or WM_CTLCOLORSTATIC for an edit; 0 when it
    // gives no answer.
    LRESULT ChildEditColors(UINT msg, HDC hdc, HWND child);
    void DeleteElements();
    void LoadFrameParts();
    HRGN CreateSkinImageRegion(int part);
    void SkinChildren(HWND parent, CSkinObject* windowObject);
    void ReleaseChildControl(HWND child);

    DWORD m_nReserved = 0;
    RECT m_frameParts[9] = {};
    HWND m_hWnd = nullptr;
    WNDPROC m_pfnSaved = nullptr;
    std::list<CSkinElement*> m_elements;
    std::map<HWND, CSkinWindow*> m_childControls;
    int m_lastSize[4] = {};
    int m_bDestroyed = 0;
    BOOL m_bDrawCaptionText = 1;
    UINT_PTR m_menuParams[5] = {};
    int m_bRegion = 0;
    COLORREF m_crKey = 0xFF00FF;
    HRGN m_hRegion = nullptr;  // handed to the window, which owns it
    bool m_bFramed = false;
    unsigned m_nElementGeneration = 0;  // raised whenever the elements are deleted
    // The base paints the frame of a window object and answers its non-client messages
    // (HandleFrameMessage); a skin that does all of that itself clears this.
    bool m_bBaseFrameHandling = true;

private:
    friend class CSkinManager;
    // The destroying detach: the procedure and the property are put back, nothing is redrawn.
    void DetachDestroyed();
    // A host on another thread is told to forget this control on its own thread.
    void LeaveHostOfOtherThread();

    int m_nCallDepth = 0;         // window procedures of this skin on the stack
    bool m_bDeletePending = false;
    CSkinWindow* m_pChildHost = nullptr;  // the window whose child-control map holds this skin
};

// Runs fn on the thread that owns the window: at once when that is the calling thread, else
// through a message sent to the window, which the owner runs in its hook or in the skinned
// window procedure. False when the owner could not be reached (fn has not run).
bool SkinRunOnWindowThread(HWND hwnd, const std::function<void()>& fn);
// Runs the job a message of SkinRunOnWindowThread carries; true when msg was such a message.
bool SkinHandleThreadJob(UINT msg, LPARAM lParam);

// Window-procedure helpers; the platform's windows are all ANSI.
LRESULT SkinCallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WNDPROC SkinSetWindowProc(HWND hwnd, WNDPROC proc);
WNDPROC SkinGetWindowProc(HWND hwnd);
