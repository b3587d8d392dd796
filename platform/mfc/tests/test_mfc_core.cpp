// Framework core: strings, collections, geometry, run-time classes, diagnostics, file-dialog results.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "afxdlgs.h"
#include "afxtempl.h"
#include "afxwin.h"

namespace {

TEST(CStringBasics, FormatConcatenateAndCompare) {
    CString s;
    s.Format("%s=%d", "x", 42);
    EXPECT_STREQ(s, "x=42");
    s += '!';
    s += CString(" ok");
    EXPECT_EQ(s, "x=42! ok");
    EXPECT_EQ("a" + CString("b") + 'c', "abc");
    EXPECT_TRUE(CString("abc") < CString("abd"));
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    CString big;
    big.Format("%0300d", 7);  // longer than any small fixed buffer
    EXPECT_EQ(big.GetLength(), 300);
    EXPECT_EQ(big.Right(2), "07");
    // Formatting from the string itself reads the old value.
    s = "ab";
    s.Format("%s%s", LPCSTR(s), LPCSTR(s));
    EXPECT_EQ(s, "abab");
    EXPECT_EQ(sizeof(CString), sizeof(void*));  // one pointer, as code passing it around expects
}

TEST(CStringBasics, SubstringsClampOutOfRangeArguments) {
    CString s("hello");
    EXPECT_EQ(s.Mid(1, 3), "ell");
    EXPECT_EQ(s.Mid(3), "lo");
    EXPECT_EQ(s.Mid(10), "");
    EXPECT_EQ(s.Mid(-2, 2), "he");
    EXPECT_EQ(s.Mid(2, 100), "llo");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(9), "hello");
    EXPECT_EQ(s.Right(9), "hello");
    EXPECT_EQ(s.Right(0), "");
}

TEST(CStringBasics, SearchingTrimmingAndEditing) {
    CString p("/home/user/a.b.avi");
    EXPECT_EQ(p.ReverseFind('/'), 10);
    EXPECT_EQ(p.ReverseFind('.'), 14);
    EXPECT_EQ(p.Find('.'), 12);
    EXPECT_EQ(p.Find('.', 13), 14);
    EXPECT_EQ(p.Find("user"), 6);
    EXPECT_EQ(p.Find("zz"), -1);
    EXPECT_EQ(p.Find('a', 100), -1);
    EXPECT_EQ(p.FindOneOf("xb"), 13);

    CString t("  \t text \n ");
    t.TrimLeft();
    EXPECT_EQ(t, "text \n ");
    t.TrimRight();
    EXPECT_EQ(t, "text");
    CString u("xxabcxx");
    u.TrimLeft('x');
    u.TrimRight("x");
    EXPECT_EQ(u, "abc");
    u.MakeUpper();
    EXPECT_EQ(u, "ABC");
    u.MakeLower();
    EXPECT_EQ(u, "abc");

    CString r("a-b-c");
    EXPECT_EQ(r.Replace("-", "--"), 2);
    EXPECT_EQ(r, "a--b--c");
    EXPECT_EQ(r.Remove('-'), 4);
    EXPECT_EQ(r, "abc");
    r.Insert(1, "XY");
    EXPECT_EQ(r, "aXYbc");
    r.Delete(1, 2);
    EXPECT_EQ(r, "abc");
    r.Delete(2, 10);
    EXPECT_EQ(r, "ab");
}

TEST(CStringBasics, BufferAccessAndAliasing) {
    CString s;
    char* buf = s.GetBuffer(10);
    std::strcpy(buf, "0123456789");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 10);
    buf = s.GetBuffer(0);
    buf[3] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(s, "012");
    s.GetBufferSetLength(2);
    EXPECT_EQ(s, "01");
    // Assigning or appending a part of the string itself.
    s = "abcdef";
    s = LPCSTR(s) + 2;
    EXPECT_EQ(s, "cdef");
    s += LPCSTR(s);
    EXPECT_EQ(s, "cdefcdef");
    CString e;
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_STREQ(LPCSTR(e), "");
    e.ReleaseBuffer();  // on an empty string: harmless
    CString moved(std::move(s));
    EXPECT_EQ(moved, "cdefcdef");
}

