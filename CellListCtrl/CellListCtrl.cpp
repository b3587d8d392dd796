#include "CellListCtrl.h"

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <type_traits>

namespace {
const UINT& Registered(const char* name, UINT& slot) {
    slot = ::RegisterWindowMessageA(name);
    return slot;
}

// Runs a call handed over from another thread (lParam: a std::function<void()>).
const UINT& CellListInvokeMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("CCellListCtrl_Invoke", m);
    return r;
}

constexpr UINT_PTR kButtonTimer = 1;   // releases the combo button, keeps the popup focused
constexpr UINT_PTR kEscapeTimer = 2;   // closes the popup
constexpr UINT_PTR kChooseTimer = 3;   // takes the choice and closes the popup
constexpr UINT_PTR kFollowTimer = 4;   // takes the choice, popup stays open
constexpr UINT kButtonMs = 100;
constexpr UINT kPopupMs = 50;
constexpr int kComboScrollBarWidth = 11;
}  // namespace

const UINT& CellListComboSelectionMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("WM_CELLLIST_COMBO_SELECTION", m);
    return r;
}
const UINT& CellListCheckboxClickedMessage() {
    static UINT m = 0;
    static const UINT& r = Registered("WM_CELLLIST_CHECKBOX_CLICKED", m);
    return r;
}

namespace {
// Registers the messages while the program starts, as well as on first use.
[[maybe_unused]] const bool g_registered_at_start = [] {
    CellListComboSelectionMessage();
    CellListCheckboxClickedMessage();
    CellListInvokeMessage();
    return true;
}();
}  // namespace

CELLLISTDATA::CELLLISTDATA()
    : bRowEnabled(TRUE),
      bBoldText(FALSE),
      nImageIndex(-1),
      bDropDown(FALSE),
      bDropButtonDown(FALSE),
      pChoices(nullptr),
      nDropRows(10),
      nDefaultChoice(0),
      crTextColor(::GetSysColor(COLOR_WINDOWTEXT)),
      crFillColor(::GetSysColor(COLOR_WINDOW)),
      bProgressBar(FALSE),
      nPercentDone(0),
      bPercentShown(TRUE),
      nCheckMark(-1),
      dwRowData(0) {}

// A row's records. The list view item's data word holds the address of this.
struct CCellListCtrl::CellRow {
    int count = 0;
    CELLLISTDATA* cells = nullptr;
    ~CellRow() { delete[] cells; }
};

BEGIN_MESSAGE_MAP(CCellListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT_EX(LVN_DELETEITEM, OnDeleteItemNotify)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_WM_PAINT()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_TIMER()
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_VK_ESCAPE, OnComboEscape)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_VK_RETURN, OnComboReturn)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_LBUTTONUP, OnComboLButtonUp)
    ON_REGISTERED_MESSAGE(WM_CELLCOMBO_KEYDOWN, OnComboKeydown)
    ON_REGISTERED_MESSAGE(CellListInvokeMessage(), OnInvoke)
    ON_MESSAGE(LVM_INSERTCOLUMNA, OnInsertColumn)
    ON_MESSAGE(LVM_DELETECOLUMN, OnDeleteColumn)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFFFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFFFFFF, OnToolTipText)
END_MESSAGE_MAP()

CCellListCtrl::CCellListCtrl() { m_sys.Read(); }

CCellListCtrl::~CCellListCtrl() {
    delete m_pDropList;
    m_pDropList = nullptr;
}

void CCellListCtrl::SystemColors::Read() {
    face3d = ::GetSysColor(COLOR_3DFACE);
    light3d = ::GetSysColor(COLOR_3DHIGHLIGHT);
    shadow3d = ::GetSysColor(COLOR_3DSHADOW);
    buttonFace = ::GetSysColor(COLOR_BTNFACE);
    buttonShadow = ::GetSysColor(COLOR_BTNSHADOW);
    buttonText = ::GetSysColor(COLOR_BTNTEXT);
    grayText = ::GetSysColor(COLOR_GRAYTEXT);
    selection = ::GetSysColor(COLOR_HIGHLIGHT);
    selectionText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    window = ::GetSysColor(COLOR_WINDOW);
    windowText = ::GetSysColor(COLOR_WINDOWTEXT);
}

// ---- calls from other threads ------------------------------------------------------------

bool CCellListCtrl::OnOwnThread() const {
    return !m_hWnd || ::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId();
}

template <class R, class F>
R CCellListCtrl::Marshal(R fallback, F&& f) {
    R result = fallback;
    std::function<void()> call = [&] { result = f(); };
    ::SendMessageA(m_hWnd, CellListInvokeMessage(), 0, reinterpret_cast<LPARAM>(&call));
    return result;
}

template <class F>
void CCellListCtrl::MarshalVoid(F&& f) {
    std::function<void()> call = [&] { f(); };
    ::SendMessageA(m_hWnd, CellListInvokeMessage(), 0, reinterpret_cast<LPARAM>(&call));
}

LRESULT CCellListCtrl::OnInvoke(WPARAM, LPARAM lp) {
    if (auto* call = reinterpret_cast<std::function<void()>*>(lp)) (*call)();
    return 0;
}

// ---- records -----------------------------------------------------------------------------

