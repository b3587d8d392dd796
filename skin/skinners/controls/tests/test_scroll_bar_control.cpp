// Scroll-bar controls under the flat-colour skin: arrows, track and thumb from the skin's records
// by state (hot, pressed, disabled, a size grip), the state messages answered from the skinner's
// copy with the control kept in step, and the mouse giving the parent the codes the unskinned
// control gives, with repeats and thumb drags on the hand-driven clock.
#include "scroll_test_support.h"

#include "ScrollBarCtlSkin.h"

using namespace sbtest;

namespace {

// A parent that scrolls its bars as the codes ask, as a program does.
class CScrollingParent {
public:
    explicit CScrollingParent(HWND hwnd)
    {
        m_old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
        SetPropA(hwnd, "ScrollingParentOld", reinterpret_cast<HANDLE>(m_old));
    }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        auto old = reinterpret_cast<WNDPROC>(GetPropA(h, "ScrollingParentOld"));
        if (m == WM_NCDESTROY)
            RemovePropA(h, "ScrollingParentOld");
        if ((m == WM_HSCROLL || m == WM_VSCROLL) && l)
            Follow(reinterpret_cast<HWND>(l), LOWORD(w), short(HIWORD(w)));
        return CallWindowProcA(old, h, m, w, l);
    }
    static void Follow(HWND bar, int code, int thumb)
    {
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(bar, SB_CTL, &si);
        int pos = si.nPos;
        switch (code) {
        case SB_LINEUP: --pos; break;
        case SB_LINEDOWN: ++pos; break;
        case SB_PAGEUP: pos -= int(si.nPage); break;
        case SB_PAGEDOWN: pos += int(si.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = thumb; break;
        default: return;
        }
        SetScrollPos(bar, SB_CTL, pos, TRUE);
    }
    WNDPROC m_old;
};

// A horizontal bar of 200 x 16: 16-pixel arrows and a 10-pixel shortest thumb. With range
// 0..99, page 10 and position 0 the thumb is 16 long at the track's start.
constexpr RECT kHorz{20, 20, 220, 36};
constexpr RECT kVert{240, 20, 256, 220};
constexpr int kArrow1 = 8, kThumb = 24, kTrack = 140, kArrow2 = 192;

std::vector<std::unique_ptr<CSkinObject>> BarObjects()
{
    std::vector<std::unique_ptr<CSkinObject>> objects;
    objects.push_back(MakeFrameObject());
    auto bar = sbtest::ScrollBarObject();
    for (auto* set : {&bar->m_horizontal[0], &bar->m_vertical[0]})
        set->thumb.Set("", 0, 0, 10, 10, 3, 3, 3, 3, 2);
    objects.push_back(std::move(bar));
    return objects;
}

class ScrollBarControlTest : public CSkinnerTest {
protected:
    void TearDown() override
    {
        WinTestMouseButton(nullptr, WINTEST_LEFT, FALSE, 0, 0);
        WinTestPumpUntilIdle();
        counters.clear();
        skinned.reset();
        plain.reset();
        CSkinnerTest::TearDown();
    }
    // A bar on the skinned host (or on an unskinned one beside it), its parent counting the
    // codes and, with `follow`, scrolling as they ask.
    HWND Make(DWORD style, RECT place, bool skin = true, bool follow = true, std::vector<std::string> leaveEmpty = {})
    {
        auto& host = skin ? skinned : plain;
        host = std::make_unique<CHost>("SkinKitWindow", skin ? RECT{40, 40, 400, 300} : RECT{420, 40, 780, 300});
        HWND bar = host->Add("ScrollBar", "", style, place, 5);
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 99, 10, 0, 0};
        SetScrollInfo(bar, SB_CTL, &si, TRUE);
        counters.push_back(std::make_unique<CMessageCounter>(*host, (style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL));
        if (follow)
            parents.push_back(std::make_unique<CScrollingParent>(*host));
        if (skin) {
            ApplySkin(BarObjects(), std::move(leaveEmpty));
            WinTestPumpUntilIdle();
            baseline = WinTestLiveCounts::Now();
            EXPECT_TRUE(host->Skin());
            EXPECT_TRUE(SkinOf<CSkinScrollBar>(bar) && SkinOf<CSkinScrollBar>(bar)->IsActive());
        } else {
            WinTestActivate(*host);
        }
        WinTestPumpUntilIdle();
        return bar;
    }
    std::string At(HWND bar, int along, int across = 8) const
    {
        const bool vertical = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
        return PainterAt(bar, vertical ? POINT{across, along} : POINT{along, across});
    }
    static void Press(HWND bar, POINT p)
    {
        WinTestAdvanceClock(1000);  // no double click with an earlier press
        WinTestPumpUntilIdle();
        WinTestMouseMove(bar, p.x, p.y);
        WinTestPumpUntilIdle();
        WinTestMouseButton(bar, WINTEST_LEFT, TRUE, p.x, p.y);
        WinTestPumpUntilIdle();
    }
    static void Move(HWND bar, POINT p)
    {
        WinTestMouseMove(bar, p.x, p.y);
        WinTestPumpUntilIdle();
    }
    static void Release(HWND bar, POINT p)
    {
        WinTestMouseButton(bar, WINTEST_LEFT, FALSE, p.x, p.y);
        WinTestPumpUntilIdle();
    }
    static SCROLLINFO Info(HWND bar)
    {
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(bar, SB_CTL, &si);
        return si;
    }
    CMessageCounter& Counter(size_t i = 0) { return *counters[i]; }

