// Message queues: sending (within and across threads), posting, retrieval, hooks and timers.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <string>

#include "backend/backend.h"
#include "core/clock.h"
#include "kernel/kobjects.h"
#include "user/modal.h"
#include "user/queue.h"
#include "user/window.h"

namespace plat::user {
namespace {

std::map<DWORD, std::shared_ptr<Queue>>& Queues() {
    static auto* m = new std::map<DWORD, std::shared_ptr<Queue>>;
    return *m;
}

std::vector<std::shared_ptr<Hook>>& Hooks() {
    static auto* v = new std::vector<std::shared_ptr<Hook>>;
    return *v;
}
HandleTable<Hook>& HookTable() {
    static auto* t = new HandleTable<Hook>(HandleKind::Hook);
    return *t;
}

void RemoveThreadHooks(DWORD tid) {
    Guard g(GlobalLock());
    auto& v = Hooks();
    for (auto& h : v)
        if (h->tid == tid) {
            h->removed = true;
            HookTable().Remove(h->handle);
        }
    v.erase(std::remove_if(v.begin(), v.end(), [](auto& h) { return h->removed; }), v.end());
}

void FailIncoming(Queue& q) {
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard<std::mutex> g(q.mu);
        pending.swap(q.incoming);
        q.alive = false;
    }
    for (auto& s : pending) {
        if (!s->sender) continue;
        std::lock_guard<std::mutex> g(s->sender->mu);
        s->done = true;
        s->failed = true;
        s->sender->cv.notify_all();
    }
}

// Ends a thread's queue when the thread ends: its hooks go, and whoever waits on a message
// sent to it is released with a failure.
struct QueueOwner {
    std::shared_ptr<Queue> q;
    ~QueueOwner() {
        if (!q) return;
        RemoveThreadHooks(q->tid);
        {
            Guard g(GlobalLock());
            Queues().erase(q->tid);
        }
        FailIncoming(*q);
        DestroyThreadWindows(q->tid);
    }
};
thread_local QueueOwner t_queue;

std::atomic<int> g_listener{0};

void WakeAllQueues() {
    std::vector<std::shared_ptr<Queue>> qs;
    {
        Guard g(GlobalLock());
        for (auto& [tid, q] : Queues()) qs.push_back(q);
    }
    for (auto& q : qs) WakeQueue(*q);
}

bool MatchesFilter(const MSG& m, HWND filter, UINT min, UINT max) {
    if (filter == reinterpret_cast<HWND>(intptr_t(-1))) {
        if (m.hwnd) return false;
    } else if (filter) {
        if (m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
    }
    if (min == 0 && max == 0) return true;
    if (m.message == WM_QUIT) return true;
    return m.message >= min && m.message <= max;
}

bool InRange(UINT msg, UINT min, UINT max) { return (min == 0 && max == 0) || (msg >= min && msg <= max); }

DWORD PackPoint(POINT p) { return DWORD(MAKELONG(WORD(p.x), WORD(p.y))); }

std::atomic<uint64_t> g_timer_seq{1};

}  // namespace

Backend* BackendOrNull() { return &CurrentBackend(); }

std::shared_ptr<Queue> CurrentQueue() {
    if (t_queue.q) return t_queue.q;
    auto q = std::make_shared<Queue>();
    q->tid = kernel::CurrentTid();
    q->main_thread = kernel::IsMainThread();
    {
        Guard g(GlobalLock());
        Queues()[q->tid] = q;
    }
    t_queue.q = q;
    if (g_listener.exchange(1) == 0) clock::AddAdvanceListener([] { WakeAllQueues(); });
    return q;
}

std::shared_ptr<Queue> QueueOf(DWORD tid) {
    if (tid == kernel::CurrentTid()) return CurrentQueue();
    Guard g(GlobalLock());
    auto it = Queues().find(tid);
    return it == Queues().end() ? nullptr : it->second;
}

void WakeQueue(Queue& q) {
    {
        std::lock_guard<std::mutex> g(q.mu);
        q.wake = true;
        q.cv.notify_all();
    }
    if (q.main_thread) {
        if (Backend* b = BackendOrNull()) b->Wake();
    }
}

bool PostTo(DWORD tid, const MSG& m, bool input) {
    auto q = QueueOf(tid);
    if (!q) return false;
    {
        std::lock_guard<std::mutex> g(q->mu);
        if (!q->alive) return false;
        (input ? q->input : q->posted).push_back(m);
    }
    WakeQueue(*q);
    return true;
}

// Calls the thread's hooks of one type, newest first; each passes on through CallNextHookEx.
static LRESULT CallHookChain(int type, int code, WPARAM wp, LPARAM lp, bool* any) {
    std::shared_ptr<Hook> first;
    {
        Guard g(GlobalLock());
        DWORD tid = kernel::CurrentTid();
        for (auto& h : Hooks())
            if (!h->removed && h->type == type && (h->tid == tid || h->tid == 0)) {
                first = h;
                break;
            }
    }
    if (any) *any = first != nullptr;
    if (!first) return 0;
    return first->proc(code, wp, lp);
}

LRESULT DeliverSent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool from_other_thread) {
    CWPSTRUCT cwp{lp, wp, msg, hwnd};
    bool any = false;
    CallHookChain(WH_CALLWNDPROC, HC_ACTION, from_other_thread ? 0 : 1, reinterpret_cast<LPARAM>(&cwp), &any);
    // The procedure is read after the hooks ran: a hook that subclasses the window makes this
    // very message reach the new procedure.
    WNDPROC proc;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        proc = w->proc;
    }
    if (any) {
        // Hooks may change the parameters they are shown.
        wp = cwp.wParam;
        lp = cwp.lParam;
    }
    return proc ? proc(hwnd, msg, wp, lp) : 0;
}