CCellListCtrl::CellRow* CCellListCtrl::Row(int nItem) const {
    if (!m_hWnd || nItem < 0 || nItem >= CListCtrl::GetItemCount()) return nullptr;
    return reinterpret_cast<CellRow*>(CListCtrl::GetItemData(nItem));
}

CELLLISTDATA* CCellListCtrl::Cell(int nItem, int nSubItem) const {
    CellRow* row = Row(nItem);
    if (!row || nSubItem < 0 || nSubItem >= const_cast<CCellListCtrl*>(this)->GetColumns() || nSubItem >= row->count)
        return nullptr;
    return &row->cells[nSubItem];
}

void CCellListCtrl::FreeRow(int nItem) {
    if (CellRow* row = Row(nItem)) {
        CListCtrl::SetItemData(nItem, 0);
        delete row;
    }
}

void CCellListCtrl::FreeAllRows() {
    int n = m_hWnd ? CListCtrl::GetItemCount() : 0;
    for (int i = 0; i < n; ++i) FreeRow(i);
}

int CCellListCtrl::GetColumns() {
    if (!OnOwnThread()) return Marshal(0, [&] { return GetColumns(); });
    if (!m_hWnd) return 0;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    return header ? int(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

// ---- rows --------------------------------------------------------------------------------

int CCellListCtrl::InsertItem(int nItem, LPCSTR lpszItem) {
    if (!OnOwnThread()) return Marshal(-1, [&] { return InsertItem(nItem, lpszItem); });
    return InsertItemEx(nItem, lpszItem, m_sys.windowText, m_sys.window);
}

int CCellListCtrl::InsertItemEx(int nItem, LPCSTR lpszItem, COLORREF crTextColor, COLORREF crFillColor) {
    if (!OnOwnThread()) return Marshal(-1, [&] { return InsertItemEx(nItem, lpszItem, crTextColor, crFillColor); });
    if (nItem < 0 || !m_hWnd) return -1;
    int index = CListCtrl::InsertItem(nItem, lpszItem);
    if (index < 0) return -1;
    CellRow* row = AllocateRow();
    if (!row) return -1;  // the row stays, without records: drawn plainly, clicks ignored
    row->cells[0].crTextColor = crTextColor;
    row->cells[0].crFillColor = crFillColor;
    row->cells[0].nImageIndex = -1;
    CListCtrl::SetItemData(index, reinterpret_cast<DWORD_PTR>(row));
    return index;
}

int CCellListCtrl::InsertItem(const LVITEMA* pItem) {
    if (!OnOwnThread()) return Marshal(-1, [&] { return InsertItem(pItem); });
    if (!pItem || pItem->iItem < 0 || !m_hWnd) return -1;
    // The item's own data word carries the records; the caller's word goes into the first record.
    LVITEMA item = *pItem;
    item.mask &= ~UINT(LVIF_PARAM);
    int index = CListCtrl::InsertItem(&item);
    if (index < 0) return -1;
    CellRow* row = AllocateRow();
    if (!row) return -1;
    row->cells[0].crTextColor = m_sys.windowText;
    row->cells[0].crFillColor = m_sys.window;
    row->cells[0].nImageIndex = (pItem->mask & LVIF_IMAGE) ? pItem->iImage : -1;
    if (pItem->mask & LVIF_PARAM) row->cells[0].dwRowData = DWORD_PTR(pItem->lParam);
    CListCtrl::SetItemData(index, reinterpret_cast<DWORD_PTR>(row));
    return index;
}

CCellListCtrl::CellRow* CCellListCtrl::AllocateRow() {
    int columns = GetColumns();
    auto* row = new (std::nothrow) CellRow;
    if (!row) return nullptr;
    // At least one record: the first one carries the row's flags and word.
    row->count = columns > 0 ? columns : 1;
    row->cells = new (std::nothrow) CELLLISTDATA[size_t(row->count)];
    if (!row->cells) {
        delete row;
        return nullptr;
    }
    return row;
}

BOOL CCellListCtrl::SetItem(const LVITEMA* pItem) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetItem(pItem); });
    if (!pItem || !m_hWnd) return FALSE;
    LVITEMA item = *pItem;
    item.mask &= ~UINT(LVIF_PARAM);  // never overwrite the records' address
    if (!CListCtrl::SetItem(&item)) return FALSE;
    if (CELLLISTDATA* cell = Cell(pItem->iItem, pItem->iSubItem)) {
        if (pItem->mask & LVIF_IMAGE) cell->nImageIndex = pItem->iImage;
        UpdateSubItem(pItem->iItem, pItem->iSubItem);
    }
    if ((pItem->mask & LVIF_PARAM) && pItem->iSubItem == 0) {
        if (CELLLISTDATA* first = Cell(pItem->iItem, 0)) first->dwRowData = DWORD_PTR(pItem->lParam);
    }
    return TRUE;
}

BOOL CCellListCtrl::SetItemImage(int nItem, int nSubItem, int nImageIndex) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetItemImage(nItem, nSubItem, nImageIndex); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return FALSE;
    cell->nImageIndex = nImageIndex;
    UpdateSubItem(nItem, nSubItem);
    return TRUE;
}

