// This project's framework layer: synchronisation objects.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "afx.h"

class CSyncObject : public CObject {
public:
    virtual ~CSyncObject() = default;
    virtual BOOL Lock(DWORD timeout = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
};

class CCriticalSection : public CSyncObject {
public:
    BOOL Lock(DWORD timeout = INFINITE) override {
        if (timeout == INFINITE) {
            m_lock.lock();
            return TRUE;
        }
        return m_lock.try_lock_for(std::chrono::milliseconds(timeout));
    }
    BOOL Unlock() override {
        m_lock.unlock();
        return TRUE;
    }

private:
    std::recursive_timed_mutex m_lock;
};

class CMutex : public CCriticalSection {
public:
    explicit CMutex(BOOL initially_owned = FALSE, LPCSTR = nullptr, LPSECURITY_ATTRIBUTES = nullptr) {
        if (initially_owned) Lock();
    }
};

class CEvent : public CSyncObject {
public:
    explicit CEvent(BOOL initially_set = FALSE, BOOL manual_reset = FALSE, LPCSTR = nullptr,
                    LPSECURITY_ATTRIBUTES = nullptr)
        : m_set(initially_set), m_manual(manual_reset) {}
    BOOL SetEvent() {
        std::lock_guard<std::mutex> g(m_lock);
        m_set = true;
        m_cv.notify_all();
        return TRUE;
    }
    BOOL ResetEvent() {
        std::lock_guard<std::mutex> g(m_lock);
        m_set = false;
        return TRUE;
    }
    BOOL PulseEvent() {
        SetEvent();
        return ResetEvent();
    }
    BOOL Lock(DWORD timeout = INFINITE) override {
        std::unique_lock<std::mutex> g(m_lock);
        auto ready = [&] { return m_set; };
        if (timeout == INFINITE) m_cv.wait(g, ready);
        else if (!m_cv.wait_for(g, std::chrono::milliseconds(timeout), ready)) return FALSE;
        if (!m_manual) m_set = false;  // an auto-reset event lets one waiter through
        return TRUE;
    }
    BOOL Unlock() override { return TRUE; }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_set;
    bool m_manual;
};

class CSingleLock {
public:
    explicit CSingleLock(CSyncObject* obj, BOOL initial_lock = FALSE) : m_obj(obj) {
        if (initial_lock) Lock();
    }
    ~CSingleLock() { Unlock(); }
    BOOL Lock(DWORD timeout = INFINITE) {
        if (m_locked) return TRUE;
        m_locked = m_obj->Lock(timeout);
        return m_locked;
    }
    BOOL Unlock() {
        if (!m_locked) return TRUE;
        m_locked = FALSE;
        return m_obj->Unlock();
    }
    BOOL IsLocked() const { return m_locked; }

private:
    CSyncObject* m_obj;
    BOOL m_locked = FALSE;
};
