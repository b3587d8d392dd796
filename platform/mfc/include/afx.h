// This project's framework layer: core classes (run-time classes, strings, collections, diagnostics).
#pragma once

#include <stdarg.h>
#include <stddef.h>

#include "windows.h"

// ---- diagnostics ---------------------------------------------------------------------------
// TRACE writes to standard error. ASSERT reports a false condition with its file and line on
// standard error and, in builds without NDEBUG, stops the program; VERIFY evaluates its argument
// in every build.
void AfxTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void AfxAssertFailedLine(const char* file, int line, const char* expr, bool stop);
#ifdef NDEBUG
#define AFX_ASSERT_STOP false
#else
#define AFX_ASSERT_STOP true
#endif
#define TRACE(...) AfxTrace(__VA_ARGS__)
#define TRACE0(s) AfxTrace("%s", s)
#define TRACE1(s, a) AfxTrace(s, a)
#define TRACE2(s, a, b) AfxTrace(s, a, b)
#define TRACE3(s, a, b, c) AfxTrace(s, a, b, c)
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__, #f, AFX_ASSERT_STOP))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(p) ASSERT((p) != NULL)
#define ASSERT_KINDOF(cls, p) ASSERT((p)->IsKindOf(RUNTIME_CLASS(cls)))
#define DEBUG_NEW new
#define AFXAPI
#define AFX_CDECL
#define AFX_MSG_CALL
#define AFX_EXT_CLASS
#define afx_msg
#define AFX_INLINE inline
#ifndef _countof
#define _countof(a) (sizeof(a) / sizeof((a)[0]))
#endif

typedef struct __POSITION {
    int unused;
}* POSITION;
#define BEFORE_START_POSITION ((POSITION)(LONG_PTR)-1)

class CArchive;
class CDumpContext;
class CObject;

// ---- run-time classes ----------------------------------------------------------------------
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* (*m_pfnGetBaseClass)();
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;
    BOOL IsKindOf(const CRuntimeClass* cls) const;
    BOOL IsSerializable() const { return FALSE; }
    static CRuntimeClass classCObject;
    static CRuntimeClass* _GetBaseClass() { return nullptr; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)
#define DECLARE_DYNAMIC(cls)                              \
public:                                                   \
    static CRuntimeClass class##cls;                      \
    static CRuntimeClass* _GetBaseClass();                \
    virtual CRuntimeClass* GetRuntimeClass() const override;
#define DECLARE_DYNCREATE(cls) \
    DECLARE_DYNAMIC(cls)       \
    static CObject* CreateObject();
#define DECLARE_SERIAL(cls) DECLARE_DYNCREATE(cls)
#define IMPLEMENT_RUNTIMECLASS(cls, base, schema, pfnNew)                                               \
    CRuntimeClass* cls::_GetBaseClass() { return RUNTIME_CLASS(base); }                                 \
    CRuntimeClass cls::class##cls = {#cls, sizeof(class cls), schema, pfnNew, &cls::_GetBaseClass};     \
    CRuntimeClass* cls::GetRuntimeClass() const { return RUNTIME_CLASS(cls); }
#define IMPLEMENT_DYNAMIC(cls, base) IMPLEMENT_RUNTIMECLASS(cls, base, 0xFFFF, nullptr)
#define IMPLEMENT_DYNCREATE(cls, base)                 \
    CObject* cls::CreateObject() { return new cls; }   \
    IMPLEMENT_RUNTIMECLASS(cls, base, 0xFFFF, cls::CreateObject)
#define IMPLEMENT_SERIAL(cls, base, schema)           \
    CObject* cls::CreateObject() { return new cls; }  \
    IMPLEMENT_RUNTIMECLASS(cls, base, schema, cls::CreateObject)

// ---- CString -------------------------------------------------------------------------------
// A byte string (UTF-8 on this platform). The object is one pointer to its characters, which
// are always NUL-terminated; an empty string shares one static buffer.
class CString {
public:
    CString();
    CString(const CString& s);
    CString(CString&& s) noexcept;
    CString(LPCSTR s);
    CString(LPCSTR s, int length);
    CString(char ch, int repeat = 1);
    ~CString();

    CString& operator=(const CString& s);
    CString& operator=(CString&& s) noexcept;
    CString& operator=(LPCSTR s);
    CString& operator=(char ch);

    int GetLength() const { return Hdr()->length; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();
    char GetAt(int i) const;
    void SetAt(int i, char ch);
    char operator[](int i) const { return GetAt(i); }
    operator LPCSTR() const { return m_pchData; }
    LPCSTR GetString() const { return m_pchData; }

    CString& operator+=(const CString& s) { return Append(s.m_pchData, s.GetLength()); }
    CString& operator+=(LPCSTR s);
    CString& operator+=(char ch) { return Append(&ch, 1); }
    CString& Append(LPCSTR s, int length);
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);
    friend CString operator+(char a, const CString& b);

