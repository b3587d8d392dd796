// CDialog over the dialog manager, with the framework's own modal loop, and data exchange.
#include <cstdio>
#include <cstdlib>

#include "afx_api.h"
#include "afx_state.h"
#include "afxcmn.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;
CDialog::CDialog(UINT id, CWnd* parent) : m_lpszTemplateName(MAKEINTRESOURCEA(id)), m_nIDHelp(id), m_pParentWnd(parent) {}
CDialog::CDialog(LPCSTR name, CWnd* parent) : m_lpszTemplateName(name), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

const void* CDialog::FindTemplate() const {
    if (m_lpDialogTemplate) return m_lpDialogTemplate;
    if (!m_lpszTemplateName) return nullptr;
    HINSTANCE inst = AfxGetResourceHandle();
    HRSRC r = ::FindResourceA(inst, m_lpszTemplateName, RT_DIALOG);
    return r ? ::LockResource(::LoadResource(inst, r)) : nullptr;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    CDialog* dlg = dynamic_cast<CDialog*>(FromHandlePermanent(hwnd));
    if (!dlg) {
        // The creation hook did not run: attach now, before the dialog's own initialisation.
        dlg = reinterpret_cast<CDialog*>(lp);
        auto& s = afx::State();
        if (s.pending_create == dlg) s.pending_create = nullptr;
        if (!dlg || !dlg->Attach(hwnd)) return TRUE;
        dlg->PreSubclassWindow();
        WNDPROC old = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
        if (old != &AfxWndProc) dlg->m_pfnSuper = old;
    }
    return dlg->OnInitDialog();
}

HWND CDialog::PreModal() {
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (parent == this) parent = nullptr;
    HWND h = parent ? parent->m_hWnd : nullptr;
    while (h && (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
    return h;
}

void CDialog::PostModal() { AfxOnIdleCleanup(); }

INT_PTR CDialog::DoModal() {
    const void* tmpl = FindTemplate();
    if (!tmpl) return -1;
    HWND parent = PreModal();
    bool enable_parent = false;
    if (parent && ::IsWindowEnabled(parent)) {
        ::EnableWindow(parent, FALSE);
        enable_parent = true;
    }
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    AfxHookWindowCreate(this);
    HWND h = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), static_cast<LPCDLGTEMPLATEA>(tmpl), parent,
                                          &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    AfxUnhookWindowCreate();
    if (h && m_hWnd == h && ContinueModal()) {
        if (!(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOWNORMAL);
        RunModalLoop();
    }
    m_nFlags &= ~WF_CONTINUEMODAL;
    // Give the owner back its input before this window goes, so activation returns to it: a
    // window hidden while its owner is still disabled hands the activation to nobody.
    if (enable_parent) ::EnableWindow(parent, TRUE);
    if (m_hWnd) SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (parent && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(parent);
    if (m_hWnd) DestroyWindow();
    else if (h && ::IsWindow(h)) ::DestroyWindow(h);
    PostModal();
    return m_nModalResult;
}

BOOL CDialog::CreateIndirect(const void* tmpl, CWnd* parent) {
    if (!tmpl) return FALSE;
    m_pParentWnd = parent;
    AfxHookWindowCreate(this);
    HWND h = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), static_cast<LPCDLGTEMPLATEA>(tmpl),
                                          parent ? parent->m_hWnd : nullptr, &CDialog::DialogProc,
                                          reinterpret_cast<LPARAM>(this));
    AfxUnhookWindowCreate();
    if (!h) {
        if (m_hWnd) Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::Create(UINT id, CWnd* parent) { return Create(MAKEINTRESOURCEA(id), parent); }
BOOL CDialog::Create(LPCSTR name, CWnd* parent) {
    m_lpszTemplateName = name;
    if (IS_INTRESOURCE(name)) m_nIDHelp = UINT(reinterpret_cast<uintptr_t>(name));
    return CreateIndirect(FindTemplate(), parent);
}

BOOL CDialog::InitModalIndirect(const void* tmpl, CWnd* parent) {
    m_lpDialogTemplate = tmpl;
    m_pParentWnd = parent;
    return tmpl != nullptr;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(result);
    else if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    // Data exchange binds the controls (DDX_Control subclasses them) and fills the values.
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateMessage(msg)) return TRUE;
    if (!m_hWnd) return FALSE;
    // Dialog keys (Tab, Enter, Escape, mnemonics) only for this dialog and its controls.
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    bool key = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!key && !mouse) return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

BOOL CDialog::OnCmdMsg(UINT id, int code, void* extra, void* info) {
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    // Commands nobody in the dialog handles go to the application (help, application commands).
    if (!extra && code == 0) {
        CWinApp* app = AfxGetApp();
        if (app && app->OnCmdMsg(id, code, extra, info)) return TRUE;
    }
    return FALSE;
}

void CDialog::NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* ctl) {
    if (ctl) ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl->m_hWnd), 1);
}
void CDialog::SetDefID(UINT id) { ::SendMessageA(m_hWnd, DM_SETDEFID, id, 0); }
DWORD CDialog::GetDefID() const { return DWORD(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
void CDialog::MapDialogRect(LPRECT r) const {
    ::MapDialogRect(m_hWnd, r);
}

// ---- data exchange -------------------------------------------------------------------------
BOOL CWnd::UpdateData(BOOL save) {
    CDataExchange dx(this, save);
    try {
        DoDataExchange(&dx);
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (!h) {
        TRACE("Error: no control with id %d in the dialog\n", id);
        AfxThrowNotSupportedException();
    }
    m_hWndLastControl = h;
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND h = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail() {
    if (!m_bSaveAndValidate) return;  // loading never fails
    if (m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND h = dx->PrepareCtrl(id);
    if (!control.SubclassWindow(h)) {
        TRACE("Error: control %d is already attached to another object\n", id);
        AfxThrowNotSupportedException();
    }
}

namespace {
CString ControlText(HWND h) {
    CString s;
    int n = ::GetWindowTextLengthA(h);
    ::GetWindowTextA(h, s.GetBuffer(n), n + 1);
    s.ReleaseBuffer();
    return s;
}

template <typename T>
void TextNumber(CDataExchange* dx, int id, T& value, const char* fmt, const char* err) {
    HWND h = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        CString s = ControlText(h);
        s.Trim();
        char* end = nullptr;
        double v = std::strtod(s, &end);
        if (s.IsEmpty() || !end || *end) {
            AfxMessageBox(err, MB_ICONEXCLAMATION);
            dx->Fail();
            return;
        }
        value = T(v);
    } else {
        CString s;
        s.Format(fmt, value);
        ::SetWindowTextA(h, s);
    }
}
}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND h = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) value = ControlText(h);
    else ::SetWindowTextA(h, value);
}
void DDX_Text(CDataExchange* dx, int id, int& v) { TextNumber(dx, id, v, "%d", "Please enter an integer."); }
void DDX_Text(CDataExchange* dx, int id, UINT& v) { TextNumber(dx, id, v, "%u", "Please enter a positive integer."); }
void DDX_Text(CDataExchange* dx, int id, long& v) { TextNumber(dx, id, v, "%ld", "Please enter an integer."); }
void DDX_Text(CDataExchange* dx, int id, double& v) { TextNumber(dx, id, v, "%.15g", "Please enter a number."); }
void DDX_Text(CDataExchange* dx, int id, float& v) { TextNumber(dx, id, v, "%.7g", "Please enter a number."); }

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = int(::SendMessageA(h, BM_GETCHECK, 0, 0));
    else ::SendMessageA(h, BM_SETCHECK, WPARAM(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    // The group runs from this button to the next WS_GROUP control.
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = -1;
    int i = 0;
    do {
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(h, BM_GETCHECK, 0, 0)) value = i;
        } else {
            ::SendMessageA(h, BM_SETCHECK, i == value, 0);
        }
        ++i;
        h = ::GetWindow(h, GW_HWNDNEXT);
    } while (h && !(::GetWindowLongA(h, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) index = int(::SendMessageA(h, CB_GETCURSEL, 0, 0));
    else ::SendMessageA(h, CB_SETCURSEL, WPARAM(index), 0);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = ControlText(h);
    } else if (::SendMessageA(h, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(LPCSTR(value))) == CB_ERR) {
        ::SetWindowTextA(h, value);
    }
}

void DDX_CBStringExact(CDataExchange* dx, int id, CString& value) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = ControlText(h);
        return;
    }
    LRESULT i = ::SendMessageA(h, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(LPCSTR(value)));
    if (i != CB_ERR) ::SendMessageA(h, CB_SETCURSEL, WPARAM(i), 0);
    else ::SetWindowTextA(h, value);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) index = int(::SendMessageA(h, LB_GETCURSEL, 0, 0));
    else ::SendMessageA(h, LB_SETCURSEL, WPARAM(index), 0);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        LRESULT i = ::SendMessageA(h, LB_GETCURSEL, 0, 0);
        if (i == LB_ERR) {
            value.Empty();
            return;
        }
        LRESULT n = ::SendMessageA(h, LB_GETTEXTLEN, WPARAM(i), 0);
        ::SendMessageA(h, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(value.GetBuffer(int(n))));
        value.ReleaseBuffer();
    } else {
        ::SendMessageA(h, LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(LPCSTR(value)));
    }
}

