// Core framework classes: diagnostics, run-time classes and CString.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "afx.h"

// ---- diagnostics ---------------------------------------------------------------------------
// Traces are a debugging aid: like output to a debugger, they show only when asked for
// (VELMORA_TRACE set), so a control that traces on every mouse move doesn't flood stderr.
static bool TraceWanted() {
    return std::getenv("VELMORA_TRACE") != nullptr;
}

void AfxTrace(const char* format, ...) {
    if (!TraceWanted()) return;
    va_list ap;
    va_start(ap, format);
    std::vfprintf(stderr, format, ap);
    va_end(ap);
}

void AfxAssertFailedLine(const char* file, int line, const char* expr, bool stop) {
    std::fprintf(stderr, "%s(%d): assertion failed: %s\n", file, line, expr);
    std::fflush(stderr);
    if (stop) std::abort();
}

void AfxThrowUserException() { throw new CUserException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }

// ---- run-time classes ----------------------------------------------------------------------
CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, &CObject::_GetBaseClass};

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }
void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}
void CObject::Dump(CDumpContext&) const {}

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pfnGetBaseClass ? c->m_pfnGetBaseClass() : nullptr)
        if (c == base) return TRUE;
    return FALSE;
}

IMPLEMENT_DYNAMIC(CStringArray, CObject)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_DYNAMIC(CObArray, CObject)
IMPLEMENT_DYNAMIC(CDWordArray, CObject)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_DYNAMIC(CWordArray, CObject)
IMPLEMENT_DYNAMIC(CByteArray, CObject)

// ---- CString -------------------------------------------------------------------------------
namespace {
struct EmptyBlock {
    int length = 0;
    int capacity = 0;
    char text[4] = {0, 0, 0, 0};
};
EmptyBlock g_empty;  // constant-initialised, so strings in static objects may use it early
}  // namespace

LPSTR CString::EmptyData() { return g_empty.text; }

CString::CString() : m_pchData(EmptyData()) {}
CString::CString(const CString& s) : m_pchData(EmptyData()) { Assign(s.m_pchData, s.GetLength()); }
CString::CString(CString&& s) noexcept : m_pchData(s.m_pchData) { s.m_pchData = EmptyData(); }
CString::CString(LPCSTR s) : m_pchData(EmptyData()) {
    if (s && !IS_INTRESOURCE(s))
        Assign(s, int(std::strlen(s)));
    else if (s)
        LoadString(UINT(reinterpret_cast<uintptr_t>(s)));  // CString(MAKEINTRESOURCE(id)) loads the string
}
CString::CString(LPCSTR s, int length) : m_pchData(EmptyData()) {
    if (s && length > 0) Assign(s, length);
}
CString::CString(char ch, int repeat) : m_pchData(EmptyData()) {
    if (repeat > 0) {
        Reserve(repeat);
        std::memset(m_pchData, ch, size_t(repeat));
        Hdr()->length = repeat;
        m_pchData[repeat] = 0;
    }
}
CString::~CString() {
    if (!IsShared()) std::free(Hdr());
}

CString& CString::operator=(const CString& s) {
    if (this != &s) Assign(s.m_pchData, s.GetLength());
    return *this;
}
CString& CString::operator=(CString&& s) noexcept {
    if (this != &s) {
        if (!IsShared()) std::free(Hdr());
        m_pchData = s.m_pchData;
        s.m_pchData = EmptyData();
    }
    return *this;
}
CString& CString::operator=(LPCSTR s) {
    if (!s) {
        Empty();
        return *this;
    }
    // The source may point into this string's own buffer.
    if (s >= m_pchData && s <= m_pchData + GetLength()) {
        CString copy(s);
        return *this = std::move(copy);
    }
    Assign(s, int(std::strlen(s)));
    return *this;
}
CString& CString::operator=(char ch) {
    Assign(&ch, 1);
    return *this;
}

void CString::Reserve(int capacity) {
    if (capacity < 0) capacity = 0;
    if (!IsShared() && Hdr()->capacity >= capacity) return;
    int len = GetLength();
    int cap = capacity < 15 ? 15 : capacity;
    auto* h = static_cast<Header*>(std::malloc(sizeof(Header) + size_t(cap) + 1));
    if (!h) std::abort();
    h->length = len;
    h->capacity = cap;
    char* p = reinterpret_cast<char*>(h + 1);
    std::memcpy(p, m_pchData, size_t(len) + 1);
    if (!IsShared()) std::free(Hdr());
    m_pchData = p;
}