BOOL CCellListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText) {
    if (!OnOwnThread()) {
        std::string copy = lpszText ? lpszText : "";
        return Marshal(FALSE, [&] { return SetItemText(nItem, nSubItem, copy.c_str()); });
    }
    if (!Cell(nItem, nSubItem)) return FALSE;
    BOOL ok = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    UpdateSubItem(nItem, nSubItem);
    return ok;
}

BOOL CCellListCtrl::SetItemTextEx(int nItem, int nSubItem, LPCSTR lpszText, COLORREF crTextColor,
                                  COLORREF crFillColor) {
    if (!OnOwnThread())
        return Marshal(FALSE, [&] { return SetItemTextEx(nItem, nSubItem, lpszText, crTextColor, crFillColor); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return FALSE;
    if (lpszText) CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    cell = Cell(nItem, nSubItem);  // the list view's own call may have run other code
    if (!cell) return FALSE;
    cell->crTextColor = crTextColor == COLORREF(-1) ? m_sys.windowText : crTextColor;
    cell->crFillColor = crFillColor == COLORREF(-1) ? m_sys.window : crFillColor;
    UpdateSubItem(nItem, nSubItem);
    return TRUE;
}

BOOL CCellListCtrl::DeleteItem(int nItem) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return DeleteItem(nItem); });
    if (!m_hWnd || nItem < 0 || nItem >= CListCtrl::GetItemCount()) return FALSE;
    // Row numbers below the deleted one shift: an open drop-down would name another cell.
    if (m_pDropList || m_bDropButtonHeld) ResetCombo();
    FreeRow(nItem);
    return CListCtrl::DeleteItem(nItem);
}

BOOL CCellListCtrl::DeleteAllItems() {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return DeleteAllItems(); });
    if (!m_hWnd) return FALSE;
    ResetCombo();
    FreeAllRows();
    return CListCtrl::DeleteAllItems();
}

// ---- progress ----------------------------------------------------------------------------

BOOL CCellListCtrl::SetProgress(int nItem, int nSubItem, BOOL bShowPercent, LPCSTR lpszPercentFormat) {
    if (!OnOwnThread()) {
        std::string copy = lpszPercentFormat ? lpszPercentFormat : "";
        bool has = lpszPercentFormat != nullptr;
        return Marshal(FALSE, [&] { return SetProgress(nItem, nSubItem, bShowPercent, has ? copy.c_str() : nullptr); });
    }
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return FALSE;
    cell->bProgressBar = TRUE;
    cell->nPercentDone = 0;
    cell->bPercentShown = bShowPercent;
    cell->strPercentFormat = lpszPercentFormat ? lpszPercentFormat : "";
    UpdateSubItem(nItem, nSubItem);
    return TRUE;
}