TEST(Collections, ArraysListsAndMapsKeepOrderAndBounds) {
    CStringArray a;
    a.Add("one");
    a.Add("three");
    a.InsertAt(1, "two");
    ASSERT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a[1], "two");
    a.RemoveAt(0);
    EXPECT_EQ(a.GetAt(0), "two");
    a.SetAtGrow(4, "five");
    EXPECT_EQ(a.GetSize(), 5);
    EXPECT_EQ(a[3], "");
    EXPECT_EQ(a.GetUpperBound(), 4);

    CArray<int, int> ints;
    for (int i = 0; i < 5; ++i) ints.Add(i * i);
    ints.RemoveAt(1, 2);
    EXPECT_EQ(ints.GetSize(), 3);
    EXPECT_EQ(ints[1], 9);

    CList<int, int> list;
    POSITION p2 = list.AddTail(2);
    list.AddHead(1);
    list.InsertAfter(p2, 3);
    list.InsertBefore(p2, 15);
    std::vector<int> seen;
    for (POSITION p = list.GetHeadPosition(); p;) seen.push_back(list.GetNext(p));
    EXPECT_EQ(seen, (std::vector<int>{1, 15, 2, 3}));
    list.RemoveAt(list.Find(15));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.RemoveTail(), 3);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), 2);
    EXPECT_EQ(list.FindIndex(5), nullptr);

    CMap<CString, LPCSTR, int, int> map;
    map["a"] = 1;
    map.SetAt("b", 2);
    int v = 0;
    EXPECT_TRUE(map.Lookup("b", v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(map.Lookup("c", v));
    int total = 0, count = 0;
    for (POSITION p = map.GetStartPosition(); p;) {
        CString k;
        map.GetNextAssoc(p, k, v);
        total += v;
        ++count;
    }
    EXPECT_EQ(count, 2);
    EXPECT_EQ(total, 3);
    EXPECT_TRUE(map.RemoveKey("a"));
    EXPECT_EQ(map.GetCount(), 1);
}

TEST(Geometry, RectanglesPointsAndSizes) {
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));  // right and bottom edges are outside
    r.DeflateRect(1, 2);
    EXPECT_EQ(r, CRect(11, 22, 109, 68));
    r.InflateRect(1, 2, 3, 4);
    EXPECT_EQ(r, CRect(10, 20, 112, 72));
    r.OffsetRect(-10, -20);
    EXPECT_EQ(r.TopLeft(), CPoint(0, 0));
    CRect i;
    EXPECT_TRUE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
    EXPECT_EQ(i, CRect(5, 5, 10, 10));
    EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_TRUE(i.IsRectEmpty());
    CRect u;
    u.UnionRect(CRect(0, 0, 0, 0), CRect(3, 3, 4, 4));  // an empty rectangle adds nothing
    EXPECT_EQ(u, CRect(3, 3, 4, 4));
    EXPECT_EQ(CRect(0, 0, 10, 10).CenterPoint(), CPoint(5, 5));
    EXPECT_EQ(CPoint(5, 5) - CPoint(2, 1), CSize(3, 4));
    EXPECT_EQ(CPoint(MAKELPARAM(-3, 7)), CPoint(-3, 7));  // coordinates from a message are signed
}

class CShape : public CObject {
    DECLARE_DYNCREATE(CShape)
};
IMPLEMENT_DYNCREATE(CShape, CObject)
class CCircle : public CShape {
    DECLARE_DYNAMIC(CCircle)
};
IMPLEMENT_DYNAMIC(CCircle, CShape)

