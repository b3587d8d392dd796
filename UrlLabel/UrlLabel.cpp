#include "UrlLabel.h"

#include <cstring>
#include <string>

#include "shellapi.h"
#include "winreg.h"

namespace {

constexpr UINT_PTR kHoverTimer = 100;
constexpr UINT kHoverPeriodMs = 100;
constexpr UINT_PTR kToolId = 1;

// The default value of `subkey` under `root`, or empty when there is none.
std::string RegDefault(HKEY root, const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::string();
    char data[MAX_PATH] = {};
    LONG size = MAX_PATH;
    std::string out;
    if (RegQueryValueA(key, nullptr, data, &size) == ERROR_SUCCESS) {
        data[MAX_PATH - 1] = 0;
        out = data;
    }
    RegCloseKey(key);
    return out;
}

}  // namespace

BEGIN_MESSAGE_MAP(CUrlLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CUrlLabel::CUrlLabel()
    : m_crLinkText(RGB(0, 0, 238)),
      m_crVisitedText(RGB(85, 26, 139)),
      m_crHoverText(RGB(255, 0, 0)),
      m_bMouseOver(FALSE),
      m_bShownVisited(FALSE),
      m_nUnderlineMode(-1),
      m_bFitToText(TRUE),
      m_hHandCursor(nullptr),
      m_bCursorOwned(false),
      m_nHoverTimer(kHoverTimer) {}

CUrlLabel::~CUrlLabel() {
    if (m_bCursorOwned && m_hHandCursor) DestroyIcon(reinterpret_cast<HICON>(m_hHandCursor));
    m_fontUnderlined.DeleteObject();
    m_fontPlain.DeleteObject();
}

BOOL CUrlLabel::PreTranslateMessage(MSG* msg) {
    if (m_tip.GetSafeHwnd()) m_tip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

BOOL CUrlLabel::DestroyWindow() {
    if (GetSafeHwnd()) KillTimer(m_nHoverTimer);
    return CStatic::DestroyWindow();
}

void CUrlLabel::PreSubclassWindow() {
    // Statics report clicks only with SS_NOTIFY.
    ModifyStyle(0, SS_NOTIFY);

    CString text;
    GetWindowText(text);
    if (m_strAddress.IsEmpty()) m_strAddress = text;
    if (text.IsEmpty()) {
        ASSERT(!m_strAddress.IsEmpty());
        SetWindowText(m_strAddress);
    }

    CFont* font = GetFont();
    if (!font) font = CFont::FromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    if (!font || !font->GetSafeHandle()) font = CFont::FromHandle(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    LOGFONTA lf = {};
    if (font) font->GetLogFont(&lf);
    m_fontPlain.CreateFontIndirect(&lf);
    lf.lfUnderline = TRUE;
    m_fontUnderlined.CreateFontIndirect(&lf);

    FitToText();
    LoadDefaultCursor();
    // A mode chosen before subclassing is kept; the font is made to match it.
    SelectUnderlined(m_nUnderlineMode == 1);

    m_tip.Create(this);
    CRect rect;
    GetClientRect(rect);
    m_tip.AddTool(this, m_strAddress, rect, kToolId);

    CStatic::PreSubclassWindow();
}

// The text is drawn with no background of its own: the parent paints what lies beneath first,
// or letters in a new colour would land on the old ones' antialiased edges.
void CUrlLabel::Repaint() {
    CWnd* parent = GetParent();
    if (!parent) {
        Invalidate();
        return;
    }
    CRect r;
    GetWindowRect(r);
    parent->ScreenToClient(r);
    parent->RedrawWindow(r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CUrlLabel::SelectUnderlined(bool underlined) {
    CFont& f = underlined ? m_fontUnderlined : m_fontPlain;
    if (GetSafeHwnd() && f.GetSafeHandle()) SetFont(&f, FALSE);
}

void CUrlLabel::SetLinkUrl(CString url) {
    m_strAddress = url;
    if (GetSafeHwnd()) {
        FitToText();
        if (m_tip.GetSafeHwnd()) m_tip.UpdateTipText(m_strAddress, this, kToolId);
    }
}

void CUrlLabel::SetLinkColors(COLORREF link, COLORREF visited, COLORREF hover) {
    m_crLinkText = link;
    m_crVisitedText = visited;
    m_crHoverText = hover == COLORREF(-1) ? ::GetSysColor(COLOR_HIGHLIGHT) : hover;
    if (GetSafeHwnd()) Repaint();
}

void CUrlLabel::SetVisited(BOOL visited) {
    m_bShownVisited = visited;
    if (GetSafeHwnd()) Repaint();
}

void CUrlLabel::SetLinkCursor(HCURSOR cursor) {
    if (m_bCursorOwned && m_hHandCursor && m_hHandCursor != cursor) DestroyIcon(reinterpret_cast<HICON>(m_hHandCursor));
    m_bCursorOwned = false;
    m_hHandCursor = cursor;
    if (!m_hHandCursor) LoadDefaultCursor();
}

void CUrlLabel::SetUnderlineMode(int mode) {
    if (mode == m_nUnderlineMode) return;
    m_nUnderlineMode = mode;
    if (GetSafeHwnd()) {
        SelectUnderlined(mode == 1);
        Repaint();
    }
}

void CUrlLabel::SetAutoSize(BOOL autosize) {
    m_bFitToText = autosize;
    if (GetSafeHwnd()) FitToText();
}

void CUrlLabel::SetTipText(LPCSTR text) {
    if (m_tip.GetSafeHwnd()) m_tip.UpdateTipText(text, this, kToolId);
}

void CUrlLabel::LoadDefaultCursor() {
    if (m_hHandCursor) return;
    // The classic source of a hand cursor is the help viewer's cursor 106.
    char dir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::string module = std::string(dir) + "/winhlp32.exe";
        if (HMODULE h = LoadLibraryA(module.c_str())) {
            HCURSOR c = LoadCursorA(reinterpret_cast<HINSTANCE>(h), MAKEINTRESOURCEA(106));
            if (c) {
                m_hHandCursor = reinterpret_cast<HCURSOR>(CopyIcon(reinterpret_cast<HICON>(c)));
                m_bCursorOwned = m_hHandCursor != nullptr;
            }
            FreeLibrary(h);
        }
    }
    // Without the help viewer, the system's own hand cursor; a shared cursor is not destroyed.
    if (!m_hHandCursor) m_hHandCursor = LoadCursorA(nullptr, IDC_HAND);
}

void CUrlLabel::FitToText() {
    if (!GetSafeHwnd() || !m_bFitToText) return;

    CRect wnd, client;
    GetWindowRect(wnd);
    GetClientRect(client);
    if (CWnd* parent = GetParent()) parent->ScreenToClient(wnd);

    CString text;
    GetWindowText(text);
    CSize extent;
    {
        CClientDC dc(this);
        CFont* old = dc.SelectObject(m_fontUnderlined.GetSafeHandle() ? &m_fontUnderlined : GetFont());
        extent = dc.GetTextExtent(text);
        if (old) dc.SelectObject(old);
    }
    extent.cx += wnd.Width() - client.Width();
    extent.cy += wnd.Height() - client.Height();

    DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        wnd.top += (wnd.Height() - extent.cy) / 2;
        wnd.bottom = wnd.top + extent.cy;
    } else {
        wnd.bottom = wnd.top + extent.cy;
    }
    // SS_CENTER and SS_RIGHT are values of the alignment field, not independent bits.
    DWORD align = style & SS_TYPEMASK;
    if (align == SS_CENTER) {
        wnd.left += (wnd.Width() - extent.cx) / 2;
        wnd.right = wnd.left + extent.cx;
    } else if (align == SS_RIGHT) {
        wnd.left = wnd.right - extent.cx;
    } else {
        wnd.right = wnd.left + extent.cx;
    }
    SetWindowPos(nullptr, wnd.left, wnd.top, wnd.Width(), wnd.Height(), SWP_NOZORDER);
    if (m_tip.GetSafeHwnd()) {
        CRect r;
        GetClientRect(r);
        m_tip.SetToolRect(this, kToolId, r);
    }
}

HBRUSH CUrlLabel::CtlColor(CDC* dc, UINT ctl_color) {
    if (ctl_color != CTLCOLOR_STATIC) return nullptr;  // the parent's colours apply
    if (m_bMouseOver)
        dc->SetTextColor(m_crHoverText);
    else if (m_bShownVisited)
        dc->SetTextColor(m_crVisitedText);
    else
        dc->SetTextColor(m_crLinkText);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BOOL CUrlLabel::OnSetCursor(CWnd*, UINT, UINT) {
    if (!m_hHandCursor) return FALSE;
    ::SetCursor(m_hHandCursor);
    return TRUE;
}

void CUrlLabel::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bMouseOver) {
        m_bMouseOver = TRUE;
        if (m_nUnderlineMode == -1) SelectUnderlined(true);
        Repaint();
        SetTimer(m_nHoverTimer, kHoverPeriodMs);
    }
    CStatic::OnMouseMove(flags, point);
}

void CUrlLabel::OnTimer(UINT_PTR id) {
    if (id != m_nHoverTimer) {
        CStatic::OnTimer(id);
        return;
    }
    CPoint p;
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    CRect rect;
    GetClientRect(rect);
    if (!rect.PtInRect(p)) {
        m_bMouseOver = FALSE;
        KillTimer(m_nHoverTimer);
        if (m_nUnderlineMode != 1) SelectUnderlined(false);
        Repaint();
    }
}

BOOL CUrlLabel::OnEraseBkgnd(CDC*) { return TRUE; }

void CUrlLabel::OnClicked() {
    if (m_strAddress.IsEmpty()) return;
    m_bMouseOver = FALSE;
    int code = int(reinterpret_cast<INT_PTR>(OpenAddress(m_strAddress, SW_SHOW)));
    if (code > 32) {
        SetVisited(TRUE);
    } else {
        MessageBeep(MB_ICONEXCLAMATION);
        MessageBox(ErrorText(code), nullptr, MB_ICONEXCLAMATION);
    }
}

HINSTANCE CUrlLabel::OpenAddress(LPCSTR url, int show) {
    HINSTANCE result = ShellExecuteA(nullptr, "open", url, nullptr, nullptr, show);
    if (reinterpret_cast<INT_PTR>(result) > 32) return result;

    // Fall back to the program registered for web pages.
    std::string doc_class = RegDefault(HKEY_CLASSES_ROOT, ".htm");
    if (doc_class.empty()) return result;
    std::string command = RegDefault(HKEY_CLASSES_ROOT, doc_class + "\\shell\\open\\command");
    if (command.empty()) return result;
    size_t cut = command.find("\"%1\"");
    if (cut == std::string::npos) cut = command.find("%1");
    if (cut != std::string::npos) command.resize(cut);
    // The address stays one word of the command line, whatever blanks it holds.
    std::string arg = url;
    if (arg.find_first_of(" \t") != std::string::npos && arg.find('"') == std::string::npos) arg = "\"" + arg + "\"";
    if (!command.empty() && command.back() != ' ') command += ' ';
    command += arg;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(WinExec(command.c_str(), UINT(show))));
}

CString CUrlLabel::ErrorText(int code) {
    CString text;
    switch (code) {
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case SE_ERR_FNF: text = "The specified file was not found."; break;
    case SE_ERR_PNF: text = "The specified path was not found."; break;
    case SE_ERR_ACCESSDENIED: text = "The operating system denied\naccess to the specified file."; break;
    case SE_ERR_OOM: text = "There was not enough memory to complete the operation."; break;
    case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case SE_ERR_SHARE: text = "A sharing violation occurred. "; break;
    case SE_ERR_ASSOCINCOMPLETE: text = "The filename association is\nincomplete or invalid."; break;
    case SE_ERR_DDETIMEOUT:
        text = "The DDE transaction could not\nbe completed because the request timed out.";
        break;
    case SE_ERR_DDEFAIL: text = "The DDE transaction failed."; break;
    case SE_ERR_DDEBUSY:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case SE_ERR_NOASSOC: text = "There is no application associated\nwith the given filename extension."; break;
    case SE_ERR_DLLNOTFOUND: text = "The specified dynamic-link library was not found."; break;
    default: text.Format("Unknown Error (%d) occurred.", code); break;
    }
    return "Unable to open hyperlink:\n\n" + text;
}