void CCellListCtrl::DeleteProgress(int nItem, int nSubItem) {
    if (!OnOwnThread()) return MarshalVoid([&] { DeleteProgress(nItem, nSubItem); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return;
    cell->bProgressBar = FALSE;
    cell->nPercentDone = 0;
    UpdateSubItem(nItem, nSubItem);
}

void CCellListCtrl::UpdateProgress(int nItem, int nSubItem, int nPercent) {
    if (!OnOwnThread()) return MarshalVoid([&] { UpdateProgress(nItem, nSubItem, nPercent); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return;
    cell->nPercentDone = nPercent;
    UpdateSubItem(nItem, nSubItem);
}

CString CCellListCtrl::FormatProgressText(LPCSTR lpszFormat, int nPercent) {
    // The text is the caller's, not a trusted format: one integer conversion receives the
    // percent, "%%" is a percent sign, and anything else is shown as it stands.
    std::string fmt = lpszFormat && *lpszFormat ? lpszFormat : "%d%%";
    std::string out;
    bool used = false;
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // Flags, width, an 'l' or 'h' length, then d, i or u.
        size_t j = i + 1;
        bool left = false, zero = false, plus = false, space = false;
        for (; j < fmt.size() && std::strchr("-0+ #", fmt[j]); ++j) {
            if (fmt[j] == '-') left = true;
            if (fmt[j] == '0') zero = true;
            if (fmt[j] == '+') plus = true;
            if (fmt[j] == ' ') space = true;
        }
        int width = 0;
        for (; j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9'; ++j) width = width < 1000 ? width * 10 + (fmt[j] - '0') : width;
        while (j < fmt.size() && (fmt[j] == 'l' || fmt[j] == 'h')) ++j;
        if (!used && j < fmt.size() && (fmt[j] == 'd' || fmt[j] == 'i' || fmt[j] == 'u')) {
            used = true;
            long long v = fmt[j] == 'u' ? (long long)(unsigned)nPercent : nPercent;
            std::string num = std::to_string(v < 0 ? -v : v);
            std::string sign = v < 0 ? "-" : plus ? "+" : space ? " " : "";
            int pad = width - int(sign.size() + num.size());
            if (width > 64) pad = 0;  // nothing that wide fits a cell
            if (pad > 0 && left) num = sign + num + std::string(size_t(pad), ' ');
            else if (pad > 0 && zero) num = sign + std::string(size_t(pad), '0') + num;
            else if (pad > 0) num = std::string(size_t(pad), ' ') + sign + num;
            else num = sign + num;
            out += num;
            i = j;
            continue;
        }
        out += c;  // not a conversion this control fills: shown as written
    }
    return CString(out.c_str());
}

// ---- check boxes -------------------------------------------------------------------------

BOOL CCellListCtrl::SetCheckbox(int nItem, int nSubItem, int nCheckMark) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetCheckbox(nItem, nSubItem, nCheckMark); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return FALSE;
    cell->nCheckMark = nCheckMark;
    UpdateSubItem(nItem, nSubItem);
    SyncHeaderCheck(nSubItem);
    return TRUE;
}

int CCellListCtrl::GetCheckbox(int nItem, int nSubItem) {
    if (!OnOwnThread()) return Marshal(-1, [&] { return GetCheckbox(nItem, nSubItem); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    return cell ? cell->nCheckMark : -1;
}

int CCellListCtrl::CountCheckedItems(int nSubItem) {
    if (!OnOwnThread()) return Marshal(0, [&] { return CountCheckedItems(nSubItem); });
    if (!m_hWnd || nSubItem < 0 || nSubItem >= GetColumns()) return 0;
    int n = 0, rows = CListCtrl::GetItemCount();
    for (int i = 0; i < rows; ++i) {
        CELLLISTDATA* cell = Cell(i, nSubItem);
        if (cell && cell->nCheckMark == 1) ++n;
    }
    return n;
}

int CCellListCtrl::GetHeaderCheckedState(int nSubItem) {
    if (!OnOwnThread()) return Marshal(-1, [&] { return GetHeaderCheckedState(nSubItem); });
    if (!m_hWnd || nSubItem < 0 || nSubItem >= GetColumns()) return -1;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    HDITEMA hi{};
    hi.mask = HDI_IMAGE;
    if (!::SendMessageA(header, HDM_GETITEMA, WPARAM(nSubItem), reinterpret_cast<LPARAM>(&hi))) return -1;
    return hi.iImage > 0 ? hi.iImage : 0;  // an item never given an image shows none
}

BOOL CCellListCtrl::SetHeaderCheckedState(int nSubItem, int nCheckMark) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetHeaderCheckedState(nSubItem, nCheckMark); });
    if (!m_hWnd || nSubItem < 0 || nSubItem >= GetColumns()) return FALSE;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    HDITEMA hi{};
    hi.mask = HDI_IMAGE;
    hi.iImage = nCheckMark;
    if (!::SendMessageA(header, HDM_SETITEMA, WPARAM(nSubItem), reinterpret_cast<LPARAM>(&hi))) return FALSE;
    ::InvalidateRect(header, nullptr, TRUE);
    return TRUE;
}

void CCellListCtrl::SyncHeaderCheck(int nSubItem) {
    // Only a column whose header shows a check image follows its cells.
    if (GetHeaderCheckedState(nSubItem) <= 0) return;
    int want = CountCheckedItems(nSubItem) == CListCtrl::GetItemCount() ? 2 : 1;
    if (GetHeaderCheckedState(nSubItem) != want) SetHeaderCheckedState(nSubItem, want);
}

void CCellListCtrl::NotifyParent(UINT msg, int nItem, int nSubItem) {
    CWnd* target = GetParent();
    if (!target) target = AfxGetMainWnd();
    if (target && target->m_hWnd) target->SendMessage(msg, WPARAM(nItem), LPARAM(nSubItem));
}

void CCellListCtrl::FlipCheckbox(int nItem, int nSubItem) {
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return;
    cell->nCheckMark = cell->nCheckMark == 0 ? 1 : 0;
    UpdateSubItem(nItem, nSubItem);
    NotifyParent(WM_CELLLIST_CHECKBOX_CLICKED, nItem, nSubItem);
    SyncHeaderCheck(nSubItem);
}

// ---- row and cell look -------------------------------------------------------------------

BOOL CCellListCtrl::SetEnabled(int nItem, BOOL bEnable) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetEnabled(nItem, bEnable); });
    CELLLISTDATA* first = Cell(nItem, 0);
    if (!first) return FALSE;
    first->bRowEnabled = bEnable;
    UpdateSubItem(nItem, -1);
    return TRUE;
}

BOOL CCellListCtrl::GetEnabled(int nItem) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return GetEnabled(nItem); });
    CELLLISTDATA* first = Cell(nItem, 0);
    return first ? first->bRowEnabled : FALSE;
}

BOOL CCellListCtrl::SetBold(int nItem, int nSubItem, BOOL bBoldText) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetBold(nItem, nSubItem, bBoldText); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return FALSE;
    cell->bBoldText = bBoldText;
    UpdateSubItem(nItem, nSubItem);
    return TRUE;
}

BOOL CCellListCtrl::GetBold(int nItem, int nSubItem) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return GetBold(nItem, nSubItem); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    return cell ? cell->bBoldText : FALSE;
}

// ---- combo cells -------------------------------------------------------------------------