void ProcessIncoming(Queue& q) {
    for (;;) {
        std::shared_ptr<SentMessage> s;
        std::shared_ptr<Queue> sender;
        {
            // Taken under the lock a timed-out sender withdraws its message with.
            std::lock_guard<std::mutex> g(q.mu);
            if (q.incoming.empty()) return;
            s = q.incoming.front();
            q.incoming.pop_front();
            sender = s->sender;
        }
        LRESULT r = 0;
        bool failed = false;
        if (IsWindow(s->hwnd)) {
            auto prev = q.in_send;
            q.in_send = s;
            r = DeliverSent(s->hwnd, s->msg, s->wp, s->lp, true);
            q.in_send = prev;
        } else {
            failed = true;
        }
        if (sender) {
            std::lock_guard<std::mutex> g(sender->mu);
            if (!s->done) {  // ReplyMessage may have answered already
                s->result = r;
                s->failed = failed;
                s->done = true;
            }
            sender->cv.notify_all();
        }
    }
}

uint64_t NextTimerDue(Queue& q) {
    std::lock_guard<std::mutex> g(q.mu);
    uint64_t due = clock::kForever;
    for (auto& t : q.timers) due = std::min(due, t.due);
    return due;
}

bool TakeDueTimer(Queue& q, HWND filter, UINT min, UINT max, bool remove, MSG* out) {
    if (!InRange(WM_TIMER, min, max)) return false;
    uint64_t now = clock::NowMs();
    std::lock_guard<std::mutex> g(q.mu);
    Timer* best = nullptr;
    for (auto& t : q.timers) {
        if (t.due > now) continue;
        if (filter == reinterpret_cast<HWND>(intptr_t(-1)) && t.hwnd) continue;
        if (filter && filter != reinterpret_cast<HWND>(intptr_t(-1)) && filter != t.hwnd) continue;
        if (!best || t.due < best->due || (t.due == best->due && t.seq < best->seq)) best = &t;
    }
    if (!best) return false;
    *out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), DWORD(now), {0, 0}};
    // A late timer fires once and starts a fresh interval: missed periods don't pile up.
    if (remove) best->due = now + best->interval;
    return true;
}

}  // namespace plat::user

using namespace plat;
using namespace plat::user;

