// This project's platform layer: the help viewer. Help is HTML pages in the "help" folder
// beside the program, opened with the desktop's opener.
#pragma once

#include "windef.h"

#define HH_DISPLAY_TOPIC 0x0000
#define HH_HELP_FINDER 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
#define HH_HELP_CONTEXT 0x000F
#define HH_CLOSE_ALL 0x0012

// "<folder>/name.chm::/topic.htm" opens "<folder>/help/topic.htm"; "<folder>/name.chm" alone
// opens "<folder>/help/index.htm". NULL when the page is missing or cannot be opened.
WINBASEAPI HWND WINAPI HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
#define HtmlHelp HtmlHelpA
