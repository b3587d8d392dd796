// This project's framework layer: control bars (tool bars, status bars, rebars) and the dock
// sites that hold them along a window's edges.
#pragma once

#include <vector>

#include "afxwin.h"
#include "commctrl.h"

// Bar styles, kept in CControlBar::m_dwStyle; a dock site also carries its side in its window
// style, where the bars' skins look for it.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

#define AFX_IDW_REBAR 0xE804
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_STRETCH 0x10000000

// The window class of the framework's own bar windows (dock sites).
#define AFX_WNDCONTROLBAR "AfxControlBar42s"

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style) { m_dwStyle = style; }
    // The size the bar wants along its edge (horizontal: width and height of a row).
    virtual CSize CalcFixedLayout(BOOL stretch, BOOL horizontal);
    // Called when a dock site takes the bar or it changes side.
    virtual void OnBarStyleChange(DWORD old_style, DWORD new_style) {}
    DWORD m_dwStyle = 0;
};

// A window along one edge of its parent that holds bars, one row (or column) each. Its class
// is AFX_WNDCONTROLBAR and its window style carries its CBRS_ALIGN_* side.
class CDockSite : public CControlBar {
    DECLARE_DYNAMIC(CDockSite)
public:
    BOOL Create(CWnd* parent, DWORD align, UINT id = 0);
    // Moves the bar into this site (its parent becomes the site) and lays the site out.
    void Dock(CControlBar* bar);
    void Undock(CControlBar* bar);
    // Places the site along its parent's edge and its bars inside it; the parent calls it
    // when its size changes.
    void Layout();
    int GetBarCount() const { return int(m_bars.size()); }
    CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;

private:
    std::vector<CControlBar*> m_bars;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    ~CToolBar() override;
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* parent, DWORD ctrl_style = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect borders = CRect(0, 0, 0, 0),
                  UINT id = AFX_IDW_TOOLBAR);
    using CWnd::CreateEx;
    // The platform has no tool-bar resources: loading one fails and callers fall back.
    BOOL LoadToolBar(UINT id);
    BOOL LoadToolBar(LPCSTR name);
    // The images of the buttons, side by side in one bitmap (the bar keeps its own copy).
    BOOL SetBitmap(HBITMAP bitmap);
    // One button per id, ID_SEPARATOR for a separator; image k for the k-th button.
    BOOL SetButtons(const UINT* ids, int count);
    void SetSizes(SIZE button, SIZE image);
    BOOL SetButtonText(int index, LPCSTR text);
    int GetCount() const;
    UINT GetItemID(int index) const;
    int CommandToIndex(UINT id) const;
    void GetItemRect(int index, LPRECT rect) const;
    UINT GetButtonStyle(int index) const;
    void SetButtonStyle(int index, UINT style);
    CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
    void OnBarStyleChange(DWORD old_style, DWORD new_style) override;
    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};

private:
    std::vector<CString> m_texts;
    HIMAGELIST m_images = nullptr;  // made by SetBitmap, the bar's own
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    // One pane per id, its text the string of that id (ID_SEPARATOR: an empty pane that
    // takes the room left).
    BOOL SetIndicators(const UINT* ids, int count);
    BOOL SetPaneText(int index, LPCSTR text, BOOL update = TRUE);
    CString GetPaneText(int index) const;
    UINT GetItemID(int index) const;
    int CommandToIndex(UINT id) const;
    void GetItemRect(int index, LPRECT rect) const;
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const;
    int GetCount() const { return int(m_panes.size()); }
    CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;

private:
    struct Pane {
        UINT id = 0;
        UINT style = 0;
        int width = 0;
        CString text;
    };
    void UpdateParts();
    std::vector<Pane> m_panes;
};

class CReBar : public CControlBar {
    DECLARE_DYNAMIC(CReBar)
public:
    BOOL Create(CWnd* parent, DWORD ctrl_style = RBS_BANDBORDERS,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP, UINT id = AFX_IDW_REBAR);
    // A band holding the bar (or any window), sized to it, with an optional title.
    BOOL AddBar(CWnd* bar, LPCSTR text = nullptr, HBITMAP background = nullptr,
                DWORD band_style = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    int GetBandCount() const;
    CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
};