namespace {

BYTE g_key_state[256];
BYTE g_async_state[256];
std::mutex g_key_mu;
POINT g_cursor_pos{0, 0};

bool IsKeyMessage(UINT m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP; }

// One attempt at retrieving a message; false when there is nothing.
bool RetrieveOnce(Queue& q, LPMSG out, HWND filter, UINT min, UINT max, UINT flags) {
    bool remove = (flags & PM_REMOVE) != 0;
    ProcessIncoming(q);
    // Posted messages first. Only this thread removes from its queue (others only append),
    // so an index found in a snapshot still names the same message.
    auto find_first = [&](std::deque<MSG>& dq, MSG* m) -> long {
        std::vector<MSG> snap;
        {
            std::lock_guard<std::mutex> g(q.mu);
            snap.assign(dq.begin(), dq.end());
        }
        for (size_t i = 0; i < snap.size(); ++i)
            if (MatchesFilter(snap[i], filter, min, max)) {
                *m = snap[i];
                return long(i);
            }
        return -1;
    };
    {
        {
            std::lock_guard<std::mutex> g(q.mu);
            q.wake = false;
        }
        MSG m{};
        long i = find_first(q.posted, &m);
        if (i >= 0) {
            if (remove) {
                std::lock_guard<std::mutex> g(q.mu);
                q.posted.erase(q.posted.begin() + i);
            }
            *out = m;
            return true;
        }
        std::lock_guard<std::mutex> g(q.mu);
        if (q.quit && (filter == nullptr || filter == reinterpret_cast<HWND>(intptr_t(-1)))) {
            *out = MSG{nullptr, WM_QUIT, WPARAM(q.quit_code), 0, GetTickCount(), {0, 0}};
            if (remove) q.quit = false;
            return true;
        }
    }
    // Then input.
    for (;;) {
        MSG m{};
        long i = find_first(q.input, &m);
        if (i < 0) break;
        bool key = IsKeyMessage(m.message);
        bool drop = key && RunKeyboardHooks(q, m, remove);
        if (remove || drop) {
            std::lock_guard<std::mutex> g(q.mu);
            q.input.erase(q.input.begin() + i);
        }
        // A key a hook ate was still pressed or released: the thread's key state follows it.
        if (remove || drop) UpdateKeyStateFromMessage(m);
        if (drop) continue;  // a keyboard hook ate it
        // A key goes to the window that has the focus when it is taken, as the thread sees it:
        // a click read just before it may have moved the focus since the key was queued.
        if (key || m.message == WM_CHAR) {
            HWND focus = GetFocus();
            if (focus && focus != m.hwnd && (!filter || focus == filter || IsChild(filter, focus))) m.hwnd = focus;
        }
        *out = m;
        return true;
    }
    // Then painting, then timers.
    if (InRange(WM_PAINT, min, max) && filter != reinterpret_cast<HWND>(intptr_t(-1))) {
        HWND p = NextWindowToPaint(q.tid);
        if (p && (!filter || p == filter || IsChild(filter, p))) {
            *out = MSG{p, WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
            return true;
        }
    }
    if (TakeDueTimer(q, filter, min, max, remove, out)) return true;
    return false;
}

// Waits until something may have arrived for the calling thread.
void WaitForWork(Queue& q) {
    uint64_t due = NextTimerDue(q);
    Backend* b = q.main_thread ? BackendOrNull() : nullptr;
    if (b) {
        int timeout = 50;  // bounded: a wake that lands just before the wait is never lost
        if (due != clock::kForever && !clock::IsVirtual()) {
            uint64_t now = clock::NowMs();
            timeout = due <= now ? 0 : int(std::min<uint64_t>(due - now, 50));
        }
        {
            std::lock_guard<std::mutex> g(q.mu);
            if (q.wake || !q.incoming.empty()) return;
        }
        b->WaitAndDispatch(timeout);
        return;
    }
    std::unique_lock<std::mutex> lk(q.mu);
    if (q.wake || !q.incoming.empty()) return;
    clock::WaitUntil(q.cv, lk, due);
}

bool Retrieve(LPMSG out, HWND filter, UINT min, UINT max, UINT flags, bool wait) {
    auto q = CurrentQueue();
    if (min > max && !(min == 0 && max == 0)) std::swap(min, max);
    for (;;) {
        if (RetrieveOnce(*q, out, filter, min, max, flags)) {
            if (flags & PM_REMOVE) NoteMessageTaken();
            q->last_msg_time = out->time ? out->time : GetTickCount();
            if (out->time == 0) out->time = q->last_msg_time;
            {
                std::lock_guard<std::mutex> g(g_key_mu);
                if (out->pt.x == 0 && out->pt.y == 0) out->pt = g_cursor_pos;
            }
            q->last_msg_pos = PackPoint(out->pt);
            return true;
        }
        PresentDirty(q->tid);
        if (!wait) {
            // The display thread also takes pending input from the screen when polled.
            if (q->main_thread) {
                if (Backend* b = BackendOrNull()) {
                    if (b->WaitAndDispatch(0) && RetrieveOnce(*q, out, filter, min, max, flags)) return true;
                }
            }
            return false;
        }
        if (RunIdleHookBeforeWait()) continue;
        WaitForWork(*q);
    }
}

}  // namespace

namespace plat::user {

void UpdateKeyStateFromMessage(const MSG& m) {
    if (!IsKeyMessage(m.message)) return;
    std::lock_guard<std::mutex> g(g_key_mu);
    BYTE vk = BYTE(m.wParam);
    bool down = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    auto set = [&](BYTE k) {
        if (down) {
            if (!(g_key_state[k] & 0x80)) g_key_state[k] ^= 0x01;  // toggle on each press
            g_key_state[k] |= 0x80;
        } else {
            g_key_state[k] &= BYTE(~0x80);
        }
    };
    set(vk);
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) set(VK_SHIFT);
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) set(VK_CONTROL);
    if (vk == VK_LMENU || vk == VK_RMENU) set(VK_MENU);
}

