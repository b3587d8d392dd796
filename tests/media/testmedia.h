// Test-only media tools written with the FFmpeg libraries:
//  - Generate() writes a short synthetic input (a moving picture and a 440 Hz tone) of a
//    chosen kind; WriteJunk() and WriteTruncated() make damaged inputs.
//  - Check() opens a file and reports its brands, streams, durations, title and, optionally,
//    a full decode with its error count and the audio level.
// Every function is self-contained and thread-safe; nothing is kept between calls.
#ifndef VELMORA_TESTS_MEDIA_TESTMEDIA_H
#define VELMORA_TESTS_MEDIA_TESTMEDIA_H

#include <cstdint>
#include <string>
#include <vector>

namespace testmedia {

// Kinds of input. The codecs are fixed per kind; sizes, rates and channels can be chosen.
enum class Kind {
    AviMpeg4,     // .avi   mpeg4 + pcm_s16le
    AviMjpeg,     // .avi   mjpeg (yuvj420p) + mp3
    Mp4,          // .mp4   h264 + aac
    Mov,          // .mov   mpeg4 + aac
    MpegPs,       // .mpg   mpeg1video + mp2 (MPEG program stream)
    Flv,          // .flv   flv1 + mp3 (22050 Hz)
    ThreeGp,      // .3gp   h263 (176x144) + aac
    Asf,          // .wmv   wmv2 + wmav2
    RealMedia,    // .rm    rv10 + ac3
    MkvSurround,  // .mkv   mpeg4 + aac, 6 channels (5.1)
    Ogg,          // .ogg   theora + flac
    RawH261,      // .h261  h261 (352x288, always 29.97 fps), no audio
    RawH263,      // .h263  h263 (176x144, always 29.97 fps), no audio
    RawH264,      // .h264  h264, no audio
    RawM4v,       // .m4v   mpeg4 part 2 elementary stream, no audio
    Y4m,          // .y4m   YUV4MPEG, no audio
    Wav,          // .wav   pcm_s16le, no video
    MpegTs,       // .ts    mpeg2video + mp2 (MPEG transport stream)
};

// Every kind, in declaration order.
std::vector<Kind> AllKinds();
// Short name ("avi_mpeg4", "raw_h264", ...) for test names, and the file extension with its dot.
const char* KindName(Kind kind);
const char* KindExtension(Kind kind);
bool KindHasVideo(Kind kind);
bool KindHasAudio(Kind kind);

// Settings of a generated file. Zero or negative means the kind's default: 320x240 (the
// fixed size of kinds that allow only one), 25 fps, 44100 Hz (22050 for Flv), 2 channels
// (6 for MkvSurround). The picture's frame f is a diagonal gradient moving by 4 pixels a
// frame; the tone is 440 Hz at amplitude 0.25 on every channel.
struct Options {
    double seconds = 1.0;
    int width = 0;
    int height = 0;
    double fps = 0.0;
    int sampleRate = 0;
    int channels = 0;
    bool noAudio = false;  // a kind with sound written without it
    double start = 0.0;    // seconds added to every timestamp the file holds
    // When 0 or more: an event at that second, seen and heard at once. Before it the picture
    // is black and the sound silent; from it on the picture is white and the tone sounds.
    double eventAt = -1.0;
};

// Writes a file of the kind at path. Returns false (with a reason in *error when given) when
// a library call failed.
bool Generate(Kind kind, const std::string& path, const Options& options = Options(),
              std::string* error = nullptr);
// Shorthand with the most common settings.
bool Generate(Kind kind, const std::string& path, double seconds, int width, int height, double fps);

// The settings a kind really gets for the given options (defaults and fixed sizes applied).
Options Effective(Kind kind, const Options& options);

// A file of pseudo-random bytes that no demuxer recognises.
bool WriteJunk(const std::string& path, std::size_t bytes = 64 * 1024);
// The first part (fraction 0..1 of its size) of an existing file.
bool WriteTruncated(const std::string& source, const std::string& path, double fraction);
// Two files one after the other in one, as recordings are joined (transport streams join
// without rewriting: the second keeps its own timestamps).
bool WriteJoined(const std::string& first, const std::string& second, const std::string& path);
// Where the first packet of a file starts, as its demuxer reports it (-1 when unknown).
int64_t FirstPacketPosition(const std::string& path);
// A copy of a file that ends where its first packet would begin: headers only.
bool WriteCutBeforeFirstFrame(const std::string& source, const std::string& path);
// A copy of a file with the first occurrence of `marker` overwritten (the first frame's
// marker in formats that mark their frames, such as "FRAME" in YUV4MPEG).
bool WriteDamagedMarker(const std::string& source, const std::string& path, const std::string& marker);

struct StreamReport {
    std::string type;          // "video", "audio", "data", "subtitle", "other"
    std::string codec;         // codec name ("mpeg4", "h264", "aac", ...)
    int width = 0, height = 0;
    std::string pixFmt;        // "yuv420p", ...
    int rateNum = 0, rateDen = 0;  // r_frame_rate of a video stream
    int sampleRate = 0;
    int channels = 0;
    double duration = 0.0;     // seconds, from the stream (0 when unknown)
    // Filled by the full decode:
    int64_t framesDecoded = 0;     // video frames or audio frames (packets of samples)
    int64_t samplesDecoded = 0;    // audio samples per channel
    int decodeErrors = 0;          // failed sends/receives plus frames flagged corrupt
    double audioRms = 0.0;         // RMS of all decoded samples, full scale 1.0
    // Presentation time in seconds of the first picture brighter than mid-grey, or of the
    // first sample above a tenth of full scale; -1 when there is none (see Options::eventAt).
    double eventSeen = -1.0;
};

struct Report {
    bool opened = false;
    std::string formatName;                // demuxer name(s), e.g. "mov,mp4,m4a,3gp,3g2,mj2"
    std::string majorBrand;                // from a leading ftyp box, "" when there is none
    std::vector<std::string> compatibleBrands;
    double duration = 0.0;                 // container duration in seconds (0 when unknown)
    std::string title;                     // "title" tag, "" when absent
    std::vector<StreamReport> streams;
    bool decoded = false;                  // a full decode was made
    int decodeErrors = 0;                  // sum over the streams

    const StreamReport* FirstOf(const std::string& type) const;
    bool HasBrand(const std::string& brand) const;
};

// A fresh folder below the temporary folder, removed with its content on destruction.
class ScratchDir {
public:
    explicit ScratchDir(const char* prefix = "testmedia");
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Opens a file (file protocol only) and reports on it; with decode, decodes every packet.
Report Check(const std::string& path, bool decode = true);

}  // namespace testmedia

#endif