BOOL CCellListCtrl::SetComboBox(int nItem, int nSubItem, BOOL bEnableDropDown, CStringArray* pChoices, int nDropRows,
                                int nDefaultChoice) {
    if (!OnOwnThread())
        return Marshal(
            FALSE, [&] { return SetComboBox(nItem, nSubItem, bEnableDropDown, pChoices, nDropRows, nDefaultChoice); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell || !pChoices) return FALSE;
    if (nDefaultChoice < 0 || nDefaultChoice >= pChoices->GetSize()) nDefaultChoice = 0;
    cell->bDropDown = bEnableDropDown;
    if (bEnableDropDown) {
        cell->pChoices = pChoices;
        cell->nDropRows = nDropRows;
        cell->nDefaultChoice = nDefaultChoice;
        // An empty array has no choice to show.
        if (nDefaultChoice < pChoices->GetSize())
            CListCtrl::SetItemText(nItem, nSubItem, pChoices->GetAt(nDefaultChoice));
    }
    UpdateSubItem(nItem, nSubItem);
    return TRUE;
}

CString CCellListCtrl::GetComboText(int nItem, int nSubItem) {
    if (!OnOwnThread()) return Marshal(CString(), [&] { return GetComboText(nItem, nSubItem); });
    if (!Cell(nItem, nSubItem)) return CString();
    return CListCtrl::GetItemText(nItem, nSubItem);
}

BOOL CCellListCtrl::ComboCellValid() const {
    return m_nDropRow >= 0 && m_nDropColumn >= 0 && Cell(m_nDropRow, m_nDropColumn) != nullptr;
}

void CCellListCtrl::ReleaseComboButton() {
    // A release can come back here through the repaint; the guard keeps it to one.
    static bool busy = false;
    if (busy) return;
    busy = true;
    if (m_bDropButtonHeld && ComboCellValid()) {
        Cell(m_nDropRow, m_nDropColumn)->bDropButtonDown = FALSE;
        UpdateSubItem(m_nDropRow, m_nDropColumn);
    }
    m_bDropButtonHeld = FALSE;
    busy = false;
}

void CCellListCtrl::CloseComboList() {
    // Called from this control's own timers (or its own teardown), never from the handler of
    // a message the popup sent: the popup's handler is then no longer on the stack.
    if (!m_pDropList) return;
    CCellComboList* popup = m_pDropList;
    m_pDropList = nullptr;
    delete popup;
}

void CCellListCtrl::StartComboEscape() {
    if (!m_pDropList) return;
    KillTimer(kButtonTimer);
    SetTimer(kEscapeTimer, kPopupMs);
    if (ComboCellValid()) {
        CListCtrl::SetItemText(m_nDropRow, m_nDropColumn, m_strTextBeforeDrop);
        UpdateSubItem(m_nDropRow, m_nDropColumn);
    }
}

void CCellListCtrl::ResetCombo() {
    if (m_hWnd) {
        KillTimer(kButtonTimer);
        KillTimer(kEscapeTimer);
        KillTimer(kChooseTimer);
        KillTimer(kFollowTimer);
    }
    if (m_bDropButtonHeld && ComboCellValid()) Cell(m_nDropRow, m_nDropColumn)->bDropButtonDown = FALSE;
    m_bDropButtonHeld = FALSE;
    CloseComboList();
    m_nDropRow = m_nDropColumn = -1;
}

void CCellListCtrl::OpenComboList(int nItem, int nSubItem, const CRect& rcCombo, CDC* pDC) {
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell || m_pDropList) return;
    auto* popup = new (std::nothrow) CCellComboList(this);
    if (!popup) return;
    m_nDropRow = nItem;
    m_nDropColumn = nSubItem;

    int cellHeight = rcCombo.Height() - 1;  // the cell's own height (the frame got one more pixel)
    CRect rc = rcCombo;
    rc.right -= 1;
    rc.top = rcCombo.bottom - 2;  // the cell's bottom less one
    int rows = cell->nDropRows > 0 ? cell->nDropRows : 1;
    rc.bottom = rc.top + rows * (cellHeight - 2 > 1 ? cellHeight - 2 : 1);
    ClientToScreen(&rc);
    m_rcDropList = rc;

    LPCSTR cls = AfxRegisterWndClass(CS_CLASSDC | CS_SAVEBITS, ::LoadCursorA(nullptr, IDC_ARROW), nullptr, nullptr);
    if (!popup->CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE | WS_BORDER, rc, this, 0)) {
        delete popup;
        return;  // the cell stays a plain combo cell
    }
    m_pDropList = popup;

    if (!m_bDropFontMade) {
        LOGFONTA lf{};
        CFont* current = pDC ? pDC->GetCurrentFont() : nullptr;
        if (current && current->GetLogFont(&lf) && m_dropFont.CreateFontIndirect(&lf)) m_bDropFontMade = TRUE;
    }
    if (m_bDropFontMade) popup->SetFont(&m_dropFont, FALSE);

    if (CStringArray* pChoices = cell->pChoices) {
        for (INT_PTR i = 0; i < pChoices->GetSize(); ++i)
            if (!pChoices->GetAt(i).IsEmpty()) popup->AddString(pChoices->GetAt(i));
    }
    CString text = CListCtrl::GetItemText(nItem, nSubItem);
    int sel = 0;
    if (!text.IsEmpty()) {
        sel = popup->FindStringExact(-1, text);
        if (sel < 0) sel = 0;
    }
    popup->SetCurSel(sel);
    CString chosen;
    if (sel < popup->GetCount()) popup->GetLBText(sel, chosen);
    if (text.IsEmpty() && !chosen.IsEmpty()) CListCtrl::SetItemText(nItem, nSubItem, chosen);
    m_strTextBeforeDrop = chosen.IsEmpty() ? text : chosen;
    popup->Show(kComboScrollBarWidth);
}

