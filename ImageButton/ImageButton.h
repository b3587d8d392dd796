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

    // Where the image sits against the caption (SetAlign).
    enum { ALIGN_IMAGE_LEFT = 0, ALIGN_IMAGE_ABOVE = 1, ALIGN_IMAGE_RIGHT = 2, ALIGN_IMAGE_BEHIND = 3 };
    // The colour slots of SetColor: face and text with the mouse over, normally, and focused.
    enum { HOVER_FACE = 0, HOVER_TEXT, NORMAL_FACE, NORMAL_TEXT, FOCUS_FACE, FOCUS_TEXT, STATE_COLOR_COUNT };
    // How far a pressed push button moves its image and caption: (1, 1) or (0, 2).
    enum { PRESS_SHIFT_DIAGONAL = 0, PRESS_SHIFT_DOWN = 1 };
    // What the setters return.
    enum {
        RESULT_OK = 0,
        RESULT_BAD_RESOURCE = 1,
        RESULT_NO_MASK = 2,
        RESULT_BAD_COLOR_INDEX = 3,
        RESULT_BAD_ALIGN = 4,
        RESULT_BAD_ARGUMENT = 5,
        RESULT_BAD_PRESS_STYLE = 6
    };
    // Special "out" image ids: a grey or a darker copy of the "in" image.
    enum { OUT_GREY_COPY = -2, OUT_DARKER_COPY = -3 };
    // Posted to the parent on every mouse move over the button (wParam = the button's window);
    // not to a dialog, where the number means DM_SETDEFID.
    enum { WM_IMAGEBUTTON_MOUSEMOVE = WM_USER + 1 };

    DWORD SetIcon(int nInId, int nOutId = 0);
    DWORD SetIcon(int nInId, int cxIn, int cyIn, int nOutId, int cxOut, int cyOut);
    DWORD SetIcon(HICON hInIcon, HICON hOutIcon = nullptr);
    DWORD SetBitmaps(int nInId, COLORREF crInKey, int nOutId = 0, COLORREF crOutKey = 0);
    DWORD SetBitmaps(HBITMAP hInBitmap, COLORREF crInKey, HBITMAP hOutBitmap = nullptr, COLORREF crOutKey = 0);
    DWORD SetThreeBitmaps(int nInId, COLORREF crInKey, int nOutId, COLORREF crOutKey, int nPressedId,
                          COLORREF crPressedKey);
    DWORD SetThreeBitmaps(HBITMAP hInBitmap, COLORREF crInKey, HBITMAP hOutBitmap, COLORREF crOutKey,
                          HBITMAP hPressedBitmap, COLORREF crPressedKey);
    DWORD SetAlign(BYTE byImageAlign, BOOL bRepaint = TRUE);
    DWORD SetPressedStyle(BYTE byPressStyle, BOOL bRepaint = TRUE);
    DWORD SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
    DWORD DrawBorder(BOOL bDrawBorder = TRUE, BOOL bRepaint = TRUE);
    DWORD DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = TRUE);
    DWORD SetAlwaysTrack(BOOL bAlwaysTrack = TRUE);
    DWORD SetCheck(int nCheck, BOOL bRepaint = TRUE);
    int GetCheck();
    DWORD SetDefaultColors(BOOL bRepaint = TRUE);
    DWORD SetColor(BYTE bySlot, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetColor(BYTE bySlot, COLORREF* pcrColor);
    DWORD OffsetColor(BYTE bySlot, short shShade, BOOL bRepaint = TRUE);
    DWORD SetBtnCursor(int nCursorId = 0, BOOL bRepaint = TRUE);
    void SetTooltipText(int nText, BOOL bActivate = TRUE);
    void SetTooltipText(LPCSTR lpszText, BOOL bActivate = TRUE);
    void ActivateTooltip(BOOL bEnable = TRUE);
    DWORD EnableBalloonTooltip();
    DWORD DrawTransparent(BOOL bRepaint = FALSE);
    DWORD SetBk(CDC* pDC);
    DWORD SetURL(LPCSTR lpszLink = nullptr);
    // A drop-down menu (submenu 0 of the menu resource) shown on click; its command is posted to
    // `hMenuOwner` as WM_COMMAND. Id 0 removes the menu.
    DWORD SetMenu(UINT nMenuId, HWND hMenuOwner, BOOL bXPLook = TRUE, UINT nToolbarId = 0,
                  CSize sizeIcons = CSize(16, 16), COLORREF crToolbarMask = RGB(255, 0, 255), BOOL bRepaint = TRUE);
    DWORD SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam = 0);
    DWORD SetSound(LPCSTR pszSound, HMODULE hModule = nullptr, BOOL bOnClick = FALSE, BOOL bAsync = TRUE);
    DWORD SizeToContent();
    BOOL GetDefault();

    // For tests and derived classes: where the image and caption go for the given client size.
    void PlaceImage(BOOL bHasCaption, RECT* prcItem, CRect* prcCaption, BOOL bPressed, DWORD cx, DWORD cy,
                    CRect* prcImage);
    HWND GetToolTipWindow() const { return m_hTip; }
    BOOL IsHovering() const { return m_bHovering; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual DWORD OnDrawBackground(CDC* pDC, CRect* pRect);
    virtual DWORD OnDrawBorder(CDC* pDC, CRect* pRect);
    virtual void DrawTheIcon(CDC* pDC, BOOL bHasCaption, RECT* prcItem, CRect* prcCaption, BOOL bPressed,
                             BOOL bDisabled);
    virtual void DrawTheBitmap(CDC* pDC, BOOL bHasCaption, RECT* prcItem, CRect* prcCaption, BOOL bPressed,
                               BOOL bDisabled);
    virtual void DrawTheText(CDC* pDC, LPCSTR lpszText, RECT* prcItem, CRect* prcCaption, BOOL bPressed,
                             BOOL bDisabled);
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

    BOOL m_bMaskDisabledBitmap;
    POINT m_ptImageMargin;
    POINT m_ptPressShift;
    BOOL m_bFlat;
    BOOL m_bHovering;
    BOOL m_bTransparent;
    BOOL m_bPressed;
    BOOL m_bFocused;
    BOOL m_bDisabled;
    BOOL m_bDefaultButton;
    BOOL m_bCheckMode;
    BYTE m_byImageAlign;
    BOOL m_bBorder;
    BOOL m_bFlatFocus;
    COLORREF m_crState[STATE_COLOR_COUNT];
    HWND m_hMenuOwner;
    BOOL m_bMenuOpen;
    COwnerMenu m_dropMenu;

private:
    // An icon and its size (twice its hot spot).
    struct IconImage {
        HICON hImage;
        DWORD cx, cy;
    };
    // A bitmap, its size, and the mask made from its key colour (the pixels drawn through).
    struct BitmapImage {
        HBITMAP hImage;
        DWORD cx, cy;
        HBITMAP hMask;
        COLORREF crKey;
    };
    // What PlaySound gets: a file name copied here, or a resource name in `hModule`.
    struct SoundRecord {
        char szFile[MAX_PATH];
        LPCSTR pszSound;
        HMODULE hModule;
        DWORD dwFlags;
    };

    void EndHover();
    void TrackDropMenu();
    void ReleaseImages();
    void EnsureTip();
    void PaintSavedBackground(CDC* pDC);
    void PlaySoundRecord(const SoundRecord& s);
    void Repaint(BOOL bRepaint);

    HCURSOR m_hButtonCursor;
    HWND m_hTip;
    DWORD m_dwTipStyle;
    HDC m_hBackDC;
    HBITMAP m_hBackBitmap;
    HBITMAP m_hBackPrevBitmap;
    BOOL m_bAlwaysHover;
    int m_nChecked;
    char m_szLink[MAX_PATH + 1];
    IconImage m_icons[2];
    BitmapImage m_bitmaps[3];
    HWND m_hCallbackWnd;
    UINT m_nCallbackMsg;
    LPARAM m_lCallbackParam;
    SoundRecord m_sounds[2];
};
