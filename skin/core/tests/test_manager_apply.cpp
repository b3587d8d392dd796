// Applying a new skin to every skinned window, clean-up, and windows of other threads.
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "SkinnerRegistry.h"
#include "test_skinwnd_support.h"

using namespace skinwnd;

namespace {

// A skin that notes on which thread it was given objects and detached.
class RecordingSkin : public CSkinWindow {
public:
    CSkinObject* SetSkinObject(CSkinObject* object) override
    {
        objectThread = GetCurrentThreadId();
        ++objectCalls;
        return CSkinWindow::SetSkinObject(object);
    }
    void Detach() override
    {
        detachThread = GetCurrentThreadId();
        if (detachOut)
            *detachOut = detachThread;
        CSkinWindow::Detach();
    }
    bool IsMdiClient() override { return mdiClient; }
    DWORD objectThread = 0, detachThread = 0;
    DWORD* detachOut = nullptr;  // outlives the skin
    int objectCalls = 0;
    bool mdiClient = false;
};

// A skin file that tells when it is deleted.
class TrackedFile : public CSkinFile {
public:
    explicit TrackedFile(bool* deleted) : m_deleted(deleted) {}
    ~TrackedFile() override { *m_deleted = true; }
    bool* m_deleted;
};

// Only the window objects of the test skin: every control loses its look.
CSkinFile* FramesOnly(CSkinFile* file)
{
    for (int i = 0; i < 9; ++i)
        AddSolidPicture(*file, ("p" + std::to_string(i)).c_str(), 8, 8, PartColor(8 - i));
    for (const char* name : {"Dialog", "Frame"}) {
        auto f = Named<CSkinFrameWndObject>(name);
        SetTestFrame(*f);
        file->AddObject(std::move(f));
    }
    return file;
}

int g_notices = 0;
void CountNotice() { ++g_notices; }

using ApplyTest = ManagerFixture;

TEST_F(ApplyTest, NullFileIsRefused)
{
    CSkinFile* before = Manager().GetSkinFile();
    EXPECT_EQ(Manager().ApplySkinToAllWindows(nullptr), 0);
    EXPECT_EQ(Manager().GetSkinFile(), before);
}

TEST_F(ApplyTest, SkinsGetTheNewFilesObjectsAndLoseThemWhereItHasNone)
{
    HWND top = Keep(MakeTop());
    HWND button = Keep(MakeChild(top, "Button", BS_PUSHBUTTON, 3));
    HWND client = Keep(MakeChild(top, "SkinWndTest", 0, 4));
    const WNDPROC buttonProc = ProcOf(button);
    ASSERT_TRUE(Manager().AttachFrameSkin(top, "Frame"));
    ASSERT_NE(Manager().FindSkinWindow(button), nullptr);
    auto* mdi = new RecordingSkin;
    mdi->mdiClient = true;
    ASSERT_EQ(Manager().RegisterWindow(mdi, client), 1);
    mdi->SetSkinObject(Manager().GetSkinFile()->FindObject("CheckBox"));
    ASSERT_TRUE(mdi->Attach(client));

    bool oldDeleted = false;
    // The old file goes only after the new one is in place.
    ASSERT_EQ(Manager().ApplySkinToAllWindows(FramesOnly(new TrackedFile(&oldDeleted))), 1);
    ASSERT_FALSE(oldDeleted);
    Manager().SetChangeNotifier(&CountNotice);
    g_notices = 0;
    CSkinFile* file = new CSkinFile;
    FramesOnly(file);
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file), 1);
    EXPECT_TRUE(oldDeleted);
    EXPECT_EQ(g_notices, 1);
    EXPECT_EQ(Manager().GetSkinFile(), file);

    CSkinWindow* frame = Manager().FindSkinWindow(top);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetSkinObject(), file->FindObject("Frame"));
    // The button has no look in the new skin: it is unskinned, its procedure back.
    EXPECT_EQ(Manager().FindSkinWindow(button), nullptr);
    EXPECT_EQ(ProcOf(button), buttonProc);
    EXPECT_EQ(frame->GetChildControls().count(button), 0u);
    // The MDI client stays skinned, but keeps nothing of the deleted file.
    EXPECT_EQ(Manager().FindSkinWindow(client), mdi);
    EXPECT_EQ(mdi->GetSkinObject(), nullptr);
}

TEST_F(ApplyTest, ANamedObjectOfAnotherTypeIsNotTaken)
{
    HWND a = Keep(MakeTop());
    HWND b = Keep(MakeChild(a, "SkinWndTest"));
    ASSERT_TRUE(Manager().CreateControlSkin(b, "Button", nullptr));
    auto* file = new CSkinFile;
    file->AddObject(Named<CSkinStaticObject>("Button"));  // same name, another record
    file->AddObject(Named<CSkinButtonObject>("OtherButton"));
    ASSERT_EQ(Manager().ApplySkinToAllWindows(file), 1);
    ASSERT_NE(Manager().FindSkinWindow(b), nullptr);
    EXPECT_EQ(Manager().FindSkinWindow(b)->GetSkinObject(), file->FindObject("OtherButton"));
}