LRESULT CCellListCtrl::OnComboEscape(WPARAM, LPARAM) {
    StartComboEscape();
    return 0;
}

LRESULT CCellListCtrl::OnComboReturn(WPARAM, LPARAM) {
    TRACE("in CCellListCtrl::OnComboReturn\n");
    KillTimer(kButtonTimer);
    SetTimer(kChooseTimer, kPopupMs);
    return 0;
}

LRESULT CCellListCtrl::OnComboLButtonUp(WPARAM, LPARAM) {
    TRACE("in CCellListCtrl::OnComboLButtonUp\n");
    KillTimer(kButtonTimer);
    SetTimer(kChooseTimer, kPopupMs);
    return 0;
}

LRESULT CCellListCtrl::OnComboKeydown(WPARAM, LPARAM) {
    SetTimer(kFollowTimer, kPopupMs);
    return 0;
}

BOOL CCellListCtrl::TakeComboChoice() {
    if (!m_pDropList || !ComboCellValid()) return FALSE;
    int sel = m_pDropList->GetCurSel();
    if (sel < 0) return FALSE;
    CString text;
    m_pDropList->GetLBText(sel, text);
    CListCtrl::SetItemText(m_nDropRow, m_nDropColumn, text);
    UpdateSubItem(m_nDropRow, m_nDropColumn);
    return TRUE;
}

void CCellListCtrl::OnTimer(UINT_PTR nIDEvent) {
    switch (nIDEvent) {
        case kButtonTimer:
            if (m_bDropButtonHeld) {
                CPoint pt;
                ::GetCursorPos(&pt);
                ScreenToClient(&pt);
                if (!m_rcDropButton.PtInRect(pt)) ReleaseComboButton();
            } else if (!m_pDropList) {
                KillTimer(kButtonTimer);
            } else {
                m_pDropList->Show(kComboScrollBarWidth);
            }
            return;
        case kEscapeTimer:
            KillTimer(kEscapeTimer);
            CloseComboList();
            return;
        case kChooseTimer: {
            KillTimer(kChooseTimer);
            int row = m_nDropRow, col = m_nDropColumn;
            BOOL chosen = TakeComboChoice();
            CloseComboList();
            if (chosen) NotifyParent(WM_CELLLIST_COMBO_SELECTION, row, col);
            return;
        }
        case kFollowTimer:
            KillTimer(kFollowTimer);
            TakeComboChoice();
            return;
        default: CListCtrl::OnTimer(nIDEvent);
    }
}

// ---- selection, repainting ---------------------------------------------------------------

BOOL CCellListCtrl::SetCurSel(int nItem) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetCurSel(nItem); });
    if (!m_hWnd || nItem < 0 || nItem >= CListCtrl::GetItemCount()) return FALSE;
    return CListCtrl::SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CCellListCtrl::GetCurSel() {
    if (!OnOwnThread()) return Marshal(-1, [&] { return GetCurSel(); });
    if (!m_hWnd) return -1;
    return CListCtrl::GetNextItem(-1, LVNI_SELECTED);
}

CRect CCellListCtrl::CellRect(int nItem, int nSubItem) const {
    CRect rect;
    if (!CListCtrl::GetSubItemRect(nItem, nSubItem, LVIR_BOUNDS, rect)) return CRect(0, 0, 0, 0);
    // Column 0's bounds are the whole row's: the cell ends where column 1 begins.
    if (nSubItem == 0 && const_cast<CCellListCtrl*>(this)->GetColumns() > 1) {
        CRect next;
        if (CListCtrl::GetSubItemRect(nItem, 1, LVIR_BOUNDS, next)) rect.right = next.left;
    }
    return rect;
}

void CCellListCtrl::UpdateSubItem(int nItem, int nSubItem) {
    if (!OnOwnThread()) return MarshalVoid([&] { UpdateSubItem(nItem, nSubItem); });
    if (!m_hWnd || nItem < 0 || nItem >= CListCtrl::GetItemCount() || nSubItem < -1 || nSubItem >= GetColumns())
        return;
    CRect rect;
    if (nSubItem == -1) {
        if (!CListCtrl::GetItemRect(nItem, &rect, LVIR_BOUNDS)) return;
    } else {
        rect = CellRect(nItem, nSubItem);
    }
    InvalidateRect(&rect);
    UpdateWindow();
}

// ---- item data ---------------------------------------------------------------------------

BOOL CCellListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    if (!OnOwnThread()) return Marshal(FALSE, [&] { return SetItemData(nItem, dwData); });
    CELLLISTDATA* first = Cell(nItem, 0);
    if (!first) return FALSE;
    first->dwRowData = dwData;
    return TRUE;
}

