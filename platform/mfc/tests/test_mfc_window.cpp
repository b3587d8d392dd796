// Framework windows on the platform's window system: message maps, the handle map, subclassing,
// reflection of notifications to controls, pre-translation, data exchange and threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "afxcmn.h"
#include "afxwin.h"

namespace {

const UINT kPing = WM_USER + 5;
UINT g_registered = ::RegisterWindowMessageA("VELMORA_TEST_REGISTERED");


// A top-level window whose map covers the handler kinds the program uses.
class CHost : public CWnd {
public:
    std::vector<std::string> log;
    LRESULT OnPing(WPARAM wp, LPARAM lp) {
        log.push_back("ping " + std::to_string(wp) + " " + std::to_string(lp));
        return 77;
    }
    LRESULT OnRegistered(WPARAM wp, LPARAM) {
        log.push_back("registered " + std::to_string(wp));
        return 5;
    }
    void OnCommand113() { log.push_back("command 113"); }
    void OnButton() { log.push_back("parent BN_CLICKED"); }
    void OnListClick(NMHDR* h, LRESULT* r) {
        log.push_back("parent NM_CLICK from " + std::to_string(h->idFrom));
        *r = 9;
    }
    BOOL OnTipText(UINT id, NMHDR*, LRESULT*) {
        log.push_back("tip " + std::to_string(id));
        return TRUE;
    }
    void OnSize(UINT type, int cx, int cy) {
        log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
        CWnd::OnSize(type, cx, cy);
    }
    void OnTimer(UINT_PTR id) { log.push_back("timer " + std::to_string(id)); }
    int OnCreate(LPCREATESTRUCT cs) {
        log.push_back("create");
        return CWnd::OnCreate(cs);
    }
    void PostNcDestroy() override { log.push_back("post nc destroy"); }
    BOOL PreTranslateMessage(MSG* msg) override {
        log.push_back("pretranslate host");
        return CWnd::PreTranslateMessage(msg);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHost, CWnd)
ON_MESSAGE(kPing, OnPing)
ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
ON_COMMAND(113, OnCommand113)
ON_BN_CLICKED(1001, OnButton)
ON_NOTIFY(NM_CLICK, 1002, OnListClick)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnTipText)
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_CREATE()
END_MESSAGE_MAP()

// A control that handles its own notifications first.
class CReflecting : public CWnd {
public:
    BOOL pass_click_on = FALSE;
    std::vector<std::string>* log = nullptr;
    bool presubclassed = false;
    BOOL OnClickReflect(NMHDR*, LRESULT* r) {
        log->push_back("child NM_CLICK");
        *r = 3;
        return !pass_click_on;  // FALSE lets the parent see it too
    }
    void OnCustomDraw(NMHDR*, LRESULT* r) {
        log->push_back("child NM_CUSTOMDRAW");
        *r = CDRF_NOTIFYITEMDRAW;
    }
    BOOL OnClickedReflect() {
        log->push_back("child BN_CLICKED");
        return FALSE;
    }
    void OnEditChanged() { log->push_back("child EN_CHANGE"); }
    HBRUSH CtlColor(CDC* dc, UINT type) {
        log->push_back("child CtlColor " + std::to_string(type));
        dc->SetTextColor(RGB(255, 0, 0));
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    void PreSubclassWindow() override { presubclassed = true; }
    BOOL PreTranslateMessage(MSG* msg) override {
        log->push_back("pretranslate child");
        return CWnd::PreTranslateMessage(msg);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflecting, CWnd)
ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClickReflect)
ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClickedReflect)
ON_CONTROL_REFLECT(EN_CHANGE, OnEditChanged)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CDrawnButton : public CButton {
public:
    int drawn = 0;
    void DrawItem(LPDRAWITEMSTRUCT) override { ++drawn; }
};

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  nullptr));
    }
    // A plain child window of the host, with a control id.
    HWND Child(UINT id) {
        return ::CreateWindowExA(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host.m_hWnd,
                                 reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
    }
    CHost host;
};

TEST_F(WindowTest, CreationAttachesThePermanentObjectBeforeCreateRuns) {
    EXPECT_EQ(CWnd::FromHandlePermanent(host.m_hWnd), &host);
    EXPECT_EQ(CWnd::FromHandle(host.m_hWnd), &host);
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ(host.log[0], "create");
}

TEST_F(WindowTest, MessageMapDispatchesByKindAndSignature) {
    EXPECT_EQ(host.SendMessage(kPing, 4, -2), 77);
    EXPECT_EQ(host.SendMessage(g_registered, 8), 5);
    host.SendMessage(WM_COMMAND, MAKEWPARAM(113, 0), 0);
    host.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 60));
    host.SendMessage(WM_TIMER, 3, 0);
    std::vector<std::string> want = {"ping 4 -2", "registered 8", "command 113", "size 120x60", "timer 3"};
    std::vector<std::string> got(host.log.end() - 5, host.log.end());
    EXPECT_EQ(got, want);
}

