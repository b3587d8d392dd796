// The preview of one file inside the main dialog: owns the graph that plays it.
#pragma once

#include <string>

#include "CDXGraph.h"

class CPreviewPlayer {
public:
    CPreviewPlayer();
    ~CPreviewPlayer();

    // Opens `file`: the video shows in `videoWindow`, graph events go to `notifyWindow`
    // as WM_GRAPHNOTIFY. The first frame shows, paused. A file that cannot be played
    // still leaves a graph (an empty preview).
    void Open(const char* file, HWND videoWindow, HWND notifyWindow);
    void Close();

    void Play();
    void Pause();
    void Seek(double seconds);
    // Seconds; *out is left alone when there is no graph or the query fails.
    void GetPosition(double* out);
    void GetDuration(double* out);

    // Drains the graph's events; at the end of the clip seeks back to the start.
    void OnGraphNotify();

    bool HasGraph() const { return m_pGraph != nullptr; }
    const std::string& GetFileName() const { return m_strFileName; }

private:
    void CreateGraph(HWND videoWindow, HWND notifyWindow);
    void DestroyGraph();

    CDXGraph* m_pGraph;
    std::string m_strFileName;

    CPreviewPlayer(const CPreviewPlayer&) = delete;
    CPreviewPlayer& operator=(const CPreviewPlayer&) = delete;
};
