// Keeping the sound in step with the picture: the picture follows the layer's clock, and the
// sound device plays whatever it was given, at its own pace. Before more samples go to the
// device, the time they will be heard at is compared with the time they belong to.
#pragma once

#include <algorithm>
#include <cstdint>

namespace plat::dshow {

// Larger drifts than this are corrected; smaller ones are not heard against the picture.
constexpr int64_t kAudioSyncTolerance = 400000;  // 40 ms in 100-ns units
constexpr int64_t kAudioMaxPad = 10000000;       // never more than a second of silence at once

// Samples to correct a block of sound with: `heard_at` is when the device will play its first
// sample (the clock's position plus what is still queued), `due` its stream time, both in
// 100-ns units. Positive: that much silence goes first (the device is ahead of the clock);
// negative: that many leading samples are dropped (the device is behind, e.g. after it ran
// dry); 0 within the tolerance.
inline int64_t AudioSkewSamples(int64_t heard_at, int64_t due, int rate) {
    if (rate <= 0) return 0;
    int64_t drift = heard_at - due;  // > 0: the block would be heard late
    if (drift > kAudioSyncTolerance) return -(drift * rate / 10000000);
    if (drift < -kAudioSyncTolerance) return std::min(-drift, kAudioMaxPad) * rate / 10000000;
    return 0;
}

}  // namespace plat::dshow