void CString::Assign(LPCSTR s, int length) {
    if (length <= 0) {
        Empty();
        return;
    }
    if (s >= m_pchData && s < m_pchData + GetLength() + 1 && !IsShared()) {
        std::memmove(m_pchData, s, size_t(length));
    } else {
        if (IsShared() || Hdr()->capacity < length) {
            if (!IsShared()) std::free(Hdr());
            m_pchData = EmptyData();
            Reserve(length);
        }
        std::memcpy(m_pchData, s, size_t(length));
    }
    Hdr()->length = length;
    m_pchData[length] = 0;
}

void CString::Empty() {
    if (!IsShared()) std::free(Hdr());
    m_pchData = EmptyData();
}

char CString::GetAt(int i) const {
    ASSERT(i >= 0 && i < GetLength());
    return m_pchData[i];
}
void CString::SetAt(int i, char ch) {
    ASSERT(i >= 0 && i < GetLength());
    m_pchData[i] = ch;
}

CString& CString::operator+=(LPCSTR s) {
    if (s) {
        CString copy(s);  // s may point into this string
        Append(copy.m_pchData, copy.GetLength());
    }
    return *this;
}

CString& CString::Append(LPCSTR s, int length) {
    if (length <= 0) return *this;
    int len = GetLength();
    if (IsShared() || Hdr()->capacity < len + length) {
        CString keep;
        bool inside = s >= m_pchData && s < m_pchData + len + 1;
        if (inside) keep = CString(s, length), s = keep.m_pchData;
        Reserve(std::max(len + length, len * 2));
    }
    std::memmove(m_pchData + len, s, size_t(length));
    Hdr()->length = len + length;
    m_pchData[len + length] = 0;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, LPCSTR b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(LPCSTR a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
}
CString operator+(char a, const CString& b) {
    CString r(a, 1);
    r += b;
    return r;
}

int CString::Compare(LPCSTR s) const { return std::strcmp(m_pchData, s ? s : ""); }
int CString::CompareNoCase(LPCSTR s) const { return strcasecmp(m_pchData, s ? s : ""); }

bool operator==(const CString& a, const CString& b) {
    return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
}
bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
bool operator!=(LPCSTR a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

// Out-of-range arguments are clamped, as the framework does.
CString CString::Mid(int first) const { return Mid(first, GetLength() - (first < 0 ? 0 : first)); }
CString CString::Mid(int first, int count) const {
    int len = GetLength();
    if (first < 0) first = 0;
    if (first > len) first = len;
    if (count < 0) count = 0;
    if (count > len - first) count = len - first;
    return CString(m_pchData + first, count);
}
CString CString::Left(int count) const { return Mid(0, count); }
CString CString::Right(int count) const {
    int len = GetLength();
    if (count < 0) count = 0;
    if (count > len) count = len;
    return CString(m_pchData + len - count, count);
}
CString CString::SpanIncluding(LPCSTR set) const { return Left(int(std::strspn(m_pchData, set))); }
CString CString::SpanExcluding(LPCSTR set) const { return Left(int(std::strcspn(m_pchData, set))); }

void CString::MakeUpper() {
    for (int i = 0; i < GetLength(); ++i) m_pchData[i] = char(std::toupper(static_cast<unsigned char>(m_pchData[i])));
}
void CString::MakeLower() {
    for (int i = 0; i < GetLength(); ++i) m_pchData[i] = char(std::tolower(static_cast<unsigned char>(m_pchData[i])));
}
void CString::MakeReverse() {
    for (int i = 0, j = GetLength() - 1; i < j; ++i, --j) std::swap(m_pchData[i], m_pchData[j]);
}

int CString::Replace(char old_ch, char new_ch) {
    int n = 0;
    if (old_ch == new_ch) return 0;
    for (int i = 0; i < GetLength(); ++i)
        if (m_pchData[i] == old_ch) {
            m_pchData[i] = new_ch;
            ++n;
        }
    return n;
}

int CString::Replace(LPCSTR old_s, LPCSTR new_s) {
    if (!old_s || !*old_s) return 0;
    if (!new_s) new_s = "";
    int olen = int(std::strlen(old_s));
    CString out;
    int n = 0;
    const char* p = m_pchData;
    for (;;) {
        const char* q = std::strstr(p, old_s);
        if (!q) break;
        out.Append(p, int(q - p));
        out += new_s;
        p = q + olen;
        ++n;
    }
    if (n) {
        out += p;
        *this = std::move(out);
    }
    return n;
}

int CString::Remove(char ch) {
    int w = 0, n = 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (m_pchData[i] == ch) ++n;
        else m_pchData[w++] = m_pchData[i];
    }
    if (n) {
        Hdr()->length = w;
        m_pchData[w] = 0;
    }
    return n;
}

int CString::Insert(int index, char ch) {
    char s[2] = {ch, 0};
    return Insert(index, s);
}
int CString::Insert(int index, LPCSTR s) {
    int len = GetLength();
    if (index < 0) index = 0;
    if (index > len) index = len;
    *this = Left(index) + s + Mid(index);
    return GetLength();
}
int CString::Delete(int index, int count) {
    int len = GetLength();
    if (index < 0) index = 0;
    if (count > 0 && index < len) *this = Left(index) + Mid(index + count);
    return GetLength();
}

void CString::TrimLeft() {
    int i = 0;
    while (i < GetLength() && std::isspace(static_cast<unsigned char>(m_pchData[i]))) ++i;
    if (i) *this = Mid(i);
}
void CString::TrimLeft(char ch) {
    int i = 0;
    while (i < GetLength() && m_pchData[i] == ch) ++i;
    if (i) *this = Mid(i);
}
void CString::TrimLeft(LPCSTR set) {
    int i = 0;
    while (i < GetLength() && std::strchr(set, m_pchData[i])) ++i;
    if (i) *this = Mid(i);
}
void CString::TrimRight() {
    int n = GetLength();
    while (n > 0 && std::isspace(static_cast<unsigned char>(m_pchData[n - 1]))) --n;
    if (n != GetLength()) *this = Left(n);
}
void CString::TrimRight(char ch) {
    int n = GetLength();
    while (n > 0 && m_pchData[n - 1] == ch) --n;
    if (n != GetLength()) *this = Left(n);
}
void CString::TrimRight(LPCSTR set) {
    int n = GetLength();
    while (n > 0 && std::strchr(set, m_pchData[n - 1])) --n;
    if (n != GetLength()) *this = Left(n);
}

int CString::Find(char ch, int start) const {
    if (start < 0) start = 0;
    if (start >= GetLength()) return -1;
    const char* p = static_cast<const char*>(std::memchr(m_pchData + start, ch, size_t(GetLength() - start)));
    return p ? int(p - m_pchData) : -1;
}
int CString::Find(LPCSTR sub, int start) const {
    if (!sub) return -1;
    if (start < 0) start = 0;
    if (start > GetLength()) return -1;
    const char* p = std::strstr(m_pchData + start, sub);
    return p ? int(p - m_pchData) : -1;
}
int CString::ReverseFind(char ch) const {
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pchData[i] == ch) return i;
    return -1;
}
int CString::FindOneOf(LPCSTR set) const {
    size_t n = std::strcspn(m_pchData, set);
    return int(n) < GetLength() ? int(n) : -1;
}

