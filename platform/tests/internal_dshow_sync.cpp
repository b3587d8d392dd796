// Sound kept in step with the picture: how much silence goes first, or how much is dropped.
#include <gtest/gtest.h>

#include "dshow/sync.h"

using plat::dshow::AudioSkewSamples;

TEST(DshowAudioSync, CorrectsOnlyDriftsBeyondTheTolerance) {
    // In step, or within 40 ms either way: nothing changes.
    EXPECT_EQ(0, AudioSkewSamples(10000000, 10000000, 44100));
    EXPECT_EQ(0, AudioSkewSamples(10400000, 10000000, 44100));
    EXPECT_EQ(0, AudioSkewSamples(9600000, 10000000, 44100));
    // Heard 100 ms late (the device ran dry): the first 100 ms of the block are dropped.
    EXPECT_EQ(-4410, AudioSkewSamples(11000000, 10000000, 44100));
    // Heard 50 ms early: 50 ms of silence first.
    EXPECT_EQ(400, AudioSkewSamples(9500000, 10000000, 8000));
    // Silence is capped at a second; a device without a rate is left alone.
    EXPECT_EQ(48000, AudioSkewSamples(0, 50000000, 48000));
    EXPECT_EQ(0, AudioSkewSamples(0, 50000000, 0));
}