TEST_F(WindowTest, TemporaryWrappersForForeignWindowsAndOneOwnerPerWindow) {
    HWND child = Child(50);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), nullptr);
    CWnd* temp = CWnd::FromHandle(child);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, child);
    EXPECT_EQ(CWnd::FromHandle(child), temp);  // the same wrapper until idle time
    EXPECT_EQ(temp->GetDlgCtrlID(), 50);
    EXPECT_EQ(temp->GetParent(), &host);

    CReflecting a, b;
    std::vector<std::string> log;
    a.log = b.log = &log;
    EXPECT_TRUE(a.SubclassWindow(child));
    EXPECT_TRUE(a.presubclassed);
    EXPECT_FALSE(b.SubclassWindow(child));  // already owned
    EXPECT_EQ(CWnd::FromHandle(child), &a);
    // The permanent object is found from another thread too (the worker uses UI controls).
    CWnd* seen = nullptr;
    std::thread([&] { seen = CWnd::FromHandlePermanent(child); }).join();
    EXPECT_EQ(seen, &a);
    AfxOnIdleCleanup();
    EXPECT_EQ(a.UnsubclassWindow(), child);
    EXPECT_EQ(CWnd::FromHandlePermanent(child), nullptr);
    ::DestroyWindow(child);
}

TEST_F(WindowTest, DestroyingDetachesAndCallsPostNcDestroy) {
    HWND h = host.m_hWnd;
    EXPECT_TRUE(host.DestroyWindow());
    EXPECT_EQ(host.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(host.log.back(), "post nc destroy");
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(WindowTest, NotificationsReachTheControlFirstThenTheParentOnlyAfterAFalseExHandler) {
    HWND child = Child(1002);
    CReflecting c;
    c.log = &host.log;
    ASSERT_TRUE(c.SubclassWindow(child));
    NMHDR h{child, 1002, UINT(NM_CLICK)};
    host.log.clear();
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&h)), 3);
    EXPECT_EQ(host.log, (std::vector<std::string>{"child NM_CLICK"}));
    c.pass_click_on = TRUE;
    host.log.clear();
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&h)), 9);
    EXPECT_EQ(host.log, (std::vector<std::string>{"child NM_CLICK", "parent NM_CLICK from 1002"}));
    // A plain reflected handler takes the notification and its result.
    NMCUSTOMDRAW cd{};
    cd.hdr = {child, 1002, UINT(NM_CUSTOMDRAW)};
    cd.dwDrawStage = CDDS_PREPAINT;
    host.log.clear();
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 1002, reinterpret_cast<LPARAM>(&cd)), CDRF_NOTIFYITEMDRAW);
    EXPECT_EQ(host.log, (std::vector<std::string>{"child NM_CUSTOMDRAW"}));
    // Tooltip text requests for any id go to the range handler.
    NMTTDISPINFOA tt{};
    tt.hdr = {nullptr, 3003, UINT(TTN_NEEDTEXTA)};
    host.log.clear();
    host.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tt));
    EXPECT_EQ(host.log, (std::vector<std::string>{"tip 3003"}));
    c.UnsubclassWindow();
    ::DestroyWindow(child);
}

TEST_F(WindowTest, CommandNotificationsAndColoursAreReflected) {
    HWND child = Child(1001);
    CReflecting c;
    c.log = &host.log;
    ASSERT_TRUE(c.SubclassWindow(child));
    host.log.clear();
    host.SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(host.log, (std::vector<std::string>{"child BN_CLICKED", "parent BN_CLICKED"}));
    host.log.clear();
    host.SendMessage(WM_COMMAND, MAKEWPARAM(1001, EN_CHANGE), reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(host.log, (std::vector<std::string>{"child EN_CHANGE"}));

    HDC dc = ::GetDC(host.m_hWnd);
    host.log.clear();
    LRESULT brush = host.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(host.log, (std::vector<std::string>{"child CtlColor " + std::to_string(CTLCOLOR_STATIC)}));
    EXPECT_EQ(::GetTextColor(dc), RGB(255, 0, 0));
    ::ReleaseDC(host.m_hWnd, dc);
    c.UnsubclassWindow();
    ::DestroyWindow(child);
}

TEST_F(WindowTest, OwnerDrawReachesTheButtonsDrawItem) {
    HWND child = Child(1003);
    CDrawnButton b;
    ASSERT_TRUE(b.SubclassWindow(child));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 1003;
    dis.hwndItem = child;
    EXPECT_EQ(host.SendMessage(WM_DRAWITEM, 1003, reinterpret_cast<LPARAM>(&dis)), TRUE);
    EXPECT_EQ(b.drawn, 1);
    b.UnsubclassWindow();
    ::DestroyWindow(child);
}

TEST_F(WindowTest, PreTranslationWalksFromTheTargetUpToItsTopLevel) {
    HWND child = Child(60);
    CReflecting c;
    c.log = &host.log;
    ASSERT_TRUE(c.SubclassWindow(child));
    MSG msg{};
    msg.hwnd = child;
    msg.message = WM_KEYDOWN;
    host.log.clear();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));
    EXPECT_EQ(host.log, (std::vector<std::string>{"pretranslate child", "pretranslate host"}));
    host.log.clear();
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(child, &msg));  // stops at the given window
    EXPECT_EQ(host.log, (std::vector<std::string>{"pretranslate child"}));
    c.UnsubclassWindow();
    ::DestroyWindow(child);
}