void CString::FormatV(LPCSTR format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) {
        Empty();
        return;
    }
    CString out;
    out.Reserve(n);
    std::vsnprintf(out.m_pchData, size_t(n) + 1, format, args);
    out.Hdr()->length = n;
    *this = std::move(out);  // the arguments may have pointed into this string
}

void CString::Format(LPCSTR format, ...) {
    va_list ap;
    va_start(ap, format);
    FormatV(format, ap);
    va_end(ap);
}

void CString::AppendFormat(LPCSTR format, ...) {
    CString tail;
    va_list ap;
    va_start(ap, format);
    tail.FormatV(format, ap);
    va_end(ap);
    *this += tail;
}

BOOL CString::LoadString(UINT id) {
    char buf[4096];
    int n = ::LoadStringA(nullptr, id, buf, int(sizeof buf));
    if (n <= 0) {
        Empty();
        return FALSE;
    }
    Assign(buf, n);
    return TRUE;
}

LPSTR CString::GetBuffer(int min_length) {
    Reserve(std::max(min_length, GetLength()));
    return m_pchData;
}

LPSTR CString::GetBufferSetLength(int length) {
    GetBuffer(length);
    Hdr()->length = length;
    m_pchData[length] = 0;
    return m_pchData;
}

void CString::ReleaseBuffer(int new_length) {
    if (IsShared()) return;
    if (new_length < 0) new_length = int(strnlen(m_pchData, size_t(Hdr()->capacity)));
    if (new_length > Hdr()->capacity) new_length = Hdr()->capacity;
    Hdr()->length = new_length;
    m_pchData[new_length] = 0;
}
