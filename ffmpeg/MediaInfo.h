// Media-information probe: can the format library open a file, and what does it hold.
#ifndef VELMORA_FFMPEG_MEDIAINFO_H
#define VELMORA_FFMPEG_MEDIAINFO_H

#include <cstdint>

struct AVFormatContext;
struct AVCodecParameters;

// What the file list shows about one file. Every text is zero-terminated and cut to 19
// characters; the caller zeroes the record before the probe, and a failed probe leaves it so.
struct MediaInfo {
    char szDuration[20];      // "hh:mm:ss" or "N/A"
    char szBitrate[20];       // overall bit rate "%d kb/s" or "N/A"
    int nDuration;            // whole seconds, 0 when unknown
    char szVideoCodec[20];    // decoder name of the last video stream
    char szFrameSize[20];     // "%dx%d"
    char szFrameRate[20];     // "%5.2f fps"
    float fFrameRate;         // frames per second
    char szVideoBitrate[20];  // "%d kb/s"
    char szAudioCodec[20];    // decoder name of the last audio stream
    char szSampleRate[20];    // "%d HZ"
    char szChannels[20];      // "mono", "stereo", "5:1" or "%d channels"
    char szAudioBitrate[20];  // "%d kb/s"
};
static_assert(sizeof(MediaInfo) == 208, "MediaInfo keeps its 208-byte layout");

// 0 when the file opens through the file protocol and its stream information reads, with
// the record filled; -1 otherwise (null arguments included), the record left untouched.
int query_media_info(const char* path, MediaInfo* info);

// The same test without a record.
int probe_media_file(const char* path);

// Writes the usual stream dump of an opened file to the codec library's log and fills the
// record (when not null) from the file. An input's duration is the length it holds, from its
// first packet on (a container stating its end from a zero before the first packet is read
// at its end to tell); when the container gives none, it is measured from the packets, so
// raw elementary streams get a usable one.
void dump_media_format(AVFormatContext* ic, int index, const char* path, int is_output,
                       MediaInfo* info);

// Duration in microseconds of an opened input whose container states none, from its packets:
// the pictures of its video stream divided by the frame rate, else the latest packet end.
// Reading stops after max_bytes of the file (0: no limit) and the rest is estimated from
// the file's size. AV_NOPTS_VALUE when nothing usable was found. Reads the file onwards.
int64_t measure_stream_duration(AVFormatContext* ic, int64_t max_bytes);

// One-line description of a stream ("Video: mpeg4, 320x240, ...") into buf, filling the
// codec fields of the stream's kind in the record (when not null).
void describe_codec(char* buf, int buf_size, const AVCodecParameters* par, int is_output,
                    MediaInfo* info);

#endif