bool RunKeyboardHooks(Queue&, const MSG& m, bool remove) {
    bool any = false;
    LRESULT r = CallHookChain(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, m.wParam, m.lParam, &any);
    return any && r != 0;
}

void SetAsyncKey(UINT vk, bool down) {
    std::lock_guard<std::mutex> g(g_key_mu);
    if (vk < 256) g_async_state[vk] = down ? 0x80 : 0;
}
void SetCursorPosInternal(POINT p) {
    std::lock_guard<std::mutex> g(g_key_mu);
    g_cursor_pos = p;
}
POINT CursorPosInternal() {
    std::lock_guard<std::mutex> g(g_key_mu);
    return g_cursor_pos;
}
void SetMouseButtonState(UINT vk, bool down) {
    std::lock_guard<std::mutex> g(g_key_mu);
    if (vk < 256) {
        g_async_state[vk] = down ? 0x80 : 0;
        if (down)
            g_key_state[vk] |= 0x80;
        else
            g_key_state[vk] &= BYTE(~0x80);
    }
}

void KillWindowTimers(HWND hwnd) {
    Guard g(GlobalLock());
    for (auto& [tid, q] : Queues()) {
        std::lock_guard<std::mutex> lk(q->mu);
        auto& t = q->timers;
        t.erase(std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd; }), t.end());
    }
}

size_t LiveTimerCount() {
    Guard g(GlobalLock());
    size_t n = 0;
    for (auto& [tid, q] : Queues()) {
        std::lock_guard<std::mutex> lk(q->mu);
        n += q->timers.size();
    }
    return n;
}

size_t LiveHookCount() { return HookTable().Count(); }

void PurgeWindowMessages(HWND hwnd, DWORD tid) {
    auto q = QueueOf(tid);
    if (!q) return;
    std::lock_guard<std::mutex> g(q->mu);
    auto pred = [&](const MSG& m) { return m.hwnd == hwnd; };
    q->posted.erase(std::remove_if(q->posted.begin(), q->posted.end(), pred), q->posted.end());
    q->input.erase(std::remove_if(q->input.begin(), q->input.end(), pred), q->input.end());
}

}  // namespace plat::user