    int Compare(LPCSTR s) const;
    int CompareNoCase(LPCSTR s) const;
    int Collate(LPCSTR s) const { return Compare(s); }
    int CollateNoCase(LPCSTR s) const { return CompareNoCase(s); }

    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(LPCSTR set) const;
    CString SpanExcluding(LPCSTR set) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    int Replace(char old_ch, char new_ch);
    int Replace(LPCSTR old_s, LPCSTR new_s);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, LPCSTR s);
    int Delete(int index, int count = 1);
    void TrimLeft();
    void TrimLeft(char ch);
    void TrimLeft(LPCSTR set);
    void TrimRight();
    void TrimRight(char ch);
    void TrimRight(LPCSTR set);
    CString& Trim() { TrimRight(); TrimLeft(); return *this; }

    int Find(char ch) const { return Find(ch, 0); }
    int Find(char ch, int start) const;
    int Find(LPCSTR sub) const { return Find(sub, 0); }
    int Find(LPCSTR sub, int start) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR set) const;

    void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(LPCSTR format, va_list args);
    void AppendFormat(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
    BOOL LoadString(UINT id);

    // Direct access: GetBuffer(n) gives room for at least n characters plus the terminator;
    // ReleaseBuffer(-1) takes the length from the terminator.
    LPSTR GetBuffer(int min_length = 0);
    LPSTR GetBufferSetLength(int length);
    void ReleaseBuffer(int new_length = -1);
    LPSTR LockBuffer() { return GetBuffer(0); }
    void UnlockBuffer() {}
    void FreeExtra() {}
    void Preallocate(int length) { Reserve(length); }

private:
    struct Header {
        int length;
        int capacity;
    };
    Header* Hdr() const { return reinterpret_cast<Header*>(m_pchData) - 1; }
    void Reserve(int capacity);
    void Assign(LPCSTR s, int length);
    static LPSTR EmptyData();
    bool IsShared() const { return m_pchData == EmptyData(); }
    LPSTR m_pchData;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);

// ---- collections (non-template) ------------------------------------------------------------
#include <vector>

// Arrays indexed from 0; out-of-range access is an assertion failure, not undefined behaviour.
template <typename T, typename ARG>
class CSimpleArrayBase : public CObject {
public:
    INT_PTR GetSize() const { return INT_PTR(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_items.empty(); }
    void SetSize(INT_PTR size, INT_PTR grow_by = -1) {
        ASSERT(size >= 0);
        m_items.resize(size_t(size));
    }
    void RemoveAll() { m_items.clear(); }
    void FreeExtra() { m_items.shrink_to_fit(); }
    const T& GetAt(INT_PTR i) const { Check(i); return m_items[size_t(i)]; }
    T& GetAt(INT_PTR i) { Check(i); return m_items[size_t(i)]; }
    T& ElementAt(INT_PTR i) { return GetAt(i); }
    void SetAt(INT_PTR i, ARG v) { Check(i); m_items[size_t(i)] = v; }
    void SetAtGrow(INT_PTR i, ARG v) {
        ASSERT(i >= 0);
        if (i >= GetSize()) m_items.resize(size_t(i) + 1);
        m_items[size_t(i)] = v;
    }
    T* GetData() { return m_items.data(); }
    const T* GetData() const { return m_items.data(); }
    INT_PTR Add(ARG v) { m_items.push_back(v); return GetSize() - 1; }
    INT_PTR Append(const CSimpleArrayBase& o) {
        INT_PTR at = GetSize();
        m_items.insert(m_items.end(), o.m_items.begin(), o.m_items.end());
        return at;
    }
    void Copy(const CSimpleArrayBase& o) { m_items = o.m_items; }
    void InsertAt(INT_PTR i, ARG v, INT_PTR count = 1) {
        ASSERT(i >= 0 && count >= 0);
        if (i > GetSize()) m_items.resize(size_t(i));
        m_items.insert(m_items.begin() + i, size_t(count), v);
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1) {
        ASSERT(i >= 0 && count >= 0 && i + count <= GetSize());
        m_items.erase(m_items.begin() + i, m_items.begin() + i + count);
    }
    const T& operator[](INT_PTR i) const { return GetAt(i); }
    T& operator[](INT_PTR i) { return GetAt(i); }

protected:
    void Check(INT_PTR i) const { ASSERT(i >= 0 && i < GetSize()); }
    std::vector<T> m_items;
};

class CStringArray : public CSimpleArrayBase<CString, LPCSTR> {
    DECLARE_DYNAMIC(CStringArray)
};
class CPtrArray : public CSimpleArrayBase<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
};
class CObArray : public CSimpleArrayBase<CObject*, CObject*> {
    DECLARE_DYNAMIC(CObArray)
};
class CDWordArray : public CSimpleArrayBase<DWORD, DWORD> {
    DECLARE_DYNAMIC(CDWordArray)
};
class CUIntArray : public CSimpleArrayBase<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};
class CWordArray : public CSimpleArrayBase<WORD, WORD> {
    DECLARE_DYNAMIC(CWordArray)
};
class CByteArray : public CSimpleArrayBase<BYTE, BYTE> {
    DECLARE_DYNAMIC(CByteArray)
};

// Exceptions thrown by the framework (data exchange failures, unsupported operations).
class CException : public CObject {
public:
    virtual ~CException() = default;
    void Delete() { delete this; }
};
class CUserException : public CException {};
class CNotSupportedException : public CException {};
class CMemoryException : public CException {};
void AfxThrowUserException();
void AfxThrowNotSupportedException();
#define TRY try
#define CATCH(cls, e) catch (cls * e)
#define AND_CATCH(cls, e) catch (cls * e)
#define END_CATCH
#define CATCH_ALL(e) catch (CException * e)
#define END_CATCH_ALL
#define THROW_LAST() throw

#include "afxtempl.h"
