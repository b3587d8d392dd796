// A skinner that sends a message may not be there when the send returns: in its answer the host
// may re-apply or remove the skin, change its menu or destroy the window, and the element, item
// or record that sent it is deleted or detached. Whatever goes on using its own state after a
// send holds a CSkinLifeline, observes it before the send and asks the watch afterwards.
#pragma once

#include <windows.h>

#include <memory>

class CSkinLifeline {
public:
    class Watch {
    public:
        Watch() = default;
        // False once the owner was deleted or cut its lifeline.
        bool Alive() const { return !m_token.expired(); }

    private:
        friend class CSkinLifeline;
        explicit Watch(const std::shared_ptr<const char>& token) : m_token(token) {}
        std::weak_ptr<const char> m_token;
    };

    CSkinLifeline() = default;
    // A copy is another owner with a life of its own.
    CSkinLifeline(const CSkinLifeline&) : CSkinLifeline() {}
    CSkinLifeline& operator=(const CSkinLifeline&) { return *this; }

    Watch Observe() const { return Watch(m_token); }
    // Every watch taken so far sees its owner gone (it detached and is no longer what the
    // sender was); watches taken afterwards follow the owner again.
    void Cut() { m_token = std::make_shared<const char>(0); }

    // Sends the message (ANSI, as every window of the platform is) and tells whether the owner
    // outlived the answer; the answer goes to *result when asked for.
    bool Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) const
    {
        const Watch watch = Observe();
        const LRESULT r = SendMessageA(hwnd, msg, wParam, lParam);
        if (result)
            *result = r;
        return watch.Alive();
    }

private:
    std::shared_ptr<const char> m_token = std::make_shared<const char>(0);
};
