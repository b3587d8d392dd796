// The MDI client window: document windows made on request with ids from the first child id,
// the active one answered with its maximised state, activation, maximise and restore, and the
// next window taking over when the active one is destroyed.
#include <gtest/gtest.h>

#include <vector>

#include "windows.h"
#include "winplat_test.h"

namespace {

std::vector<std::pair<HWND, HWND>> g_activations;  // (deactivated, activated) as children hear them

LRESULT CALLBACK DocProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_MDIACTIVATE && reinterpret_cast<HWND>(l) == h)
        g_activations.emplace_back(reinterpret_cast<HWND>(w), reinterpret_cast<HWND>(l));
    return DefWindowProcA(h, m, w, l);
}

class MdiClient : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &DocProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MdiTestDocument";
        RegisterClassA(&wc);
        frame = CreateWindowExA(0, "MdiTestDocument", "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 500, 400,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        CLIENTCREATESTRUCT ccs{nullptr, 500};
        client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 480, 300,
                                 frame, nullptr, GetModuleHandleA(nullptr), &ccs);
        g_activations.clear();
    }
    void TearDown() override {
        DestroyWindow(frame);
        UnregisterClassA("MdiTestDocument", GetModuleHandleA(nullptr));
        WinTestPumpUntilIdle();
    }
    HWND Create(const char* title, int x = int(CW_USEDEFAULT)) {
        MDICREATESTRUCTA cs{"MdiTestDocument", title, GetModuleHandleA(nullptr), x, x, int(CW_USEDEFAULT),
                            int(CW_USEDEFAULT), WS_OVERLAPPEDWINDOW, 0};
        return reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&cs)));
    }
    HWND Active(BOOL* maximised = nullptr) {
        return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximised)));
    }
    HWND frame = nullptr, client = nullptr;
};

TEST_F(MdiClient, MakesDocumentWindowsAndKeepsTrackOfTheActiveOne) {
    ASSERT_NE(client, nullptr);
    char name[32] = {};
    GetClassNameA(client, name, sizeof name);
    EXPECT_STRCASEEQ(name, "MDIClient");
    EXPECT_EQ(Active(), nullptr);
    HWND a = Create("A"), b = Create("B");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(GetParent(a), client);
    EXPECT_TRUE(GetWindowLongA(a, GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_TRUE(GetWindowLongA(a, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(GetDlgCtrlID(a), 500);
    EXPECT_EQ(GetDlgCtrlID(b), 501);
    // Unplaced windows cascade at two thirds of the client.
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    EXPECT_GT(rb.top, ra.top);
    EXPECT_EQ(ra.right - ra.left, 320);
    BOOL maximised = TRUE;
    EXPECT_EQ(Active(&maximised), b);
    EXPECT_FALSE(maximised);
    SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_EQ(Active(), a);
    EXPECT_EQ(g_activations.back(), std::make_pair(b, a));

    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_EQ(Active(&maximised), a);
    EXPECT_TRUE(maximised);
    SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(a), 0);
    Active(&maximised);
    EXPECT_FALSE(maximised);

    // The active one destroyed, the other takes over; a window that is not a document is left.
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(Active(), b);
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(frame), 0);
    EXPECT_TRUE(IsWindow(frame));
    DestroyWindow(b);
    EXPECT_EQ(Active(), nullptr);
}

}  // namespace