class CTipped : public CWnd {
public:
    mutable std::vector<CPoint> hits;
    INT_PTR OnToolHitTest(CPoint p, TOOLINFOA* ti) const override {
        hits.push_back(p);
        ti->hwnd = m_hWnd;
        ti->uId = 7;
        ti->lpszText = LPSTR_TEXTCALLBACKA;
        ti->rect = RECT{0, 0, 10, 10};
        return 7;
    }
};

TEST_F(WindowTest, EnabledToolTipsHitTestMouseMessagesInClientCoordinates) {
    CTipped t;
    ASSERT_TRUE(t.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(30, 40, 90, 90), &host, 70));
    MSG msg{};
    msg.hwnd = t.m_hWnd;
    msg.message = WM_MOUSEMOVE;
    POINT pt{35, 47};
    ::ClientToScreen(t.m_hWnd, &pt);
    msg.pt = pt;
    CWnd::WalkPreTranslateTree(nullptr, &msg);
    EXPECT_TRUE(t.hits.empty());  // not enabled yet
    t.EnableToolTips(TRUE);
    CWnd::WalkPreTranslateTree(nullptr, &msg);
    ASSERT_EQ(t.hits.size(), 1u);
    EXPECT_EQ(t.hits[0], CPoint(35, 47));
    msg.message = WM_KEYDOWN;
    CWnd::WalkPreTranslateTree(nullptr, &msg);
    EXPECT_EQ(t.hits.size(), 1u);  // keys are not hit-tested
    t.DestroyWindow();
}

// A child that keeps a check state, standing in for a check box.
LRESULT CALLBACK CheckProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == BM_SETCHECK) {
        ::SetPropA(h, "check", reinterpret_cast<HANDLE>(wp + 1));
        return 0;
    }
    if (m == BM_GETCHECK) return LRESULT(reinterpret_cast<uintptr_t>(::GetPropA(h, "check"))) - 1;
    return ::DefWindowProcA(h, m, wp, lp);
}

class CForm : public CHost {
public:
    // Closes the message box that refused input: posted before it opens, handled in its loop.
    LRESULT OnCloseBox(WPARAM, LPARAM) {
        HWND box = ::GetActiveWindow();
        if (box && box != m_hWnd) ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

public:
    CString text = "initial";
    int check = 1;
    int number = 12;
    CWnd bound;
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 10, bound);
        DDX_Text(dx, 11, text);
        DDX_Check(dx, 12, check);
        DDX_Text(dx, 13, number);
    }
};

BEGIN_MESSAGE_MAP(CForm, CHost)
ON_MESSAGE(WM_USER + 77, OnCloseBox)
END_MESSAGE_MAP()

