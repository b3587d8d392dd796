#include "Peloran.h"

#include <cstdio>

#include "PeloranAutomation.h"
#include "PeloranDlg.h"
#include "SkinEngine.h"
#include "Skinners.h"
#include "TipDlg.h"
#include "dshow.h"

BEGIN_MESSAGE_MAP(CPeloranApp, CWinApp)
ON_COMMAND(ID_SHOW_TIP_OF_THE_DAY, ShowTipOfTheDay)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CPeloranApp::CPeloranApp() : CWinApp(nullptr) {}

// The one application object.
CPeloranApp theApp;

BOOL CPeloranApp::InitInstance() {
    ::CoInitialize(nullptr);

    // The skin lies beside the program. Without it (or with a damaged one) the windows keep
    // the system's look; the engine keeps the reason as its last error.
    std::string skin = PeloranFileBesideProgram("z-arud.qvk");
    InstallSkinners();
    InitSkinLibrary(m_hInstance);
    if (!LoadSkinFile(skin.c_str()))
        std::fprintf(stderr, "peloran: skin %s not loaded (error %d)\n", skin.c_str(), GetSkinLastError());
    SetDialogSkin("Dialog");

    AfxEnableControlContainer();
    Enable3dControlsStatic();

    {
        CPeloranDlg dlg;
        m_pMainWnd = &dlg;
        // Test runs may drive the program from outside input (see PeloranAutomation.h).
        PeloranAutomation automation;
        automation.StartFromEnvironment();
        dlg.DoModal();
        automation.Join();
        m_pMainWnd = nullptr;
    }
    // The dialog is gone: the program ends.
    return FALSE;
}

int CPeloranApp::ExitInstance() {
    ExitSkinLibrary();
    ::CoUninitialize();
    return CWinApp::ExitInstance();
}

void CPeloranApp::ShowTipOfTheDay() {
    CTipDlg dlg(m_pMainWnd);
    dlg.DoModal();
}

void CPeloranApp::ShowTipAtStartup() {
    CCommandLineInfo info;
    ParseCommandLine(info);
    if (!info.m_bShowSplash) return;
    CTipDlg dlg(m_pMainWnd);
    if (dlg.m_bShowAtStartup) dlg.DoModal();
}
