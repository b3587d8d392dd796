// An owner-drawn push button that paints its own face, border, icon or bitmap per state,
// caption and focus rectangle; with flat hover tracking, check-box mode, tooltip, cursor,
// sounds and a URL opened on click.
#pragma once

#include "afxwin.h"
#include "afxcmn.h"
#include "mmsystem.h"
#include "OwnerMenu.h"

class CImageButton : public CButton {
public:
    CImageButton();
    ~CImageButton() override;

    enum { ST_ALIGN_HORIZ = 0, ST_ALIGN_VERT = 1, ST_ALIGN_HORIZ_RIGHT = 2, ST_ALIGN_OVERLAP = 3 };
    enum { BTNST_COLOR_BK_IN = 0, BTNST_COLOR_FG_IN, BTNST_COLOR_BK_OUT, BTNST_COLOR_FG_OUT,
           BTNST_COLOR_BK_FOCUS, BTNST_COLOR_FG_FOCUS, BTNST_MAX_COLORS };
    enum { BTNST_PRESSED_LEFTRIGHT = 0, BTNST_PRESSED_TOPBOTTOM = 1 };
    enum { BTNST_OK = 0, BTNST_INVALIDRESOURCE = 1, BTNST_FAILEDMASK = 2, BTNST_INVALIDINDEX = 3,
           BTNST_INVALIDALIGN = 4, BTNST_BADPARAM = 5, BTNST_INVALIDPRESSEDSTYLE = 6 };
    // Special "out" image ids: a grey or a darker copy of the "in" image.
    enum { BTNST_AUTO_GRAY = -2, BTNST_AUTO_DARKER = -3 };
    // Posted to the parent on every mouse move over the button (wParam = the button's window);
    // not to a dialog, where the number means DM_SETDEFID.
    enum { WM_BTNST_MOUSEMOVE = WM_USER + 1 };

