// The bitmap button's setters by resource id: what they load is the button's, kept while it
// shows and freed with it, and freed at once when the in image they need is missing.
#include <gtest/gtest.h>

#include "ImageButton.h"
#include "winplat_test.h"

namespace {

const int kMissing = 900;
const int kRed = 910, kBlue = 911, kGreen = 912, kIcon = 920;

TEST(ImageButtonResources, ImagesLoadedForAMissingInImageAreFreedAtOnce) {
    const WinTestLiveCounts before = WinTestLiveCounts::Now();
    {
        CImageButton b;
        EXPECT_EQ(b.SetThreeBitmaps(kMissing, 0, kBlue, 0, kGreen, 0), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
        EXPECT_EQ(b.SetBitmaps(kMissing, 0, kBlue, 0), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
        EXPECT_EQ(b.SetIcon(kMissing, kIcon), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
        // The grey and darker copies are made, not loaded: nothing to free there.
        EXPECT_EQ(b.SetBitmaps(kMissing, 0, CImageButton::OUT_GREY_COPY, 0), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(b.SetIcon(kMissing, CImageButton::OUT_DARKER_COPY), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
    }
    EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
}

TEST(ImageButtonResources, LoadedImagesAreKeptWhileShownAndFreedWhenReplacedOrWithTheButton) {
    const WinTestLiveCounts before = WinTestLiveCounts::Now();
    {
        CImageButton b;
        ASSERT_EQ(b.SetThreeBitmaps(kRed, 0, kBlue, 0, kGreen, 0), DWORD(CImageButton::RESULT_OK));
        // Three bitmaps and a mask for each.
        EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_BITMAP), before.n[WINTEST_LIVE_BITMAP] + 6);
        // A missing out image leaves the in image alone on show.
        ASSERT_EQ(b.SetBitmaps(kRed, 0, kMissing, 0), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_BITMAP), before.n[WINTEST_LIVE_BITMAP] + 2);
        ASSERT_EQ(b.SetIcon(kIcon, kMissing), DWORD(CImageButton::RESULT_OK));
        EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_BITMAP), before.n[WINTEST_LIVE_BITMAP]);
        EXPECT_EQ(WinTestLiveCount(WINTEST_LIVE_ICON), before.n[WINTEST_LIVE_ICON] + 1);
    }
    EXPECT_EQ(WinTestLiveCounts::Now(), before) << WinTestLiveCounts::Now().ChangesFrom(before);
}

}  // namespace