    std::unique_ptr<CHost> skinned, plain;
    std::vector<std::unique_ptr<CMessageCounter>> counters;
    std::vector<std::unique_ptr<CScrollingParent>> parents;
    WinTestLiveCounts baseline;  // before the host was skinned
};

TEST_F(ScrollBarControlTest, PartsArePaintedFromTheSkinByStateInBothOrientations)
{
    for (DWORD style : {DWORD(SBS_HORZ), DWORD(SBS_VERT)}) {
        const std::string set = style == SBS_VERT ? "ScrollBar.vertical" : "ScrollBar.horizontal";
        SCOPED_TRACE(set);
        HWND bar = Make(style, style == SBS_VERT ? kVert : kHorz, true, false);
        const CSkinScrollBar* skin = SkinOf<CSkinScrollBar>(bar);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->GetArrowLength(style == SBS_VERT), 16);
        EXPECT_EQ(skin->GetMinThumb(style == SBS_VERT), 10);
        EXPECT_EQ(At(bar, kArrow1), set + "[0].arrow1");
        EXPECT_EQ(At(bar, kThumb), set + "[0].thumb cell 4");
        EXPECT_EQ(At(bar, kTrack), set + "[0].track cell 4");
        EXPECT_EQ(At(bar, kArrow2), set + "[0].arrow2");

        // The part under the mouse is hot; held, it is pressed; off the control it is normal.
        const auto point = [&](int along) { return style == SBS_VERT ? POINT{8, along} : POINT{along, 8}; };
        Move(bar, point(kArrow2));
        EXPECT_EQ(At(bar, kArrow2), set + "[2].arrow2");
        EXPECT_EQ(At(bar, kArrow1), set + "[0].arrow1");
        Press(bar, point(kThumb));
        EXPECT_EQ(At(bar, kThumb), set + "[1].thumb cell 4");
        Release(bar, point(kThumb));
        Move(bar, POINT{-30, -30});
        EXPECT_EQ(At(bar, kThumb), set + "[0].thumb cell 4");

        // A disabled control takes the disabled record, and no input.
        EnableWindow(bar, FALSE);
        WinTestPumpUntilIdle();
        const std::string disabled = style == SBS_VERT ? "ScrollBar.verticalLast" : "ScrollBar.horizontal[3]";
        EXPECT_EQ(At(bar, kArrow1), disabled + ".arrow1");
        EXPECT_EQ(At(bar, kTrack), disabled + ".track cell 4");
        Press(bar, point(kArrow1));
        Release(bar, point(kArrow1));
        EXPECT_EQ(Codes(Counter()), std::vector<int>({SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
        counters.clear();
    }
}

TEST_F(ScrollBarControlTest, SparseSkinsAndSizeGripsAndTheShortestThumb)
{
    // Records left empty fall back to the normal state's.
    HWND bar = Make(SBS_HORZ, kHorz, true, false, {"ScrollBar.horizontal[1]", "ScrollBar.horizontal[3]"});
    Press(bar, POINT{kArrow1, 8});
    EXPECT_EQ(At(bar, kArrow1), "ScrollBar.horizontal[0].arrow1");
    Release(bar, POINT{kArrow1, 8});
    EnableWindow(bar, FALSE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(bar, kArrow2), "ScrollBar.horizontal[0].arrow2");

    // Without a page the thumb has the shortest length the skin gives.
    EnableWindow(bar, TRUE);
    SCROLLINFO page{sizeof page, SIF_PAGE, 0, 0, 0, 0, 0};
    SetScrollInfo(bar, SB_CTL, &page, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(bar, 25), "ScrollBar.horizontal[0].thumb cell 5");
    EXPECT_EQ(At(bar, 26), "ScrollBar.horizontal[0].track cell 3");

    // A size grip shows the grip picture and sends nothing.
    CHost other("SkinKitWindow", RECT{420, 40, 780, 300});
    HWND grip = other.Add("ScrollBar", "", SBS_SIZEGRIP, RECT{300, 200, 316, 216}, 6);
    CMessageCounter codes(other, WM_HSCROLL);
    ASSERT_TRUE(other.Skin());
    ASSERT_NE(SkinOf<CSkinScrollBar>(grip), nullptr);
    EXPECT_EQ(PainterAt(grip, POINT{8, 8}), "ScrollBar.sizeGrip");
    Press(grip, POINT{8, 8});
    Release(grip, POINT{8, 8});
    EXPECT_EQ(codes.Count(), 0);
}

TEST_F(ScrollBarControlTest, TheStateMessagesKeepRangePageAndPositionConsistentAndTheControlInStep)
{
    HWND bar = Make(SBS_HORZ, kHorz, true, false);
    // A range made shorter in the same call as the position: the position stays within it.
    SCROLLINFO in{sizeof in, SIF_RANGE | SIF_POS, 0, 49, 0, 80, 0};
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &in, TRUE), 40);
    // A record of the wrong size changes nothing.
    SCROLLINFO wrong = in;
    wrong.cbSize = 20;
    wrong.nPos = 3;
    EXPECT_EQ(SendMessageA(bar, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&wrong)), 40);
    EXPECT_EQ(Info(bar).nPos, 40);
    SCROLLINFO none{sizeof none, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(SendMessageA(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&none)));