// Both windows destroy the other one when told about the new colours: whichever comes first
// in the walk takes a window out of the map that the walk has still to visit.
HWND g_partner[2];
bool g_armed = false;
LRESULT CALLBACK DestroyPartnerProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SYSCOLORCHANGE && g_armed) {
        g_armed = false;
        DestroyWindow(h == g_partner[0] ? g_partner[1] : g_partner[0]);
    }
    return DefWindowProcA(h, m, w, l);
}

TEST_F(ApplyTest, AWindowDestroyedDuringTheWalkIsSkippedSafely)
{
    EnsureClass("SkinWndPartner", &DestroyPartnerProc);
    for (HWND& h : g_partner) {
        h = Keep(MakeTop(WS_OVERLAPPEDWINDOW, "SkinWndPartner"));
        Keep(MakeChild(h, "Button", BS_PUSHBUTTON));
        ASSERT_TRUE(Manager().AttachFrameSkin(h, "Frame"));
    }
    ASSERT_EQ(Manager().GetWindowCount(), 4u);
    g_armed = true;
    ASSERT_EQ(Manager().ApplySkinToAllWindows(MakeTestSkin().release()), 1);
    EXPECT_FALSE(g_armed);
    EXPECT_EQ(IsWindow(g_partner[0]) + IsWindow(g_partner[1]), 1);
    EXPECT_EQ(Manager().GetWindowCount(), 2u);
}

// A window that takes its own skin away while it handles a message.
LRESULT CALLBACK RemoveSelfProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SYSCOLORCHANGE && GetPropA(h, "remove-me")) {
        RemovePropA(h, "remove-me");
        CSkinManager::Instance().RemoveSkin(h, FALSE);
    }
    return DefWindowProcA(h, m, w, l);
}

TEST_F(ApplyTest, ASkinRemovedInsideItsOwnProcedureDuringTheWalk)
{
    EnsureClass("SkinWndRemoveSelf", &RemoveSelfProc);
    HWND h = Keep(MakeTop(WS_OVERLAPPEDWINDOW, "SkinWndRemoveSelf"));
    const WNDPROC original = ProcOf(h);
    ASSERT_TRUE(Manager().AttachFrameSkin(h, "Frame"));
    SetPropA(h, "remove-me", h);
    ASSERT_EQ(Manager().ApplySkinToAllWindows(MakeTestSkin().release()), 1);
    EXPECT_EQ(Manager().FindSkinWindow(h), nullptr);
    EXPECT_EQ(ProcOf(h), original);
    // The window still works after its skin is gone.
    EXPECT_EQ(SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("after")), TRUE);
}

TEST_F(ApplyTest, CleanupDetachesEverySkinAndLeavesAnEmptySkin)
{
    HWND top = Keep(MakeTop());
    HWND button = Keep(MakeChild(top, "Button", BS_AUTOCHECKBOX));
    const WNDPROC topProc = ProcOf(top), buttonProc = ProcOf(button);
    ASSERT_TRUE(Manager().AttachFrameSkin(top, "Frame"));
    ASSERT_EQ(Manager().GetWindowCount(), 2u);
    Manager().Cleanup();
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
    EXPECT_EQ(ProcOf(top), topProc);
    EXPECT_EQ(ProcOf(button), buttonProc);
    ASSERT_NE(Manager().GetSkinFile(), nullptr);
    EXPECT_TRUE(Manager().GetSkinFile()->GetObjects().empty());
    EXPECT_FALSE(Manager().AttachFrameSkin(top, nullptr));  // nothing to attach from
}

// A window living on a thread of its own, with its message loop.
class WindowThread {
public:
    explicit WindowThread(const std::function<void(HWND)>& prepare = nullptr)
    {
        std::promise<void> ready;
        auto started = ready.get_future();
        m_thread = std::thread([this, prepare, &ready] {
            TestHooks::Install();  // as every skinned GUI thread has
            m_hwnd = MakeTop();
            m_tid = GetCurrentThreadId();
            if (prepare)
                prepare(m_hwnd);
            ready.set_value();
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0)
                DispatchMessageA(&msg);
            DestroyWindow(m_hwnd);
            TestHooks::Remove();
        });
        started.wait();
    }
    ~WindowThread()
    {
        PostThreadMessageA(m_tid, WM_QUIT, 0, 0);
        m_thread.join();
    }
    HWND Hwnd() const { return m_hwnd; }
    DWORD Tid() const { return m_tid; }

private:
    std::thread m_thread;
    HWND m_hwnd = nullptr;
    DWORD m_tid = 0;
};

