// The application object, framework threads and message boxes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "afx_api.h"
#include "afx_state.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resource = nullptr;
}  // namespace

CWinThread* AfxGetThread() {
    CWinThread* t = afx::State().thread;
    if (!t && g_app && g_app->m_nThreadID == ::GetCurrentThreadId()) t = g_app;
    return t;
}
void AfxSetThread(CWinThread* t) { afx::State().thread = t; }

void AfxForgetWindow(CWnd* w) {
    // The main window is often an object on InitInstance's stack: once it is destroyed, nothing
    // may reach it through the application.
    for (CWinThread* t : {static_cast<CWinThread*>(g_app), afx::State().thread}) {
        if (!t) continue;
        if (t->m_pMainWnd == w) t->m_pMainWnd = nullptr;
        if (t->m_pActiveWnd == w) t->m_pActiveWnd = nullptr;
    }
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() {
    CWinThread* t = AfxGetThread();
    if (t && t->m_pMainWnd) return t->m_pMainWnd;
    return g_app ? g_app->m_pMainWnd : nullptr;
}
HINSTANCE AfxGetInstanceHandle() {
    if (g_app && g_app->m_hInstance) return g_app->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}
HINSTANCE AfxGetResourceHandle() { return g_resource ? g_resource : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE h) { g_resource = h; }
LPCSTR AfxGetAppName() { return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : ""; }
void AfxEnableControlContainer() {}  // no embedded controls on this platform
BOOL AfxInitRichEdit() { return FALSE; }

int AfxMessageBox(LPCSTR text, UINT type, UINT help) {
    if (g_app) return g_app->DoMessageBox(text, type, help);
    return ::MessageBoxA(::GetActiveWindow(), text, "", type);
}

int AfxMessageBox(UINT id, UINT type, UINT help) {
    CString s;
    if (!s.LoadString(id)) return 0;
    return AfxMessageBox(s, type, help == UINT(-1) ? id : help);
}

// ---- CWinThread ----------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() = default;
CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID param) : m_pfnThreadProc(proc), m_pThreadParams(param) {}
CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
    if (afx::State().thread == this) afx::State().thread = nullptr;
}

namespace {
DWORD WINAPI ThreadEntry(LPVOID p) {
    auto* t = static_cast<CWinThread*>(p);
    AfxSetThread(t);
    UINT code;
    if (t->m_pfnThreadProc) {
        code = t->m_pfnThreadProc(t->m_pThreadParams);
    } else {
        code = t->InitInstance() ? UINT(t->Run()) : UINT(t->ExitInstance());
    }
    AfxSetThread(nullptr);
    if (t->m_bAutoDelete) t->Delete();
    return code;
}
}  // namespace

BOOL CWinThread::CreateThread(DWORD flags, UINT stack, LPSECURITY_ATTRIBUTES sa) {
    // Start suspended so the creator can finish setting the object up.
    m_hThread = ::CreateThread(sa, stack, &ThreadEntry, this, flags | CREATE_SUSPENDED, &m_nThreadID);
    if (!m_hThread) return FALSE;
    if (!(flags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
    return TRUE;
}

int CWinThread::GetThreadPriority() { return m_hThread ? ::GetThreadPriority(m_hThread) : THREAD_PRIORITY_ERROR_RETURN; }
BOOL CWinThread::SetThreadPriority(int p) {
    m_nThreadPriority = p;
    return m_hThread ? ::SetThreadPriority(m_hThread, p) : FALSE;
}
// Threads cannot be suspended from outside on this platform.
DWORD CWinThread::SuspendThread() { return DWORD(-1); }
DWORD CWinThread::ResumeThread() { return m_hThread ? ::ResumeThread(m_hThread) : DWORD(-1); }
BOOL CWinThread::PostThreadMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return ::PostThreadMessageA(m_nThreadID, msg, wp, lp);
}
CWnd* CWinThread::GetMainWnd() { return m_pActiveWnd ? m_pActiveWnd : m_pMainWnd; }
BOOL CWinThread::InitInstance() { return FALSE; }
int CWinThread::ExitInstance() { return int(m_msgCur.wParam); }
void CWinThread::Delete() {
    if (m_bAutoDelete) delete this;
}
BOOL CWinThread::OnIdle(LONG) {
    AfxOnIdleCleanup();
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
    if (!msg->hwnd) return FALSE;  // thread messages go to the loop's caller
    return CWnd::WalkPreTranslateTree(nullptr, msg);
}

BOOL CWinThread::PumpMessage() {
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

int CWinThread::Run() {
    MSG peek;
    for (;;) {
        LONG idle = 0;
        while (!::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idle++)) {
        }
        if (!::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) ::WaitMessage();
        if (!PumpMessage()) return ExitInstance();
    }
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stack, DWORD flags,
                           LPSECURITY_ATTRIBUTES sa) {
    auto* t = new CWinThread(proc, param);
    if (!t->CreateThread(flags | CREATE_SUSPENDED, stack, sa)) {
        delete t;
        return nullptr;
    }
    t->SetThreadPriority(priority);
    if (!(flags & CREATE_SUSPENDED)) t->ResumeThread();
    return t;
}

void AfxEndThread(UINT code, BOOL del) {
    CWinThread* t = afx::State().thread;
    AfxSetThread(nullptr);
    if (t && del && t->m_bAutoDelete) t->Delete();
    ::ExitThread(code);
}

// ---- CWinApp -------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {
std::string ExePath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    buf[n] = 0;
    return buf;
}
}  // namespace

