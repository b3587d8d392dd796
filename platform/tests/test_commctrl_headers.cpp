// The common controls' headers: the message numbers the skinners send by number, notice codes
// that are negative offsets, and the 64-bit layouts of the records the controls fill in.
#include <gtest/gtest.h>

#include <cstddef>

#include "commctrl.h"
#include "richedit.h"
#include "windows.h"

namespace {

// Messages the skinners and their tests name by number.
static_assert(TB_HITTEST == 0x0445 && TB_GETHOTITEM == 0x0447 && TB_GETBUTTON == 0x0417);
static_assert(TB_GETRECT == 0x0433 && TB_GETBUTTONTEXT == 0x042D && TB_BUTTONCOUNT == 0x0418);
static_assert(TCM_GETITEMCOUNT == 0x1304 && TCM_GETITEMRECT == 0x130A && TCM_GETCURSEL == 0x130B);
static_assert(TCM_ADJUSTRECT == 0x1328);
static_assert(RB_GETBANDCOUNT == 0x040C && RB_GETRECT == 0x0409 && RB_GETBANDINFO == 0x041D);
static_assert(SB_GETTEXT == 0x0402 && SB_GETTEXTLENGTH == 0x0403 && SB_GETPARTS == 0x0406 && SB_GETRECT == 0x040A);
static_assert(UDM_SETRANGE32 == 0x046F && UDM_GETPOS32 == 0x0472);
static_assert(DTM_GETSYSTEMTIME == 0x1001 && DTM_SETSYSTEMTIME == 0x1002 && DTM_GETMONTHCAL == 0x1008);
static_assert(MCM_GETCURSEL == 0x1001 && MCM_GETMINREQRECT == 0x1009 && MCM_SETCOLOR == 0x100A && MCM_HITTEST == 0x100E);
static_assert(ACM_OPEN == 0x0464 && ACM_PLAY == 0x0465 && ACM_STOP == 0x0466);
static_assert(EM_SETBKGNDCOLOR == 0x0443);
static_assert(TVM_SETBKCOLOR == 0x111D && TVM_SETTEXTCOLOR == 0x111E && TVM_SETLINECOLOR == 0x1128);
// The tree-view messages that can move the scroll state, by the numbers the skinner lists.
static_assert(TVM_INSERTITEMA == 0x1100 && TVM_DELETEITEM == 0x1101 && TVM_EXPAND == 0x1102);
static_assert(TVM_SETINDENT == 0x1107 && TVM_SETIMAGELIST == 0x1109 && TVM_SELECTITEM == 0x110B);
static_assert(TVM_SETITEMA == 0x110D && TVM_SORTCHILDREN == 0x1113 && TVM_ENSUREVISIBLE == 0x1114);
static_assert(TVM_SETINSERTMARK == 0x111A && TVM_SETITEMHEIGHT == 0x111B);
static_assert(MCHT_CALENDARDATE == 0x20001 && MCHT_TITLEBTNPREV == 0x02010003);

// Layouts on a 64-bit system.
static_assert(sizeof(NMHDR) == 24);
static_assert(sizeof(TBBUTTON) == 32 && offsetof(TBBUTTON, dwData) == 16);
static_assert(sizeof(TCITEMA) == 40 && offsetof(TCITEMA, pszText) == 16 && offsetof(TCITEMA, lParam) == 32);
static_assert(sizeof(REBARBANDINFOA) == 112 && offsetof(REBARBANDINFOA, hwndChild) == 40 &&
              offsetof(REBARBANDINFOA, lParam) == 96);
static_assert(sizeof(TVITEMA) == 56 && offsetof(TVITEMA, lParam) == 48);
static_assert(sizeof(TVINSERTSTRUCTA) == 80 && offsetof(TVINSERTSTRUCTA, item) == 16);
static_assert(sizeof(MCHITTESTINFO) == 32 && offsetof(MCHITTESTINFO, st) == 16);
static_assert(sizeof(NMTCKEYDOWN) == 30 && sizeof(NMTVKEYDOWN) == 30);
static_assert(sizeof(NMDATETIMECHANGE) == 48 && offsetof(NMDATETIMECHANGE, st) == 28);
static_assert(sizeof(NMUPDOWN) == 32 && sizeof(NMIPADDRESS) == 32);
static_assert(sizeof(LITEM) == 4280);
static_assert(sizeof(CHARFORMATA) == 60 && sizeof(ENLINK) == 52 && offsetof(ENLINK, wParam) == 28);

TEST(CommctrlHeaders, NoticeCodesAreTheNegativeCodesAParentSeesInTheHeader) {
    // A parent compares the header's code with the notice; the ranges must not overlap.
    NMHDR h{};
    h.code = TCN_SELCHANGE;
    EXPECT_EQ(int(h.code), -551);
    EXPECT_EQ(int(UINT(UDN_DELTAPOS)), -722);
    EXPECT_EQ(int(UINT(TBN_DROPDOWN)), -710);
    EXPECT_EQ(int(UINT(RBN_HEIGHTCHANGE)), -831);
    EXPECT_EQ(int(UINT(TVN_SELCHANGEDA)), -402);
    EXPECT_EQ(int(UINT(MCN_SELCHANGE)), -749);
    EXPECT_EQ(int(UINT(MCN_SELECT)), -746);
    EXPECT_EQ(int(UINT(DTN_DATETIMECHANGE)), -759);
    EXPECT_EQ(int(UINT(DTN_DROPDOWN)), -754);
    EXPECT_EQ(int(UINT(DTN_CLOSEUP)), -753);
    EXPECT_EQ(int(UINT(IPN_FIELDCHANGED)), -860);
    EXPECT_EQ(int(UINT(SBN_SIMPLEMODECHANGE)), -880);
}

TEST(CommctrlHeaders, AddressMacrosPackTheFourFieldsHighestFirst) {
    LPARAM a = MAKEIPADDRESS(192, 168, 1, 254);
    EXPECT_EQ(DWORD(a), 0xC0A801FEu);
    EXPECT_EQ(FIRST_IPADDRESS(a), 192);
    EXPECT_EQ(SECOND_IPADDRESS(a), 168);
    EXPECT_EQ(THIRD_IPADDRESS(a), 1);
    EXPECT_EQ(FOURTH_IPADDRESS(a), 254);
    EXPECT_EQ(MAKEIPRANGE(10, 200), LPARAM(0xC80A));
}

}  // namespace