TEST_F(ApplyTest, WindowsOfAnotherThreadAreChangedOnThatThread)
{
    RecordingSkin* skin = nullptr;
    WindowThread other([&](HWND h) {
        skin = new RecordingSkin;
        ASSERT_EQ(Manager().RegisterWindow(skin, h), 1);
        skin->SetSkinObject(Manager().GetSkinFile()->FindObject("Frame"));
        ASSERT_TRUE(skin->Attach(h));
    });
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(Manager().ApplySkinToAllWindows(MakeTestSkin().release()), 1);
    EXPECT_EQ(skin->objectThread, other.Tid());
    EXPECT_EQ(skin->GetSkinObject(), Manager().GetSkinFile()->FindObject("Frame"));
    EXPECT_EQ(skin->detachThread, 0u);

    // Removing it from here detaches it there, where its procedure runs.
    DWORD detachedOn = 0;
    skin->detachOut = &detachedOn;
    ASSERT_TRUE(Manager().RemoveSkin(other.Hwnd(), FALSE));
    EXPECT_EQ(detachedOn, other.Tid());
    EXPECT_EQ(Manager().FindSkinWindow(other.Hwnd()), nullptr);
    EXPECT_NE(ProcOf(other.Hwnd()), &CSkinWindow::StaticWindowProc);
}

TEST_F(ApplyTest, AttachingAWindowOfAnotherThreadSubclassesItThere)
{
    WindowThread other;
    // Only a thread with its hooks takes work from others: this one has none.
    HWND unhooked = nullptr;
    DWORD unhookedTid = 0;
    std::promise<void> made;
    std::thread plain([&] {
        unhooked = MakeTop();
        unhookedTid = GetCurrentThreadId();
        made.set_value();
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(unhooked);
    });
    made.get_future().wait();
    EXPECT_FALSE(Manager().AttachFrameSkin(unhooked, "Frame"));
    EXPECT_EQ(Manager().GetWindowCount(), 0u);
    PostThreadMessageA(unhookedTid, WM_QUIT, 0, 0);
    plain.join();

    ASSERT_TRUE(Manager().AttachFrameSkin(other.Hwnd(), "Frame"));
    EXPECT_EQ(ProcOf(other.Hwnd()), &CSkinWindow::StaticWindowProc);
    EXPECT_EQ(Manager().FindSkinWindow(other.Hwnd())->GetHwnd(), other.Hwnd());
    Manager().Cleanup();
    EXPECT_NE(ProcOf(other.Hwnd()), &CSkinWindow::StaticWindowProc);
}


// Counts the skins the replacer below has applied; the dialog maker gives it time to apply
// some between finding the object and entering the window, where a replacement used to slip in.
std::atomic<int> g_applied{0};

CSkinWindow* SlowDialogMaker()
{
    const int seen = g_applied;
    for (int spin = 0; spin < 2000 && g_applied < seen + 2; ++spin)
        std::this_thread::yield();
    return new CSkinWindow;
}

TEST_F(ApplyTest, AttachingWhileAnotherThreadReplacesTheSkinKeepsObjectsOfTheCurrentFile)
{
    // Another thread replaces the skin over and over while this one attaches windows. No skin
    // may keep an object of a file that was replaced (and deleted).
    std::vector<std::unique_ptr<CSkinFile>> skins;
    for (int i = 0; i < 600; ++i)
        skins.push_back(MakeTestSkin());
    ASSERT_TRUE(RegisterWindowSkinner(SKINKIND_DIALOG, &SlowDialogMaker));
    g_applied = 0;
    std::atomic<bool> finished{false};
    std::thread replacer([&] {
        for (auto& skin : skins) {
            Manager().ApplySkinToAllWindows(skin.release());
            ++g_applied;
        }
        finished = true;
    });
    const auto pump = [] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int attached = 0;
    for (int i = 0; i < 100 && !finished && std::chrono::steady_clock::now() < deadline; ++i) {
        HWND h = Keep(MakeTop());
        attached += Manager().AttachDialogSkin(h, "Dialog") ? 1 : 0;
        pump();
        CSkinWindow* skin = Manager().FindSkinWindow(h);
        ASSERT_NE(skin, nullptr);
        // Kept every tenth: the replacer's walk stays short.
        if (i % 10 != 0) {
            Manager().RemoveSkin(h, FALSE);
            DestroyWindow(h);
        }
    }
    // The replacer may be waiting for this thread to answer.
    while (!finished && std::chrono::steady_clock::now() < deadline + std::chrono::seconds(30))
        pump();
    RegisterWindowSkinner(SKINKIND_DIALOG, nullptr);
    ASSERT_TRUE(finished);
    replacer.join();
    EXPECT_GT(attached, 10);

    CSkinFile* current = Manager().GetSkinFile();
    for (HWND h : m_windows) {
        if (!IsWindow(h))
            continue;
        CSkinWindow* skin = Manager().FindSkinWindow(h);
        ASSERT_NE(skin, nullptr);
        ASSERT_NE(skin->GetSkinObject(), nullptr);
        EXPECT_EQ(skin->GetSkinObject()->GetOwner(), current);
    }
}

}  // namespace