DWORD_PTR CCellListCtrl::GetItemData(int nItem) {
    if (!OnOwnThread()) return Marshal(DWORD_PTR(0), [&] { return GetItemData(nItem); });
    CELLLISTDATA* first = Cell(nItem, 0);
    return first ? first->dwRowData : 0;
}

// ---- tooltips ----------------------------------------------------------------------------

BOOL CCellListCtrl::SetItemToolTipText(int nItem, int nSubItem, LPCSTR lpszTip) {
    if (!OnOwnThread()) {
        std::string copy = lpszTip ? lpszTip : "";
        return Marshal(FALSE, [&] { return SetItemToolTipText(nItem, nSubItem, copy.c_str()); });
    }
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    if (!cell) return FALSE;
    cell->strTipText = lpszTip ? lpszTip : "";
    return TRUE;
}

CString CCellListCtrl::GetItemToolTipText(int nItem, int nSubItem) {
    if (!OnOwnThread()) return Marshal(CString(), [&] { return GetItemToolTipText(nItem, nSubItem); });
    CELLLISTDATA* cell = Cell(nItem, nSubItem);
    return cell ? cell->strTipText : CString();
}

void CCellListCtrl::DeleteAllToolTips() {
    if (!OnOwnThread()) return MarshalVoid([&] { DeleteAllToolTips(); });
    if (!m_hWnd) return;
    int rows = CListCtrl::GetItemCount();
    for (int i = 0; i < rows; ++i)
        if (CellRow* row = Row(i))
            for (int c = 0; c < row->count; ++c) row->cells[c].strTipText.Empty();
}

INT_PTR CCellListCtrl::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const {
    TRACE("in CCellListCtrl::OnToolHitTest: %d,%d\n", point.x, point.y);
    LVHITTESTINFO hit{};
    hit.pt = point;
    ::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || hit.iSubItem < 0 || !(hit.flags & LVHT_ONITEMLABEL)) return -1;
    INT_PTR id = ToolId(hit.iItem, hit.iSubItem);
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = UINT_PTR(id);
        pTI->lpszText = LPSTR_TEXTCALLBACKA;
        ::GetClientRect(m_hWnd, &pTI->rect);
    }
    return id;
}

namespace {
// At most `max_units` UTF-16 units of a UTF-8 text, never half a character.
size_t Utf8ToUtf16(const char* s, WCHAR* out, size_t max_units) {
    size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && c < 0xC0) {  // a stray continuation byte
            c = 0xFFFD;
            extra = 0;
        } else if (extra) {
            c &= 0x3F >> extra;
        }
        ++p;
        for (int k = 0; k < extra; ++k) {
            if ((*p & 0xC0) != 0x80) {
                c = 0xFFFD;
                break;
            }
            c = (c << 6) | (*p++ & 0x3F);
        }
        size_t units = c >= 0x10000 ? 2 : 1;
        if (n + units > max_units) break;
        if (units == 2) {
            c -= 0x10000;
            out[n++] = WCHAR(0xD800 + (c >> 10));
            out[n++] = WCHAR(0xDC00 + (c & 0x3FF));
        } else {
            out[n++] = WCHAR(c);
        }
    }
    return n;
}

// The length of at most `max_bytes` bytes of a UTF-8 text, cut before a partial character.
size_t Utf8Prefix(const char* s, size_t max_bytes) {
    size_t len = std::strlen(s);
    if (len <= max_bytes) return len;
    size_t cut = max_bytes;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    return cut;
}
}  // namespace

BOOL CCellListCtrl::OnToolTipText(UINT id, NMHDR* pNMHDR, LRESULT* pResult) {
    TRACE("in CCellListCtrl::OnToolTipText: id=%d\n", int(id));
    if (id == 0 || !pNMHDR) return FALSE;
    if (pResult) *pResult = 0;
    DWORD pos = ::GetMessagePos();
    CPoint pt(short(LOWORD(pos)), short(HIWORD(pos)));
    ScreenToClient(&pt);
    LVHITTESTINFO hit{};
    hit.pt = pt;
    ::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0 || !(hit.flags & LVHT_ONITEMLABEL)) return FALSE;
    CString tip = GetItemToolTipText(hit.iItem, hit.iSubItem);
    if (tip.IsEmpty()) return TRUE;
    // The notification's buffer holds 80 characters with the terminating zero.
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
        size_t n = Utf8Prefix(tip, sizeof info->szText - 1);
        std::memcpy(info->szText, (LPCSTR)tip, n);
        info->szText[n] = 0;
        info->lpszText = info->szText;
    } else if (pNMHDR->code == TTN_NEEDTEXTW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        size_t n = Utf8ToUtf16(tip, info->szText, sizeof info->szText / sizeof info->szText[0] - 1);
        info->szText[n] = 0;
        info->lpszText = info->szText;
    }
    return TRUE;
}

// ---- window life -------------------------------------------------------------------------

void CCellListCtrl::HookHeader() {
    if (m_bHeaderHooked || !m_hWnd) return;
    HWND header = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0));
    if (header && m_header.SubclassWindow(header)) m_bHeaderHooked = TRUE;
}

void CCellListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    HookHeader();
}

int CCellListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CListCtrl::OnCreate(lpCreateStruct) == -1) return -1;
    HookHeader();
    return 0;
}