    DWORD SetIcon(int nIconIn, int nIconOut = 0);
    DWORD SetIcon(int nIconIn, int cxIn, int cyIn, int nIconOut, int cxOut, int cyOut);
    DWORD SetIcon(HICON hIconIn, HICON hIconOut = nullptr);
    DWORD SetBitmaps(int nBitmapIn, COLORREF crTransColorIn, int nBitmapOut = 0, COLORREF crTransColorOut = 0);
    DWORD SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransColorIn, HBITMAP hBitmapOut = nullptr,
                     COLORREF crTransColorOut = 0);
    DWORD SetThreeBitmaps(int nBitmap1, COLORREF cr1, int nBitmap2, COLORREF cr2, int nBitmap3, COLORREF cr3);
    DWORD SetThreeBitmaps(HBITMAP hBitmap1, COLORREF cr1, HBITMAP hBitmap2, COLORREF cr2, HBITMAP hBitmap3,
                          COLORREF cr3);
    DWORD SetAlign(BYTE byAlign, BOOL bRepaint = TRUE);
    DWORD SetPressedStyle(BYTE byStyle, BOOL bRepaint = TRUE);
    DWORD SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
    DWORD DrawBorder(BOOL bDrawBorder = TRUE, BOOL bRepaint = TRUE);
    DWORD DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = TRUE);
    DWORD SetAlwaysTrack(BOOL bAlwaysTrack = TRUE);
    DWORD SetCheck(int nCheck, BOOL bRepaint = TRUE);
    int GetCheck();
    DWORD SetDefaultColors(BOOL bRepaint = TRUE);
    DWORD SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetColor(BYTE byColorIndex, COLORREF* crpColor);
    DWORD OffsetColor(BYTE byColorIndex, short shOffset, BOOL bRepaint = TRUE);
    DWORD SetBtnCursor(int nCursorId = 0, BOOL bRepaint = TRUE);
    void SetTooltipText(int nText, BOOL bActivate = TRUE);
    void SetTooltipText(LPCSTR lpszText, BOOL bActivate = TRUE);
    void ActivateTooltip(BOOL bEnable = TRUE);
    DWORD EnableBalloonTooltip();
    DWORD DrawTransparent(BOOL bRepaint = FALSE);
    DWORD SetBk(CDC* pDC);
    DWORD SetURL(LPCSTR lpszURL = nullptr);
    // A drop-down menu (submenu 0 of the menu resource) shown on click; its command is posted to
    // `hParentWnd` as WM_COMMAND. Id 0 removes the menu.
    DWORD SetMenu(UINT nMenu, HWND hParentWnd, BOOL bWinXPStyle = TRUE, UINT nToolbarID = 0,
                  CSize sizeToolbarIcon = CSize(16, 16), COLORREF crToolbarBk = RGB(255, 0, 255),
                  BOOL bRepaint = TRUE);
    DWORD SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam = 0);
    DWORD SetSound(LPCSTR lpszSound, HMODULE hMod = nullptr, BOOL bPlayOnClick = FALSE, BOOL bPlayAsync = TRUE);
    DWORD SizeToContent();
    BOOL GetDefault();

    // For tests and derived classes: where the image and caption go for the given client size.
    void PrepareImageRect(BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, BOOL bIsPressed, DWORD dwWidth,
                          DWORD dwHeight, CRect* rpImage);
    HWND GetToolTipWindow() const { return m_hToolTip; }
    BOOL IsHovering() const { return m_bMouseOnButton; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual DWORD OnDrawBackground(CDC* pDC, CRect* pRect);
    virtual DWORD OnDrawBorder(CDC* pDC, CRect* pRect);
    virtual void DrawTheIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                             BOOL bIsDisabled);
    virtual void DrawTheBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                               BOOL bIsDisabled);
    virtual void DrawTheText(CDC* pDC, LPCSTR lpszText, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                             BOOL bIsDisabled);
    void PreSubclassWindow() override;

    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnClicked();
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnCancelMode();
    afx_msg UINT OnGetDlgCode();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseLeave();
    afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    DECLARE_MESSAGE_MAP()

    BOOL m_bShowDisabledBitmap;
    POINT m_ptImageOrg;
    POINT m_ptPressedOffset;
    BOOL m_bIsFlat;
    BOOL m_bMouseOnButton;
    BOOL m_bDrawTransparent;
    BOOL m_bIsPressed;
    BOOL m_bIsFocused;
    BOOL m_bIsDisabled;
    BOOL m_bIsDefault;
    BOOL m_bIsCheckBox;
    BYTE m_byAlign;
    BOOL m_bDrawBorder;
    BOOL m_bDrawFlatFocus;
    COLORREF m_crColors[BTNST_MAX_COLORS];
    HWND m_hParentWndMenu;
    BOOL m_bMenuDisplayed;
    COwnerMenu m_menuPopup;

private:
    struct STRUCT_ICONS {
        HICON hIcon;
        DWORD dwWidth, dwHeight;
    };
    struct STRUCT_BITMAPS {
        HBITMAP hBitmap;
        DWORD dwWidth, dwHeight;
        HBITMAP hMask;
        COLORREF crTransparent;
    };
    struct STRUCT_SOUND {
        char szSound[MAX_PATH];
        LPCSTR lpszSound;
        HMODULE hMod;
        DWORD dwFlags;
    };

    void CancelHover();
    void ShowMenu();
    void FreeResources(BOOL bCheckForNULL = TRUE);
    void InitToolTip();
    void PaintBk(CDC* pDC);
    HBITMAP CreateBitmapMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight, COLORREF crTransColor);
    void PlayButtonSound(const STRUCT_SOUND& s);
    void Repaint(BOOL bRepaint);

    HCURSOR m_hCursor;
    HWND m_hToolTip;
    DWORD m_dwToolTipStyle;
    HDC m_dcBk;
    HBITMAP m_bmpBk;
    HBITMAP m_pbmpOldBk;
    BOOL m_bAlwaysTrack;
    int m_nCheck;
    char m_szURL[MAX_PATH + 1];
    STRUCT_ICONS m_csIcons[2];
    STRUCT_BITMAPS m_csBitmaps[3];
    HWND m_csCallbackHwnd;
    UINT m_csCallbackMsg;
    LPARAM m_csCallbackLParam;
    STRUCT_SOUND m_csSounds[2];
};