TEST(RuntimeClasses, KindOfNamesAndCreation) {
    CCircle c;
    EXPECT_TRUE(c.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(c.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(CShape().IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_STREQ(c.GetRuntimeClass()->m_lpszClassName, "CCircle");
    CObject* made = RUNTIME_CLASS(CShape)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CShape)));
    delete made;
    EXPECT_EQ(RUNTIME_CLASS(CCircle)->CreateObject(), nullptr);  // not creatable
    CWnd w;
    EXPECT_TRUE(w.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
}

TEST(Diagnostics, TraceOnlyWhenAskedForAndAssertReportOnStandardError) {
    unsetenv("VELMORA_TRACE");
    testing::internal::CaptureStderr();
    TRACE("in %s: %d\n", "Trace", 5);
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    setenv("VELMORA_TRACE", "1", 1);
    testing::internal::CaptureStderr();
    TRACE("in %s: %d\n", "Trace", 5);
    out = testing::internal::GetCapturedStderr();
    unsetenv("VELMORA_TRACE");
    EXPECT_EQ(out, "in Trace: 5\n");
    testing::internal::CaptureStderr();
    AfxAssertFailedLine("file.cpp", 12, "x > 0", false);
    out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "file.cpp(12): assertion failed: x > 0\n");
    int n = 0;
    VERIFY(++n == 1);  // evaluated in every build
    EXPECT_EQ(n, 1);
}

TEST(DiagnosticsDeathTest, AssertThatStopsNamesFileAndLine) {
    EXPECT_DEATH(AfxAssertFailedLine("x.cpp", 3, "p != NULL", true), "x.cpp\\(3\\): assertion failed: p != NULL");
}

// The file dialog's result walk, on result buffers as the dialog writes them.
class FileDialogResult : public CFileDialog {
public:
    FileDialogResult(const char* data, size_t size, DWORD flags) : CFileDialog(TRUE, nullptr, nullptr, flags) {
        std::memcpy(m_szFileName, data, size);
    }
    std::vector<std::string> All() const {
        std::vector<std::string> out;
        for (POSITION p = GetStartPosition(); p;) out.push_back(std::string(GetNextPathName(p)));
        return out;
    }
};

TEST(FileDialogPaths, MultiSelectResultsJoinFolderAndNames) {
    const char multi[] = "/media/in\0a.avi\0b c.mkv\0";
    FileDialogResult d(multi, sizeof multi, OFN_ALLOWMULTISELECT | OFN_EXPLORER);
    EXPECT_EQ(d.All(), (std::vector<std::string>{"/media/in/a.avi", "/media/in/b c.mkv"}));
    const char one[] = "/media/in/only.avi\0";
    FileDialogResult s(one, sizeof one, OFN_ALLOWMULTISELECT | OFN_EXPLORER);
    EXPECT_EQ(s.All(), (std::vector<std::string>{"/media/in/only.avi"}));
    EXPECT_EQ(s.GetFileName(), "only.avi");
    EXPECT_EQ(s.GetFileExt(), "avi");
    EXPECT_EQ(s.GetFileTitle(), "only");
    const char root[] = "/\0x\0";
    FileDialogResult r(root, sizeof root, OFN_ALLOWMULTISELECT | OFN_EXPLORER);
    EXPECT_EQ(r.All(), (std::vector<std::string>{"/x"}));
    FileDialogResult empty("", 1, OFN_ALLOWMULTISELECT);
    EXPECT_EQ(empty.GetStartPosition(), nullptr);
}

TEST(FileDialogPaths, AnUnterminatedResultNeverReadsPastTheBuffer) {
    std::string full(MAX_PATH, 'n');
    full[4] = 0;  // "nnnn\0nnnn...." with no terminator at the end
    FileDialogResult d(full.data(), MAX_PATH, OFN_ALLOWMULTISELECT | OFN_EXPLORER);
    auto all = d.All();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].size(), 4u + 1u + (MAX_PATH - 5));
}

TEST(FileDialogPaths, FilterBarsBecomeNulSeparators) {
    class Peek : public CFileDialog {
    public:
        using CFileDialog::CFileDialog;
        const char* Filter() const { return m_ofn.lpstrFilter; }
    };
    Peek d(TRUE, nullptr, nullptr, 0, "Video|*.avi;*.mkv|All files (*.*)|*.*||");
    const char* f = d.Filter();
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f, "Video");
    f += std::strlen(f) + 1;
    EXPECT_STREQ(f, "*.avi;*.mkv");
    f += std::strlen(f) + 1;
    EXPECT_STREQ(f, "All files (*.*)");
    f += std::strlen(f) + 1;
    EXPECT_STREQ(f, "*.*");
    f += std::strlen(f) + 1;
    EXPECT_STREQ(f, "");
    EXPECT_EQ(d.m_ofn.nMaxFile, DWORD(MAX_PATH));
}

}  // namespace