extern "C" {

LRESULT WINAPI SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT flags, UINT timeout,
                                   PDWORD_PTR result) {
    if (result) *result = 0;
    DWORD tid;
    {
        LockedWindow w(hwnd);
        if (!w) return 0;
        tid = w->tid;
    }
    if (tid == kernel::CurrentTid()) {
        LRESULT r = DeliverSent(hwnd, msg, wp, lp, false);
        if (result) *result = DWORD_PTR(r);
        return 1;
    }
    auto target = QueueOf(tid);
    auto self = CurrentQueue();
    if (!target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto s = std::make_shared<SentMessage>();
    s->hwnd = hwnd;
    s->msg = msg;
    s->wp = wp;
    s->lp = lp;
    s->sender = self;
    {
        std::lock_guard<std::mutex> g(target->mu);
        if (!target->alive) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        target->incoming.push_back(s);
    }
    WakeQueue(*target);
    // Send timeouts are waits of the sender, on real time like every other wait.
    bool forever = timeout == INFINITE;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(forever ? 0 : timeout);
    (void)flags;
    // While waiting, the sender still answers what other threads send to it, so two threads
    // sending to each other never deadlock.
    for (;;) {
        ProcessIncoming(*self);
        std::unique_lock<std::mutex> lk(self->mu);
        if (s->done) break;
        if (!self->incoming.empty()) continue;
        if (!forever && std::chrono::steady_clock::now() >= deadline) {
            lk.unlock();
            // Withdraw the message if the receiver has not taken it yet.
            {
                std::lock_guard<std::mutex> g(target->mu);
                auto& in = target->incoming;
                in.erase(std::remove(in.begin(), in.end(), s), in.end());
            }
            {
                // A receiver already handling it finds the message answered and keeps its result.
                std::lock_guard<std::mutex> g(self->mu);
                s->done = true;
            }
            SetLastError(ERROR_TIMEOUT);
            return 0;
        }
        if (forever)
            self->cv.wait_for(lk, std::chrono::milliseconds(100));
        else
            self->cv.wait_until(lk, deadline);
    }
    if (s->failed) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (result) *result = DWORD_PTR(s->result);
    return 1;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, INFINITE, &r);
    return LRESULT(r);
}

