// The argument vector of one driver run, in the shape of a program's command line:
// slot 0 stands for the program name and is never set, arguments start at slot 1.
#ifndef VELMORA_FFMPEG_PARAMCONTAINER_H
#define VELMORA_FFMPEG_PARAMCONTAINER_H

#include <cstddef>

class CParamContainer {
public:
    enum {
        kMaxSlots = 100,   // slot 0 plus at most 99 arguments
        kBlockSize = 256,  // each argument gets a block of at least this many bytes
    };

    CParamContainer();
    virtual ~CParamContainer();

    CParamContainer(const CParamContainer&) = delete;
    CParamContainer& operator=(const CParamContainer&) = delete;

    // Appends each non-empty text as its own argument; an empty (or null) text adds nothing,
    // so one call serves an option with its value and, with an empty second text, a lone word.
    // An argument that would not fit into the 99 slots is refused and marks the vector as
    // overflowed (see Overflowed); arguments longer than a block get a larger block.
    void Add(const char* first, const char* second);

    // Number of slots in use, slot 0 included (1 for an empty vector).
    int GetCount() const { return m_count; }

    // The slot array for the driver: slots[0] is null, slots[1..count-1] the arguments,
    // slots[count] null.
    char** GetSlots() { return m_slots; }
    const char* GetArg(int index) const;

    // True when an Add since the last Reset was refused for lack of slots: the vector is
    // incomplete and must not be run.
    bool Overflowed() const { return m_overflow; }

    // Frees every argument; the count goes back to 1.
    void Reset();

private:
    bool Append(const char* text);

    char* m_slots[kMaxSlots + 1];  // one extra so the vector is always null-terminated
    int m_count;
    bool m_overflow;
};

#endif
