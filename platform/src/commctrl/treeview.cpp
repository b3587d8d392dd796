// The tree view's model: inserting, deleting, expanding, selecting, reading and changing items
// and walking the tree, with the notices the parent hears about each.
#include <algorithm>
#include <cstring>

#include "commctrl/treeview_state.h"

namespace plat::commctrl::tree {

Item* Find(const Tree& t, HTREEITEM h) {
    auto it = t.items.find(reinterpret_cast<uintptr_t>(h));
    return it == t.items.end() ? nullptr : it->second.get();
}

int Level(const Item* i) {
    int n = 0;
    for (const Item* p = i->parent; p; p = p->parent) ++n;
    return n;
}

const std::vector<Item*>& Siblings(const Tree& t, const Item* i) { return i->parent ? i->parent->children : t.roots; }

bool HasChildren(const Item* i) { return !i->children.empty() || i->kids > 0; }

namespace {

bool IsRoot(HTREEITEM h) { return !h || h == TVI_ROOT; }

void Describe(TVITEMA& out, const Item* i) {
    out = TVITEMA{};
    if (!i) return;
    out.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    out.hItem = Handle(i);
    out.state = i->state;
    out.stateMask = 0xFFFF;
    out.pszText = const_cast<char*>(i->text.c_str());
    out.cchTextMax = int(i->text.size() + 1);
    out.iImage = i->image;
    out.iSelectedImage = i->selimage;
    out.lParam = i->lparam;
}

LRESULT SendTreeNotice(HWND h, UINT code, UINT action, const Item* old_item, const Item* new_item) {
    NMTREEVIEWA nm{};
    nm.action = action;
    Describe(nm.itemOld, old_item);
    Describe(nm.itemNew, new_item);
    return SendNotify(h, code, &nm.hdr);
}

bool Alive(HWND h, uintptr_t id) {
    Tree* t = T(h);
    return t && t->items.count(id);
}

}  // namespace

bool Select(HWND h, Item* to, UINT action) {
    Tree* t = T(h);
    if (!t || to == t->caret) return true;
    uintptr_t to_id = to ? to->id : 0;
    if (SendTreeNotice(h, TVN_SELCHANGINGA, action, t->caret, to)) return false;
    if (!(t = T(h)) || (to_id && !Alive(h, to_id))) return false;
    Item* old = t->caret;
    if (old) old->state &= ~UINT(TVIS_SELECTED);
    t->caret = to;
    if (to) {
        to->state |= TVIS_SELECTED;
        EnsureVisible(h, *t, to);
    }
    Changed(h, *t);
    SendTreeNotice(h, TVN_SELCHANGEDA, action, old, to);
    return true;
}

namespace {

void DeleteItem(HWND h, Tree& t, Item* i);

void DeleteChildren(HWND h, Tree& t, Item* i) {
    while (!i->children.empty()) DeleteItem(h, t, i->children.back());
}

void DeleteItem(HWND h, Tree& t, Item* i) {
    DeleteChildren(h, t, i);
    SendTreeNotice(h, TVN_DELETEITEMA, 0, i, nullptr);
    auto& sib = i->parent ? i->parent->children : t.roots;
    sib.erase(std::remove(sib.begin(), sib.end(), i), sib.end());
    if (t.caret == i) t.caret = nullptr;
    if (t.drop == i) t.drop = nullptr;
    t.items.erase(i->id);
}

bool IsUnder(const Item* i, const Item* ancestor) {
    for (const Item* p = i ? i->parent : nullptr; p; p = p->parent)
        if (p == ancestor) return true;
    return false;
}

// What takes the selection when an item goes: its next sibling, else the one before it, else
// its parent (null for a lone item at the root: the selection goes to nothing).
Item* Neighbour(const Tree& t, const Item* i) {
    const auto& sib = Siblings(t, i);
    auto at = std::find(sib.begin(), sib.end(), i);
    if (at != sib.end() && at + 1 != sib.end()) return *(at + 1);
    if (at != sib.end() && at != sib.begin()) return *(at - 1);
    return i->parent;
}

}  // namespace

void DeleteAll(HWND h, Tree& t) {
    while (!t.roots.empty()) DeleteItem(h, t, t.roots.back());
}

// The program's TVM_EXPAND tells the parent only until the item has been expanded once.
bool Expand(HWND h, Item* i, UINT how, bool by_user) {
    Tree* t = T(h);
    if (!t || !i) return false;
    bool open = i->state & TVIS_EXPANDED;
    UINT kind = how & 3;
    bool want = kind == TVE_TOGGLE ? !open : kind == TVE_EXPAND;
    if (kind == 0) return false;
    if (want && !HasChildren(i)) return false;
    if (want == open && !(how & TVE_COLLAPSERESET)) return true;
    bool notify = by_user || !(i->state & TVIS_EXPANDEDONCE);
    uintptr_t id = i->id;
    UINT action = want ? TVE_EXPAND : TVE_COLLAPSE;
    if (notify && SendTreeNotice(h, TVN_ITEMEXPANDINGA, action, nullptr, i)) return false;
    if (!(t = T(h)) || !Alive(h, id)) return false;
    if (want) {
        i->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    } else {
        i->state &= ~UINT(TVIS_EXPANDED);
        if (IsUnder(t->caret, i)) Select(h, i, TVC_UNKNOWN);
        if (how & TVE_COLLAPSERESET) {
            DeleteChildren(h, *t, i);
            i->state &= ~UINT(TVIS_EXPANDEDONCE);
        }
    }
    Changed(h, *t);
    if (notify) SendTreeNotice(h, TVN_ITEMEXPANDEDA, action, nullptr, i);
    return true;
}

namespace {

bool TextBefore(const Item* a, const Item* b) { return lstrcmpiA(a->text.c_str(), b->text.c_str()) < 0; }

void Apply(Item& i, const TVITEMA& src) {
    if ((src.mask & TVIF_TEXT) && src.pszText && src.pszText != LPSTR_TEXTCALLBACKA) i.text = src.pszText;
    if (src.mask & TVIF_IMAGE) i.image = src.iImage;
    if (src.mask & TVIF_SELECTEDIMAGE) i.selimage = src.iSelectedImage;
    if (src.mask & TVIF_PARAM) i.lparam = src.lParam;
    if (src.mask & TVIF_CHILDREN) i.kids = src.cChildren;
    // Selection is the control's to keep: a state change cannot select an item.
    UINT mask = (src.mask & TVIF_STATE) ? src.stateMask & ~UINT(TVIS_SELECTED) : 0;
    i.state = (i.state & ~mask) | (src.state & mask);
}

LRESULT OnInsert(HWND h, Tree* t, const TVINSERTSTRUCTA* ins) {
    if (!ins) return 0;
    Item* parent = IsRoot(ins->hParent) ? nullptr : Find(*t, ins->hParent);
    if (!IsRoot(ins->hParent) && !parent) return 0;
    auto item = std::make_unique<Item>();
    Item* i = item.get();
    i->id = t->next_id++;
    i->parent = parent;
    Apply(*i, ins->item);
    auto& sib = parent ? parent->children : t->roots;
    auto at = sib.end();
    if (ins->hInsertAfter == TVI_FIRST) {
        at = sib.begin();
    } else if (ins->hInsertAfter == TVI_SORT) {
        at = std::upper_bound(sib.begin(), sib.end(), i, TextBefore);
    } else if (Item* after = Find(*t, ins->hInsertAfter); after && after->parent == parent) {
        at = std::find(sib.begin(), sib.end(), after) + 1;
    }
    sib.insert(at, i);
    t->items.emplace(i->id, std::move(item));
    Changed(h, *t);
    return reinterpret_cast<LRESULT>(Handle(i));
}

LRESULT OnDelete(HWND h, Tree* t, LPARAM l) {
    auto which = reinterpret_cast<HTREEITEM>(l);
    if (IsRoot(which)) {
        DeleteAll(h, *t);
    } else {
        Item* i = Find(*t, which);
        if (!i) return FALSE;
        if (t->caret && (t->caret == i || IsUnder(t->caret, i))) {
            // The selection goes to a neighbour first, so the parent sees it leave a live item.
            Select(h, Neighbour(*t, i), TVC_UNKNOWN);
            if (!(t = T(h))) return TRUE;
            if (!(i = Find(*t, which))) {
                Changed(h, *t);
                return TRUE;
            }
        }
        DeleteItem(h, *t, i);
    }
    if ((t = T(h))) Changed(h, *t);
    return TRUE;
}

LRESULT OnGetItem(Tree* t, TVITEMA* out) {
    Item* i = out ? Find(*t, out->hItem) : nullptr;
    if (!i) return FALSE;
    if (out->mask & TVIF_TEXT) CopyOut(i->text, out->pszText, out->cchTextMax);
    if (out->mask & TVIF_IMAGE) out->iImage = i->image;
    if (out->mask & TVIF_SELECTEDIMAGE) out->iSelectedImage = i->selimage;
    if (out->mask & TVIF_PARAM) out->lParam = i->lparam;
    if (out->mask & TVIF_STATE) out->state = i->state & out->stateMask;
    if (out->mask & TVIF_CHILDREN) out->cChildren = HasChildren(i) ? 1 : 0;
    return TRUE;
}

LRESULT OnSetItem(HWND h, Tree* t, const TVITEMA* in) {
    Item* i = in ? Find(*t, in->hItem) : nullptr;
    if (!i) return FALSE;
    Apply(*i, *in);
    Changed(h, *t);
    return TRUE;
}

Item* Sibling(const Tree& t, const Item* i, int step) {
    const auto& sib = Siblings(t, i);
    auto it = std::find(sib.begin(), sib.end(), i);
    long k = long(it - sib.begin()) + step;
    return k >= 0 && k < long(sib.size()) ? sib[size_t(k)] : nullptr;
}

Item* RowAt(const Tree& t, int row) {
    auto rows = Rows(t);
    return row >= 0 && row < int(rows.size()) ? rows[size_t(row)] : nullptr;
}

LRESULT OnGetNext(Tree* t, WPARAM code, LPARAM l) {
    Item* i = Find(*t, reinterpret_cast<HTREEITEM>(l));
    Item* r = nullptr;
    switch (code) {
        case TVGN_ROOT: r = t->roots.empty() ? nullptr : t->roots.front(); break;
        case TVGN_NEXT: r = i ? Sibling(*t, i, 1) : nullptr; break;
        case TVGN_PREVIOUS: r = i ? Sibling(*t, i, -1) : nullptr; break;
        case TVGN_PARENT: r = i ? i->parent : nullptr; break;
        case TVGN_CHILD:
            if (i || IsRoot(reinterpret_cast<HTREEITEM>(l))) {
                const auto& kids = i ? i->children : t->roots;
                r = kids.empty() ? nullptr : kids.front();
            }
            break;
        case TVGN_FIRSTVISIBLE: r = RowAt(*t, t->top); break;
        case TVGN_NEXTVISIBLE: r = i && RowOf(*t, i) >= 0 ? RowAt(*t, RowOf(*t, i) + 1) : nullptr; break;
        case TVGN_PREVIOUSVISIBLE: r = i && RowOf(*t, i) > 0 ? RowAt(*t, RowOf(*t, i) - 1) : nullptr; break;
        case TVGN_LASTVISIBLE: r = RowAt(*t, int(Rows(*t).size()) - 1); break;
        case TVGN_DROPHILITE: r = t->drop; break;
        case TVGN_CARET: r = t->caret; break;
        default: break;
    }
    return reinterpret_cast<LRESULT>(Handle(r));
}

LRESULT OnSelectItem(HWND h, Tree* t, WPARAM code, LPARAM l) {
    Item* i = Find(*t, reinterpret_cast<HTREEITEM>(l));
    if (l && !i) return FALSE;
    switch (code) {
        case TVGN_CARET: return Select(h, i, TVC_UNKNOWN) ? TRUE : FALSE;
        case TVGN_FIRSTVISIBLE:
            if (!i) return FALSE;
            EnsureVisible(h, *t, i);
            ScrollTo(h, *t, RowOf(*t, i));
            return TRUE;
        case TVGN_DROPHILITE:
            if (t->drop) t->drop->state &= ~UINT(TVIS_DROPHILITED);
            t->drop = i;
            if (i) i->state |= TVIS_DROPHILITED;
            Changed(h, *t);
            return TRUE;
        default: return FALSE;
    }
}

void SortChildren(std::vector<Item*>& kids, bool deep) {
    std::stable_sort(kids.begin(), kids.end(), TextBefore);
    if (deep)
        for (Item* k : kids) SortChildren(k->children, true);
}

LRESULT OnSort(HWND h, Tree* t, WPARAM deep, LPARAM l) {
    Item* i = Find(*t, reinterpret_cast<HTREEITEM>(l));
    if (!IsRoot(reinterpret_cast<HTREEITEM>(l)) && !i) return FALSE;
    SortChildren(i ? i->children : t->roots, deep != 0);
    Changed(h, *t);
    return TRUE;
}

LRESULT OnHitTest(HWND h, Tree* t, LPARAM l) {
    auto* info = reinterpret_cast<TVHITTESTINFO*>(l);
    if (!info) return 0;
    info->hItem = Handle(HitTest(h, *t, info->pt, &info->flags));
    return reinterpret_cast<LRESULT>(info->hItem);
}

// TVM_GETITEMRECT: the item's handle comes in the rectangle's first bytes.
LRESULT OnGetItemRect(HWND h, Tree* t, WPARAM label, LPARAM l) {
    auto* r = reinterpret_cast<RECT*>(l);
    if (!r) return FALSE;
    HTREEITEM which;
    memcpy(&which, r, sizeof which);
    Item* i = Find(*t, which);
    return i && ItemRect(h, *t, i, label != 0, r) ? TRUE : FALSE;
}

LRESULT Exchange(HWND h, Tree* t, COLORREF& slot, LPARAM l) {
    COLORREF old = slot;
    slot = COLORREF(l);
    Changed(h, *t);
    return LRESULT(old);
}

LRESULT OnSetImageList(HWND h, Tree* t, WPARAM which, LPARAM l) {
    HIMAGELIST& slot = which == TVSIL_STATE ? t->state_images : t->images;
    HIMAGELIST old = slot;
    slot = reinterpret_cast<HIMAGELIST>(l);
    Changed(h, *t);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT OnSetItemHeight(HWND h, Tree* t, WPARAM w) {
    int old = ItemHeight(h, *t);
    int v = int(w);
    if (v > 0 && v % 2 && !(StyleOf(h) & TVS_NONEVENHEIGHT)) --v;  // rows stay even unless asked
    t->item_height = v > 0 ? v : 0;
    Changed(h, *t);
    return old;
}

}  // namespace

LRESULT OnTreeMessage(HWND h, Tree* t, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
        case TVM_INSERTITEMA: return OnInsert(h, t, reinterpret_cast<const TVINSERTSTRUCTA*>(l));
        case TVM_DELETEITEM: return OnDelete(h, t, l);
        case TVM_EXPAND: return Expand(h, Find(*t, reinterpret_cast<HTREEITEM>(l)), UINT(w), false) ? TRUE : FALSE;
        case TVM_GETITEMRECT: return OnGetItemRect(h, t, w, l);
        case TVM_GETCOUNT: return LRESULT(t->items.size());
        case TVM_GETINDENT: return t->indent;
        case TVM_SETINDENT: t->indent = std::max(int(w), 4); Changed(h, *t); return 0;
        case TVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(w == TVSIL_STATE ? t->state_images : t->images);
        case TVM_SETIMAGELIST: return OnSetImageList(h, t, w, l);
        case TVM_GETNEXTITEM: return OnGetNext(t, w, l);
        case TVM_SELECTITEM: return OnSelectItem(h, t, w, l);
        case TVM_GETITEMA: return OnGetItem(t, reinterpret_cast<TVITEMA*>(l));
        case TVM_SETITEMA: return OnSetItem(h, t, reinterpret_cast<const TVITEMA*>(l));
        case TVM_GETVISIBLECOUNT: return VisibleRows(h, *t);
        case TVM_HITTEST: return OnHitTest(h, t, l);
        case TVM_SORTCHILDREN: return OnSort(h, t, w, l);
        case TVM_ENSUREVISIBLE: {
            Item* i = Find(*t, reinterpret_cast<HTREEITEM>(l));
            if (i) EnsureVisible(h, *t, i);
            return i ? TRUE : FALSE;
        }
        case TVM_SETITEMHEIGHT: return OnSetItemHeight(h, t, w);
        case TVM_GETITEMHEIGHT: return ItemHeight(h, *t);
        case TVM_SETBKCOLOR: return Exchange(h, t, t->back, l);
        case TVM_GETBKCOLOR: return LRESULT(t->back);
        case TVM_SETTEXTCOLOR: return Exchange(h, t, t->fore, l);
        case TVM_GETTEXTCOLOR: return LRESULT(t->fore);
        case TVM_SETLINECOLOR: return Exchange(h, t, t->line, l);
        case TVM_GETLINECOLOR: return LRESULT(t->line);
        case TVM_GETITEMSTATE: {
            Item* i = Find(*t, reinterpret_cast<HTREEITEM>(w));
            return i ? LRESULT(i->state & UINT(l)) : 0;
        }
        default: return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace plat::commctrl::tree
