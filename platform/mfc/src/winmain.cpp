// The program's entry for framework applications (linked from the winmfc_main library).
#include "afxwin.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