BOOL WINAPI SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD tid;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        tid = w->tid;
    }
    if (tid == kernel::CurrentTid()) {
        DeliverSent(hwnd, msg, wp, lp, false);
        return TRUE;
    }
    auto target = QueueOf(tid);
    if (!target) return FALSE;
    auto s = std::make_shared<SentMessage>();
    s->hwnd = hwnd;
    s->msg = msg;
    s->wp = wp;
    s->lp = lp;
    s->notify_only = true;
    {
        std::lock_guard<std::mutex> g(target->mu);
        if (!target->alive) return FALSE;
        target->incoming.push_back(s);
    }
    WakeQueue(*target);
    return TRUE;
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> tops;
        {
            Guard g(GlobalLock());
            tops = TopLevels();
        }
        for (HWND t : tops) PostMessageA(t, msg, wp, lp);
        return TRUE;
    }
    if (!hwnd) return PostThreadMessageA(GetCurrentThreadId(), msg, wp, lp);
    DWORD tid;
    {
        LockedWindow w(hwnd);
        if (!w) return FALSE;
        tid = w->tid;
    }
    MSG m{hwnd, msg, wp, lp, GetTickCount(), CursorPosInternal()};
    if (!PostTo(tid, m, false)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI PostThreadMessageA(DWORD tid, UINT msg, WPARAM wp, LPARAM lp) {
    MSG m{nullptr, msg, wp, lp, GetTickCount(), CursorPosInternal()};
    if (!PostTo(tid, m, false)) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

void WINAPI PostQuitMessage(int code) {
    auto q = CurrentQueue();
    {
        std::lock_guard<std::mutex> g(q->mu);
        q->quit = true;
        q->quit_code = code;
    }
    WakeQueue(*q);
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hwnd && hwnd != reinterpret_cast<HWND>(intptr_t(-1)) && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    Retrieve(msg, hwnd, min, max, PM_REMOVE, true);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT remove) {
    if (!msg) return FALSE;
    return Retrieve(msg, hwnd, min, max, remove, false) ? TRUE : FALSE;
}

BOOL WINAPI WaitMessage(void) {
    auto q = CurrentQueue();
    ProcessIncoming(*q);
    {
        std::lock_guard<std::mutex> g(q->mu);
        if (!q->posted.empty() || !q->input.empty() || q->quit) return TRUE;
    }
    if (NextWindowToPaint(q->tid)) return TRUE;
    if (NextTimerDue(*q) <= clock::NowMs()) return TRUE;
    PresentDirty(q->tid);
    // The caller looks at its queue again after a test's idle step, before it waits.
    if (RunIdleHookBeforeWait()) return TRUE;
    WaitForWork(*q);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a callback that belongs to a live timer is called.
        auto q = CurrentQueue();
        bool live = false;
        {
            std::lock_guard<std::mutex> g(q->mu);
            for (auto& t : q->timers)
                if (t.hwnd == msg->hwnd && t.id == msg->wParam && reinterpret_cast<LPARAM>(t.proc) == msg->lParam)
                    live = true;
        }
        if (!live) return 0;
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    WNDPROC proc;
    {
        Guard g(GlobalLock());
        Window* w = W(msg->hwnd);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (w->tid != kernel::CurrentTid()) {
            SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
            return 0;
        }
        proc = w->proc;
    }
    bool paint = msg->message == WM_PAINT;
    if (paint) {
        Guard g(GlobalLock());
        if (Window* w = W(msg->hwnd)) w->paint_seen = false;
    }
    LRESULT r = proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
    if (paint) {
        // A procedure that ignored WM_PAINT must not be asked forever.
        Guard g(GlobalLock());
        Window* w = W(msg->hwnd);
        if (w && !w->paint_seen) {
            w->update.SetEmpty();
            w->erase_pending = false;
            w->internal_paint = false;
        }
    }
    return r;
}

BOOL WINAPI InSendMessage(void) { return CurrentQueue()->in_send != nullptr; }

DWORD WINAPI InSendMessageEx(LPVOID) {
    auto s = CurrentQueue()->in_send;
    if (!s) return ISMEX_NOSEND;
    DWORD r = s->notify_only ? ISMEX_NOTIFY : ISMEX_SEND;
    if (s->done) r |= ISMEX_REPLIED;
    return r;
}

BOOL WINAPI ReplyMessage(LRESULT result) {
    auto s = CurrentQueue()->in_send;
    if (!s || !s->sender) return FALSE;
    std::lock_guard<std::mutex> g(s->sender->mu);
    if (s->done) return FALSE;
    s->result = result;
    s->done = true;
    s->sender->cv.notify_all();
    return TRUE;
}

DWORD WINAPI GetMessageTime(void) { return CurrentQueue()->last_msg_time; }
DWORD WINAPI GetMessagePos(void) { return CurrentQueue()->last_msg_pos; }

DWORD WINAPI GetQueueStatus(UINT flags) {
    auto q = CurrentQueue();
    DWORD st = 0;
    {
        std::lock_guard<std::mutex> g(q->mu);
        if (!q->posted.empty()) st |= QS_POSTMESSAGE;
        if (!q->incoming.empty()) st |= QS_SENDMESSAGE;
        for (auto& m : q->input) {
            if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) st |= QS_KEY;
            else if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) st |= QS_MOUSEMOVE;
            else st |= QS_MOUSEBUTTON;
        }
    }
    if (NextTimerDue(*q) <= clock::NowMs()) st |= QS_TIMER;
    if (NextWindowToPaint(q->tid)) st |= QS_PAINT;
    return (st & flags) | ((st & flags) << 16);
}

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD ms, DWORD wake_mask, DWORD flags) {
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (count > 0) {
            DWORD r = WaitForMultipleObjects(count, handles, (flags & MWMO_WAITALL) != 0, 0);
            if (r != WAIT_TIMEOUT) return r;
        }
        if (GetQueueStatus(wake_mask) & 0xFFFF) return WAIT_OBJECT_0 + count;
        if (ms != INFINITE &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(ms))
            return WAIT_TIMEOUT;
        auto q = CurrentQueue();
        ProcessIncoming(*q);
        std::unique_lock<std::mutex> lk(q->mu);
        if (q->wake) {
            q->wake = false;
            continue;
        }
        q->cv.wait_for(lk, std::chrono::milliseconds(5));
    }
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD ms, DWORD mask) {
    return MsgWaitForMultipleObjectsEx(count, handles, ms, mask, wait_all ? MWMO_WAITALL : 0);
}

UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    static std::mutex mu;
    static std::map<std::string, UINT> table;
    std::string k = name;
    for (auto& c : k) c = char(tolower(static_cast<unsigned char>(c)));
    std::lock_guard<std::mutex> g(mu);
    auto it = table.find(k);
    if (it != table.end()) return it->second;
    UINT id = UINT(0xC000 + table.size());
    if (id > 0xFFFF) return 0;
    table[k] = id;
    return id;
}