TEST(DataExchange, LoadsSavesBindsAndRefusesBadInput) {
    CForm form;
    ASSERT_TRUE(form.CreateEx(0, AfxRegisterWndClass(0), "form", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    WNDCLASSA wc{};
    wc.lpfnWndProc = CheckProc;
    wc.lpszClassName = "VelmoraTestCheck";
    ::RegisterClassA(&wc);
    HWND kids[4];
    for (int i = 0; i < 4; ++i)
        kids[i] = ::CreateWindowExA(0, i == 2 ? "VelmoraTestCheck" : AfxRegisterWndClass(0), "", WS_CHILD, 0, 0, 10,
                                    10, form.m_hWnd, reinterpret_cast<HMENU>(uintptr_t(10 + i)), nullptr, nullptr);
    ASSERT_TRUE(form.UpdateData(FALSE));
    EXPECT_EQ(form.bound.m_hWnd, kids[0]);  // bound and subclassed
    EXPECT_EQ(CWnd::FromHandlePermanent(kids[0]), &form.bound);
    char buf[64];
    ::GetWindowTextA(kids[1], buf, sizeof buf);
    EXPECT_STREQ(buf, "initial");
    EXPECT_EQ(::SendMessageA(kids[2], BM_GETCHECK, 0, 0), 1);
    ::GetWindowTextA(kids[3], buf, sizeof buf);
    EXPECT_STREQ(buf, "12");

    ::SetWindowTextA(kids[1], "changed");
    ::SendMessageA(kids[2], BM_SETCHECK, 0, 0);
    ::SetWindowTextA(kids[3], " 40 ");
    ASSERT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(form.text, "changed");
    EXPECT_EQ(form.check, 0);
    EXPECT_EQ(form.number, 40);

    ::SetWindowTextA(kids[3], "4x");
    form.number = 5;
    form.PostMessage(WM_USER + 77);  // a message box says why; this answers it
    EXPECT_FALSE(form.UpdateData(TRUE));  // not a number: refused, value kept
    EXPECT_EQ(form.number, 5);

    // A second object cannot bind a control that is already bound.
    CForm other;
    CDataExchange dx(&form, FALSE);
    bool threw = false;
    try {
        DDX_Control(&dx, 10, other.bound);
    } catch (CException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
    form.DestroyWindow();
}

TEST(Threads, BeginThreadRunsTheProcedureWithItsParameterAndPriority) {
    static std::atomic<int> got{0};
    struct Arg {
        int value;
        HANDLE done;
    } arg{41, ::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    CWinThread* t = AfxBeginThread(
        [](LPVOID p) -> UINT {
            auto* a = static_cast<Arg*>(p);
            got = a->value + 1;
            ::SetEvent(a->done);
            return 0;
        },
        &arg, THREAD_PRIORITY_IDLE, 0, CREATE_SUSPENDED);
    ASSERT_NE(t, nullptr);
    t->m_bAutoDelete = FALSE;
    EXPECT_EQ(t->GetThreadPriority(), THREAD_PRIORITY_IDLE);
    EXPECT_EQ(got.load(), 0);  // still suspended
    t->ResumeThread();
    EXPECT_EQ(::WaitForSingleObject(arg.done, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(got.load(), 42);
    ::WaitForSingleObject(t->m_hThread, 5000);
    delete t;
    ::CloseHandle(arg.done);
}

TEST(Dialogs, ModalDialogWithoutATemplateFailsCleanly) {
    CDialog d(4242);  // no such resource
    EXPECT_EQ(d.DoModal(), -1);
    EXPECT_EQ(d.m_hWnd, nullptr);
}

}  // namespace

namespace {

class CLooping : public CHost {
public:
    LRESULT OnStop(WPARAM wp, LPARAM) {
        log.push_back("stop");
        EndModalLoop(int(wp));
        return 0;
    }
    LRESULT OnFromWorker(WPARAM wp, LPARAM) {
        log.push_back("from worker " + std::to_string(wp));
        return LRESULT(wp * 2);
    }
    void OnKeyDown(UINT, UINT, UINT) { log.push_back("key dispatched"); }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) log.push_back("key pretranslated");
        return msg->wParam == 'X';  // eats X
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLooping, CHost)
ON_MESSAGE(WM_USER + 30, OnStop)
ON_MESSAGE(WM_USER + 31, OnFromWorker)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST(ModalLoop, PreTranslatesDispatchesServesOtherThreadsAndEndsWithItsResult) {
    CLooping w;
    ASSERT_TRUE(w.CreateEx(0, AfxRegisterWndClass(0), "loop", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
    w.PostMessage(WM_KEYDOWN, 'A', 0);
    w.PostMessage(WM_KEYDOWN, 'X', 0);
    LRESULT worker_result = 0;
    HWND h = w.m_hWnd;
    std::thread worker([&] {
        // A send from another thread is answered by the thread inside the modal loop.
        worker_result = ::SendMessageA(h, WM_USER + 31, 21, 0);
        ::PostMessageA(h, WM_USER + 30, 5, 0);
    });
    w.m_nFlags |= WF_CONTINUEMODAL;
    int r = w.RunModalLoop();
    worker.join();
    EXPECT_EQ(r, 5);
    EXPECT_EQ(worker_result, 42);
    // Sent messages may be answered before the posted keys: check each stream on its own.
    std::vector<std::string> keys;
    for (auto& s : w.log)
        if (s.rfind("key", 0) == 0) keys.push_back(s);
    EXPECT_EQ(keys, (std::vector<std::string>{"key pretranslated", "key dispatched", "key pretranslated"}));
    EXPECT_NE(std::find(w.log.begin(), w.log.end(), "from worker 21"), w.log.end());
    EXPECT_EQ(w.log.back(), "stop");
    EXPECT_FALSE(w.ContinueModal());
    w.DestroyWindow();
}

}  // namespace