CWinApp::CWinApp(LPCSTR app_name) {
    // The one application object: constructed before main, found through AfxGetApp.
    if (!g_app) g_app = this;
    std::string exe = ExePath();
    size_t slash = exe.find_last_of('/');
    std::string base = slash == std::string::npos ? exe : exe.substr(slash + 1);
    m_exeName = base.c_str();
    m_pszExeName = m_exeName;
    m_appName = app_name ? app_name : base.c_str();
    m_pszAppName = m_appName;
    m_nThreadID = 0;
    m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return int(m_msgCur.wParam); }

int CWinApp::Run() {
    if (!m_pMainWnd) ::PostQuitMessage(0);  // nothing to run a loop for
    return CWinThread::Run();
}

int CWinApp::DoMessageBox(LPCSTR text, UINT type, UINT) {
    HWND owner = ::GetActiveWindow();
    if (!owner && m_pMainWnd) owner = m_pMainWnd->m_hWnd;
    if ((type & MB_ICONMASK) == 0) {
        // A box without an icon gets the framework's default one for its buttons.
        UINT kind = type & MB_TYPEMASK;
        if (kind == MB_OK || kind == MB_OKCANCEL) type |= MB_ICONEXCLAMATION;
        else if (kind == MB_YESNO || kind == MB_YESNOCANCEL) type |= MB_ICONQUESTION;
    }
    return ::MessageBoxA(owner, text, m_pszAppName, type);
}

void CCommandLineInfo::ParseParam(LPCSTR param, BOOL flag, BOOL) {
    if (flag) {
        if (!strcasecmp(param, "nologo")) m_bShowSplash = FALSE;
        else if (!strcasecmp(param, "embedding")) m_bRunEmbedded = TRUE;
        else if (!strcasecmp(param, "automation")) m_bRunAutomated = TRUE;
    } else if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}

namespace {
int g_argc = 0;
char** g_argv = nullptr;
}  // namespace

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    for (int i = 1; i < g_argc; ++i) {
        const char* a = g_argv[i];
        bool flag = a[0] == '-' || a[0] == '/';
        info.ParseParam(flag ? a + 1 : a, flag, i == g_argc - 1);
    }
}

// The profile lives in an INI file under the user's configuration folder.
void CWinApp::SetRegistryKey(LPCSTR key) {
    m_regKey = key;
    m_pszRegistryKey = m_regKey;
}

namespace {
CString ProfilePath(CWinApp* app) {
    if (app->m_pszProfileName && std::strchr(app->m_pszProfileName, '/')) return app->m_pszProfileName;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    CString dir = xdg && *xdg ? CString(xdg) : CString(home ? home : ".") + "/.config";
    dir += "/";
    dir += app->m_pszAppName;
    // Create every missing level of the folder.
    for (int i = 1; i <= dir.GetLength(); ++i)
        if (i == dir.GetLength() || dir[i] == '/') ::mkdir(dir.Left(i), 0777);
    CString name = app->m_pszProfileName ? CString(app->m_pszProfileName) : CString(app->m_pszAppName) + ".ini";
    return dir + "/" + name;
}
}  // namespace

UINT CWinApp::GetProfileInt(LPCSTR section, LPCSTR entry, int def) {
    return ::GetPrivateProfileIntA(section, entry, def, ProfilePath(this));
}
BOOL CWinApp::WriteProfileInt(LPCSTR section, LPCSTR entry, int value) {
    CString s;
    s.Format("%d", value);
    return ::WritePrivateProfileStringA(section, entry, s, ProfilePath(this));
}
CString CWinApp::GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR def) {
    char buf[4096];
    ::GetPrivateProfileStringA(section, entry, def ? def : "", buf, sizeof buf, ProfilePath(this));
    return buf;
}
BOOL CWinApp::WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value) {
    return ::WritePrivateProfileStringA(section, entry, value, ProfilePath(this));
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }
HICON CWinApp::LoadIcon(LPCSTR name) const { return ::LoadIconA(AfxGetResourceHandle(), name); }
HICON CWinApp::LoadStandardIcon(LPCSTR name) const { return ::LoadIconA(nullptr, name); }
HCURSOR CWinApp::LoadCursor(UINT id) const { return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }
HCURSOR CWinApp::LoadStandardCursor(LPCSTR name) const { return ::LoadCursorA(nullptr, name); }

void CWinApp::OnHelp() { WinHelp(0, 0x000B /* HELP_FINDER */); }
void CWinApp::WinHelp(DWORD_PTR, UINT) {}  // help is opened by the program's own help command

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE, LPSTR cmd_line, int show) {
    CWinApp* app = AfxGetApp();
    if (!app) return FALSE;
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmd_line;
    app->m_nCmdShow = show;
    app->m_nThreadID = ::GetCurrentThreadId();
    AfxSetThread(app);
    return TRUE;
}

int AfxWinMain(int argc, char** argv) {
    g_argc = argc;
    g_argv = argv;
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "no application object\n");
        return -1;
    }
    static std::string cmd;
    for (int i = 1; i < argc; ++i) cmd += std::string(i > 1 ? " " : "") + argv[i];
    if (!AfxWinInit(::GetModuleHandleA(nullptr), nullptr, &cmd[0], SW_SHOWNORMAL)) return -1;
    int code;
    if (!app->InitApplication() || !app->InitInstance()) {
        // A FALSE start-up ends the program after the application's own shut-down.
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        code = app->ExitInstance();
    } else {
        code = app->Run();
    }
    AfxOnIdleCleanup();
    return code;
}
