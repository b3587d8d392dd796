// What the application's tests share: an application object whose profile lives in a
// temporary file, recorded shell requests, and modal dialogs driven from a second thread
// through injected input.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "PeloranAutomation.h"
#include "afxwin.h"
#include "winplat_test.h"
#include "winplat_test_shell.h"

namespace apptest {

// The application object of a test program: its profile is a file of the test's own.
class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("peloran_tests") {}
    void UseProfile(const std::string& path) {
        m_profile = path;
        m_pszProfileName = m_profile.c_str();
    }

private:
    std::string m_profile;
};

inline std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "peloran_" + std::to_string(getpid()) + "_" + name;
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

// Words of recorded shell request `index` (word 0 is the program).
inline std::string RequestWord(int index, int word) {
    char buf[4096];
    return WinTestShellRequestWord(index, word, buf, sizeof buf) < 0 ? std::string() : std::string(buf);
}

// Runs `modal` on this (the UI) thread while `driver` runs on another thread; both end before
// this returns. Real time, so that the modal loop and the driver's waits agree.
inline void RunDriven(const std::function<void()>& modal, const std::function<void()>& driver) {
    WinTestUseRealTime(TRUE);
    std::atomic<bool> done{false};
    std::thread t([&] {
        driver();
        // A driver that failed half-way must not leave the test waiting for ever; its last
        // input gets time to arrive first.
        auto grace = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done && std::chrono::steady_clock::now() < grace)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        while (!done) {
            for (HWND d : peloran_auto::VisibleDialogs()) PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    modal();
    done = true;
    t.join();
    WinTestPumpUntilIdle();
    WinTestUseRealTime(FALSE);
}

}  // namespace apptest