    // The thumb goes where the position says: at the track's end for the last position.
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 0, TRUE), 40);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(bar, kThumb), "ScrollBar.horizontal[0].thumb cell 4");
    SetScrollRange(bar, SB_CTL, 100, 199, TRUE);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 100);
    SetScrollPos(bar, SB_CTL, 500, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 190);
    EXPECT_EQ(At(bar, 184 - 8), "ScrollBar.horizontal[0].thumb cell 4");
    EXPECT_EQ(At(bar, kThumb), "ScrollBar.horizontal[0].track cell 4");

    // Nothing to scroll with SIF_DISABLENOSCROLL: disabled, and enabled again once there is.
    SCROLLINFO little{sizeof little, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 5, 10, 0, 0};
    SetScrollInfo(bar, SB_CTL, &little, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(bar, kArrow1), "ScrollBar.horizontal[3].arrow1");
    SCROLLINFO more{sizeof more, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 99, 10, 0, 0};
    SetScrollInfo(bar, SB_CTL, &more, TRUE);
    WinTestPumpUntilIdle();
    EXPECT_EQ(At(bar, kArrow1), "ScrollBar.horizontal[0].arrow1");

    // The control itself holds the same state when the skin goes, even in the middle of a
    // drag, which ends without a word; nothing the skin made is left.
    SetScrollPos(bar, SB_CTL, 33, TRUE);
    const SCROLLINFO kept = Info(bar);
    Press(bar, POINT{100, 8});
    const int sent = Counter().Count();
    ASSERT_TRUE(skinned->Unskin());
    EXPECT_NE(GetCapture(), bar);
    Advance(200);
    Release(bar, POINT{100, 8});
    EXPECT_EQ(Counter().Count(), sent);
    const WinTestLiveCounts end = WinTestLiveCounts::Now();
    EXPECT_EQ(end, baseline) << end.ChangesFrom(baseline);
    EXPECT_EQ(SkinOf<CSkinScrollBar>(bar), nullptr);
    const SCROLLINFO own = Info(bar);
    EXPECT_EQ(std::vector<int>({own.nMin, own.nMax, int(own.nPage), own.nPos}),
              std::vector<int>({kept.nMin, kept.nMax, int(kept.nPage), 33}));
}

