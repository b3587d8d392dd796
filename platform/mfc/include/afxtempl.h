// This project's framework layer: collection templates (arrays, lists, maps).
#pragma once

#include "afx.h"

#include <functional>
#include <string>
#include <unordered_map>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CSimpleArrayBase<TYPE, ARG_TYPE> {};

// A doubly linked list addressed by POSITION values (node pointers).
template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(INT_PTR = 10) {}
    ~CList() { RemoveAll(); }
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }
    TYPE& GetHead() { ASSERT(m_pHead); return m_pHead->data; }
    const TYPE& GetHead() const { ASSERT(m_pHead); return m_pHead->data; }
    TYPE& GetTail() { ASSERT(m_pTail); return m_pTail->data; }
    const TYPE& GetTail() const { ASSERT(m_pTail); return m_pTail->data; }

    TYPE RemoveHead() {
        ASSERT(m_pHead);
        CNode* n = m_pHead;
        TYPE v = n->data;
        Unlink(n);
        return v;
    }
    TYPE RemoveTail() {
        ASSERT(m_pTail);
        CNode* n = m_pTail;
        TYPE v = n->data;
        Unlink(n);
        return v;
    }
    POSITION AddHead(ARG_TYPE v) { return InsertBefore(Pos(m_pHead), v); }
    POSITION AddTail(ARG_TYPE v) { return InsertAfter(Pos(m_pTail), v); }
    void RemoveAll() {
        while (m_pHead) Unlink(m_pHead);
    }

    POSITION GetHeadPosition() const { return Pos(m_pHead); }
    POSITION GetTailPosition() const { return Pos(m_pTail); }
    TYPE& GetNext(POSITION& p) {
        CNode* n = Node(p);
        p = Pos(n->pNext);
        return n->data;
    }
    const TYPE& GetNext(POSITION& p) const {
        CNode* n = Node(p);
        p = Pos(n->pNext);
        return n->data;
    }
    TYPE& GetPrev(POSITION& p) {
        CNode* n = Node(p);
        p = Pos(n->pPrev);
        return n->data;
    }
    TYPE& GetAt(POSITION p) { return Node(p)->data; }
    const TYPE& GetAt(POSITION p) const { return Node(p)->data; }
    void SetAt(POSITION p, ARG_TYPE v) { Node(p)->data = v; }
    void RemoveAt(POSITION p) { Unlink(Node(p)); }

    POSITION InsertBefore(POSITION p, ARG_TYPE v) {
        CNode* at = p ? Node(p) : nullptr;
        CNode* n = new CNode{at, at ? at->pPrev : nullptr, v};
        if (!at) {  // an empty list
            n->pPrev = nullptr;
            n->pNext = m_pHead;
            if (m_pHead) m_pHead->pPrev = n;
            else m_pTail = n;
            m_pHead = n;
        } else {
            if (at->pPrev) at->pPrev->pNext = n;
            else m_pHead = n;
            at->pPrev = n;
        }
        ++m_nCount;
        return Pos(n);
    }
    POSITION InsertAfter(POSITION p, ARG_TYPE v) {
        CNode* at = p ? Node(p) : nullptr;
        CNode* n = new CNode{at ? at->pNext : nullptr, at, v};
        if (!at) {
            n->pNext = nullptr;
            n->pPrev = m_pTail;
            if (m_pTail) m_pTail->pNext = n;
            else m_pHead = n;
            m_pTail = n;
        } else {
            if (at->pNext) at->pNext->pPrev = n;
            else m_pTail = n;
            at->pNext = n;
        }
        ++m_nCount;
        return Pos(n);
    }
    POSITION Find(ARG_TYPE v, POSITION after = nullptr) const {
        CNode* n = after ? Node(after)->pNext : m_pHead;
        for (; n; n = n->pNext)
            if (n->data == v) return Pos(n);
        return nullptr;
    }
    POSITION FindIndex(INT_PTR i) const {
        if (i < 0 || i >= m_nCount) return nullptr;
        CNode* n = m_pHead;
        while (i--) n = n->pNext;
        return Pos(n);
    }

private:
    static POSITION Pos(CNode* n) { return reinterpret_cast<POSITION>(n); }
    static CNode* Node(POSITION p) {
        ASSERT(p != nullptr && p != BEFORE_START_POSITION);
        return reinterpret_cast<CNode*>(p);
    }
    void Unlink(CNode* n) {
        if (n->pPrev) n->pPrev->pNext = n->pNext;
        else m_pHead = n->pNext;
        if (n->pNext) n->pNext->pPrev = n->pPrev;
        else m_pTail = n->pPrev;
        delete n;
        --m_nCount;
    }
    CNode* m_pHead = nullptr;
    CNode* m_pTail = nullptr;
    INT_PTR m_nCount = 0;
};

// Hashing of map keys: integers and pointers by value, strings by content.
template <class K>
struct CMapKeyHash {
    size_t operator()(const K& k) const { return std::hash<K>()(k); }
};
template <>
struct CMapKeyHash<CString> {
    size_t operator()(const CString& k) const { return std::hash<std::string>()(std::string(k)); }
};

// A hash map; iteration order is unspecified, as for the platform's own maps.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
    explicit CMap(INT_PTR = 10) {}
    INT_PTR GetCount() const { return INT_PTR(m_map.size()); }
    INT_PTR GetSize() const { return GetCount(); }
    BOOL IsEmpty() const { return m_map.empty(); }
    BOOL Lookup(ARG_KEY key, VALUE& out) const {
        auto it = m_map.find(KEY(key));
        if (it == m_map.end()) return FALSE;
        out = it->second;
        return TRUE;
    }
    VALUE& operator[](ARG_KEY key) { return m_map[KEY(key)]; }
    void SetAt(ARG_KEY key, ARG_VALUE v) { m_map[KEY(key)] = v; }
    BOOL RemoveKey(ARG_KEY key) { return m_map.erase(KEY(key)) ? TRUE : FALSE; }
    void RemoveAll() { m_map.clear(); }
    void InitHashTable(UINT size, BOOL = TRUE) { m_map.reserve(size); }

    // Positions walk a snapshot of the keys taken by GetStartPosition.
    POSITION GetStartPosition() const {
        m_keys.clear();
        for (auto& kv : m_map) m_keys.push_back(kv.first);
        return m_keys.empty() ? nullptr : reinterpret_cast<POSITION>(uintptr_t(1));
    }
    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
        size_t i = size_t(reinterpret_cast<uintptr_t>(pos)) - 1;
        ASSERT(i < m_keys.size());
        key = m_keys[i];
        auto it = m_map.find(key);
        if (it != m_map.end()) value = it->second;
        pos = i + 1 < m_keys.size() ? reinterpret_cast<POSITION>(uintptr_t(i + 2)) : nullptr;
    }

private:
    std::unordered_map<KEY, VALUE, CMapKeyHash<KEY>> m_map;
    mutable std::vector<KEY> m_keys;
};

class CPtrList : public CList<void*, void*> {};
class CObList : public CList<CObject*, CObject*> {};
class CStringList : public CList<CString, LPCSTR> {};
class CMapStringToPtr : public CMap<CString, LPCSTR, void*, void*> {};
class CMapStringToString : public CMap<CString, LPCSTR, CString, LPCSTR> {};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {};