HHOOK WINAPI SetWindowsHookExA(int id, HOOKPROC proc, HINSTANCE, DWORD tid) {
    if (!proc) {
        SetLastError(ERROR_INVALID_FILTER_PROC);
        return nullptr;
    }
    // The program hooks the window procedure and the keyboard; other kinds are not provided.
    if (id != WH_CALLWNDPROC && id != WH_KEYBOARD) {
        SetLastError(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (tid != 0 && tid != kernel::CurrentTid() && !QueueOf(tid)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (tid == kernel::CurrentTid()) CurrentQueue();
    auto h = std::make_shared<Hook>();
    h->type = id;
    h->proc = proc;
    h->tid = tid;
    Guard g(GlobalLock());
    h->handle = HookTable().Add<HHOOK>(h);
    Hooks().insert(Hooks().begin(), h);
    return h->handle;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hook) {
    Guard g(GlobalLock());
    auto h = HookTable().Remove(hook);
    if (!h) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    h->removed = true;
    auto& v = Hooks();
    v.erase(std::remove(v.begin(), v.end(), h), v.end());
    return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK hook, int code, WPARAM wp, LPARAM lp) {
    std::shared_ptr<Hook> next;
    {
        Guard g(GlobalLock());
        auto cur = HookTable().Get(hook);
        if (!cur) return 0;
        DWORD tid = kernel::CurrentTid();
        auto& v = Hooks();
        auto it = std::find(v.begin(), v.end(), cur);
        if (it == v.end()) return 0;
        for (++it; it != v.end(); ++it)
            if (!(*it)->removed && (*it)->type == cur->type && ((*it)->tid == tid || (*it)->tid == 0)) {
                next = *it;
                break;
            }
    }
    return next ? next->proc(code, wp, lp) : 0;
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc) {
    DWORD tid = kernel::CurrentTid();
    if (hwnd) {
        LockedWindow w(hwnd);
        if (!w) return 0;
        if (w->tid != tid) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
    }
    if (ms < 10) ms = 10;  // USER_TIMER_MINIMUM
    auto q = CurrentQueue();
    std::lock_guard<std::mutex> g(q->mu);
    uint64_t now = clock::NowMs();
    if (!hwnd) {
        // Thread timers get ids of their own unless an existing one is being reset.
        bool exists = false;
        for (auto& t : q->timers)
            if (!t.hwnd && t.id == id && id != 0) exists = true;
        if (!exists) {
            static UINT_PTR next_id = 0x7FFF;
            bool used;
            do {
                next_id++;
                used = false;
                for (auto& t : q->timers)
                    if (!t.hwnd && t.id == next_id) used = true;
            } while (used || next_id == 0);
            id = next_id;
        }
    }
    for (auto& t : q->timers)
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = ms;
            t.due = now + ms;
            t.proc = proc;
            return hwnd ? (id ? id : 1) : id;
        }
    q->timers.push_back(Timer{hwnd, id, ms, now + ms, proc, g_timer_seq++});
    return hwnd ? (id ? id : 1) : id;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    auto q = CurrentQueue();
    bool found = false;
    {
        std::lock_guard<std::mutex> g(q->mu);
        auto& t = q->timers;
        auto it = std::remove_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
        found = it != t.end();
        t.erase(it, t.end());
    }
    if (!found) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

SHORT WINAPI GetKeyState(int vk) {
    std::lock_guard<std::mutex> g(g_key_mu);
    if (vk < 0 || vk > 255) return 0;
    BYTE s = g_key_state[vk];
    return SHORT(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vk) {
    std::lock_guard<std::mutex> g(g_key_mu);
    if (vk < 0 || vk > 255) return 0;
    return (g_async_state[vk] & 0x80) ? SHORT(0x8000) : 0;
}

BOOL WINAPI GetKeyboardState(PBYTE state) {
    if (!state) return FALSE;
    std::lock_guard<std::mutex> g(g_key_mu);
    memcpy(state, g_key_state, 256);
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT pt) {
    if (!pt) return FALSE;
    *pt = CursorPosInternal();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    SetCursorPosInternal(POINT{x, y});
    return TRUE;
}

}  // extern "C"