TEST_F(ScrollBarControlTest, ClicksAndDragsGiveTheParentWhatTheUnskinnedControlGives)
{
    HWND bar = Make(SBS_HORZ, kHorz);
    HWND own = Make(SBS_HORZ, kHorz, false);
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    SendMessageA(own, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&sbi));
    const int ownThumb = (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
    struct Gesture {
        int from, to;
    };
    for (Gesture g : {Gesture{kArrow2, kArrow2}, Gesture{kArrow1, kArrow1}, Gesture{kTrack, kTrack},
                      Gesture{kThumb, kThumb}, Gesture{kThumb, 150}}) {
        for (HWND h : {bar, own}) {
            SetScrollPos(h, SB_CTL, 0, TRUE);
            const int from = h == own && g.from == kThumb ? ownThumb : g.from;
            Press(h, POINT{from, 8});
            for (int x = from; x < g.to; x += 5)
                Move(h, POINT{x, 8});
            Move(h, POINT{g.to, 8});
            Release(h, POINT{g.to, 8});
        }
        // A thumb pressed and let go: the skinned bar also tells the position at the press.
        if (g.from == kThumb && g.to == kThumb)
            EXPECT_EQ(Codes(Counter(0)), std::vector<int>({SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
        else
            EXPECT_EQ(CodeRuns(Counter(0)), CodeRuns(Counter(1))) << g.from << " to " << g.to;
        for (auto& c : counters)
            c->calls.clear();
    }

    // Dragged past the end: the last position the page leaves, counted from the minimum.
    SetScrollRange(bar, SB_CTL, 10, 109, TRUE);
    SetScrollPos(bar, SB_CTL, 10, TRUE);
    Press(bar, POINT{kThumb, 8});
    Move(bar, POINT{120, 8});
    Move(bar, POINT{400, 8});
    EXPECT_EQ(Info(bar).nTrackPos, 100);
    Release(bar, POINT{400, 8});
    EXPECT_EQ(LastPosOf(Counter(), SB_THUMBPOSITION), 100);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 100);
    EXPECT_EQ(At(bar, 184 - 8), "ScrollBar.horizontal[0].thumb cell 4");
}

TEST_F(ScrollBarControlTest, AHeldArrowRepeatsEveryFiftyMillisecondsWhileTheMouseIsOnIt)
{
    HWND bar = Make(SBS_HORZ, kHorz);
    Press(bar, POINT{kArrow2, 8});
    EXPECT_EQ(Counter().Count(), 1);
    Advance(49, 1);
    EXPECT_EQ(Counter().Count(), 1);
    Advance(1, 1);
    EXPECT_EQ(Counter().Count(), 2);
    Advance(150, 1);
    EXPECT_EQ(Counter().Count(), 5);
    // Off the arrow the repeats pause and it is drawn normal; back on it they go on.
    Move(bar, POINT{kTrack, 8});
    EXPECT_EQ(At(bar, kArrow2), "ScrollBar.horizontal[0].arrow2");
    Advance(100, 1);
    EXPECT_EQ(Counter().Count(), 5);
    Move(bar, POINT{kArrow2, 8});
    EXPECT_EQ(At(bar, kArrow2), "ScrollBar.horizontal[1].arrow2");
    Advance(50, 1);
    EXPECT_EQ(Counter().Count(), 6);
    Release(bar, POINT{kArrow2, 8});
    Advance(200);
    const std::vector<int> codes = Codes(Counter());
    EXPECT_EQ(codes, std::vector<int>({SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN,
                                       SB_ENDSCROLL}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 6);
}

TEST_F(ScrollBarControlTest, AHeldPageZoneRepeatsUntilTheThumbIsUnderTheMouse)
{
    HWND bar = Make(SBS_HORZ, kHorz);
    // Page by page the thumb comes to x = 140: position 70 puts it at 134..150.
    Press(bar, POINT{140, 8});
    Advance(1000, 5);
    EXPECT_EQ(Counter().CodesFrom(bar, false), (std::map<int, int>{{SB_PAGEDOWN, 7}}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 70);
    EXPECT_EQ(At(bar, 140), "ScrollBar.horizontal[0].thumb cell 4");
    Release(bar, POINT{140, 8});
    EXPECT_EQ(Counter().CodesFrom(bar, false), (std::map<int, int>{{SB_PAGEDOWN, 7}, {SB_ENDSCROLL, 1}}));
}

}  // namespace