void CCellListCtrl::OnDestroy() {
    ResetCombo();
    FreeAllRows();
    CListCtrl::OnDestroy();
}

void CCellListCtrl::OnPaint() { Default(); }

void CCellListCtrl::OnSysColorChange() {
    m_sys.Read();
    Default();
}

LRESULT CCellListCtrl::OnInsertColumn(WPARAM, LPARAM) {
    // Rows size their records by the column count when they are inserted.
    if (CListCtrl::GetItemCount() > 0) {
        TRACE("CellListCtrl: columns cannot change while the list has rows\n");
        return -1;
    }
    return Default();
}

LRESULT CCellListCtrl::OnDeleteColumn(WPARAM, LPARAM) {
    if (CListCtrl::GetItemCount() > 0) {
        TRACE("CellListCtrl: columns cannot change while the list has rows\n");
        return FALSE;
    }
    return Default();
}

// ---- mouse and keys ----------------------------------------------------------------------

void CCellListCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    TRACE("in CCellListCtrl::OnLButtonDown\n");
    int row = -1, col = -1;
    int rows = CListCtrl::GetItemCount();
    for (int i = 0; i < rows && row < 0; ++i) {
        CRect r;
        if (CListCtrl::GetItemRect(i, &r, LVIR_BOUNDS) && r.PtInRect(point)) row = i;
    }
    if (row >= 0) {
        int cols = GetColumns();
        for (int c = 0; c < cols && col < 0; ++c)
            if (CellRect(row, c).PtInRect(point)) col = c;
    }
    if (row < 0 || col < 0) {
        if (m_pDropList) StartComboEscape();
        CListCtrl::OnLButtonDown(nFlags, point);
        return;
    }
    CELLLISTDATA* first = Cell(row, 0);
    CELLLISTDATA* cell = Cell(row, col);
    if (!first || !cell || !first->bRowEnabled) return;

    if (cell->nCheckMark != -1) {
        FlipCheckbox(row, col);
    } else if (cell->bDropDown) {
        CloseComboList();
        CRect rc = CellRect(row, col);
        if (point.x >= rc.right - rc.Height() && point.x <= rc.right) {
            cell->bDropButtonDown = TRUE;
            m_bDropButtonHeld = TRUE;
            m_nDropRow = row;
            m_nDropColumn = col;
            UpdateSubItem(row, col);
            SetTimer(kButtonTimer, kButtonMs);
        }
    } else if (m_pDropList) {
        StartComboEscape();
    }
    CListCtrl::OnLButtonDown(nFlags, point);
    // A press on the button of a row that only now became selected: the cell is drawn as a
    // combo (which opens the list) from this repaint, before the button is let go.
    if (m_bDropButtonHeld && !m_pDropList && ComboCellValid()) UpdateSubItem(m_nDropRow, m_nDropColumn);
}

void CCellListCtrl::OnLButtonDblClk(UINT nFlags, CPoint point) {
    // The second of two quick clicks works a check box or a combo button like the first.
    OnLButtonDown(nFlags, point);
}

void CCellListCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    // The space bar works the focused row's check box as a click on it would.
    if (nChar == VK_SPACE) {
        int row = CListCtrl::GetNextItem(-1, LVNI_FOCUSED);
        CELLLISTDATA* first = Cell(row, 0);
        if (first && first->bRowEnabled) {
            int cols = GetColumns();
            for (int c = 0; c < cols; ++c) {
                CELLLISTDATA* cell = Cell(row, c);
                if (cell && cell->nCheckMark != -1) {
                    FlipCheckbox(row, c);
                    break;
                }
            }
        }
    }
    CListCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CCellListCtrl::OnClick(NMHDR*, LRESULT* pResult) {
    ReleaseComboButton();
    if (pResult) *pResult = 0;
    return FALSE;  // the parent sees the click too
}

BOOL CCellListCtrl::OnDeleteItemNotify(NMHDR* pNMHDR, LRESULT* pResult) {
    // A row deleted past this class (through the list view's own message) still frees its
    // records; rows deleted here have had their word cleared already.
    auto* nm = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (nm && nm->lParam) {
        delete reinterpret_cast<CellRow*>(nm->lParam);
        if (nm->iItem >= 0 && nm->iItem < CListCtrl::GetItemCount()) CListCtrl::SetItemData(nm->iItem, 0);
    }
    if (pResult) *pResult = 0;
    return FALSE;  // the parent sees it too
}

BOOL CCellListCtrl::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
    if (pResult) *pResult = 0;
    auto* nm = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    int col = nm ? nm->iSubItem : -1;
    int image = GetHeaderCheckedState(col);
    if (image > 0) {
        int next = image == 1 ? 2 : 1;
        SetHeaderCheckedState(col, next);
        if (m_bHeaderHooked) m_header.UpdateWindow();
        int rows = CListCtrl::GetItemCount();
        for (int i = 0; i < rows; ++i) {
            CELLLISTDATA* cell = Cell(i, col);
            if (cell && cell->nCheckMark != -1) {
                cell->nCheckMark = next == 2 ? 1 : 0;
                UpdateSubItem(i, col);
            }
        }
    }
    return FALSE;  // the parent sees the click too
}