void DDX_Slider(CDataExchange* dx, int id, int& value) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = int(::SendMessageA(h, TBM_GETPOS, 0, 0));
    else ::SendMessageA(h, TBM_SETPOS, TRUE, value);
}

void DDX_Scroll(CDataExchange* dx, int id, int& value) {
    HWND h = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = ::GetScrollPos(h, SB_CTL);
    else ::SetScrollPos(h, SB_CTL, value, TRUE);
}

namespace {
void RangeFail(CDataExchange* dx, const char* fmt, double lo, double hi) {
    if (!dx->m_bSaveAndValidate) return;
    CString s;
    s.Format(fmt, lo, hi);
    AfxMessageBox(s, MB_ICONEXCLAMATION);
    dx->Fail();
}
}  // namespace

void DDV_MinMaxInt(CDataExchange* dx, int v, int lo, int hi) {
    if (v < lo || v > hi) RangeFail(dx, "Please enter an integer between %.0f and %.0f.", lo, hi);
}
void DDV_MinMaxUInt(CDataExchange* dx, UINT v, UINT lo, UINT hi) {
    if (v < lo || v > hi) RangeFail(dx, "Please enter an integer between %.0f and %.0f.", lo, hi);
}
void DDV_MinMaxDouble(CDataExchange* dx, const double& v, double lo, double hi) {
    if (v < lo || v > hi) RangeFail(dx, "Please enter a number between %g and %g.", lo, hi);
}
void DDV_MaxChars(CDataExchange* dx, const CString& v, int max) {
    if (dx->m_bSaveAndValidate && v.GetLength() > max) {
        CString s;
        s.Format("Enter no more than %d characters.", max);
        AfxMessageBox(s, MB_ICONEXCLAMATION);
        dx->Fail();
    } else if (!dx->m_bSaveAndValidate && dx->m_hWndLastControl && dx->m_bEditLastControl) {
        ::SendMessageA(dx->m_hWndLastControl, EM_LIMITTEXT, WPARAM(max), 0);
    }
}
