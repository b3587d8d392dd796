// A static text control turned into a clickable link: link colours, underline, a hand
// cursor, a tooltip with the address, and a click that opens the address.
#pragma once

#include "afxwin.h"
#include "afxcmn.h"

class CUrlLabel : public CStatic {
public:
    CUrlLabel();
    ~CUrlLabel() override;

    void SetLinkUrl(CString url);
    CString GetLinkUrl() const { return m_strAddress; }

    // A hover colour of (COLORREF)-1 stands for the system highlight colour.
    void SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover = COLORREF(-1));
    COLORREF GetLinkColor() const { return m_crLinkText; }
    COLORREF GetVisitedColor() const { return m_crVisitedText; }
    COLORREF GetHoverColor() const { return m_crHoverText; }

    void SetVisited(BOOL visited = TRUE);
    BOOL GetVisited() const { return m_bShownVisited; }

    // NULL loads the default hand cursor.
    void SetLinkCursor(HCURSOR cursor);
    HCURSOR GetLinkCursor() const { return m_hHandCursor; }

    // -1 underline while the mouse is over the link, 0 never, 1 always.
    void SetUnderlineMode(int mode);
    int GetUnderlineMode() const { return m_nUnderlineMode; }

    void SetAutoSize(BOOL autosize = TRUE);
    BOOL GetAutoSize() const { return m_bFitToText; }

    void SetTipText(LPCSTR text);

    BOOL IsOver() const { return m_bMouseOver; }

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL DestroyWindow() override;

    // Texts of the failure report for an opener result code.
    static CString ErrorText(int code);

protected:
    void PreSubclassWindow() override;
    // Opens `url` with the shell, else with the program registered for ".htm" documents;
    // returns the shell's code (above 32 is success).
    virtual HINSTANCE OpenAddress(LPCSTR url, int show);

    afx_msg HBRUSH CtlColor(CDC* dc, UINT ctl_color);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT msg);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnClicked();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    void FitToText();
    void LoadDefaultCursor();
    void SelectUnderlined(bool underlined);
    void Repaint();

    COLORREF m_crLinkText;
    COLORREF m_crVisitedText;
    COLORREF m_crHoverText;
    BOOL m_bMouseOver;
    BOOL m_bShownVisited;
    int m_nUnderlineMode;
    BOOL m_bFitToText;
    CString m_strAddress;
    CFont m_fontUnderlined;
    CFont m_fontPlain;
    HCURSOR m_hHandCursor;
    bool m_bCursorOwned;  // the cursor was copied here and is destroyed with the control
    CToolTipCtrl m_tip;
    UINT_PTR m_nHoverTimer;
};
