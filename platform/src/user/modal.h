// Modal loops of the window system and the tests' idle hook that scripts them.
#pragma once

#include "windef.h"

namespace plat::user {

// The kinds of loop, as the test interface names them (WINTEST_LOOP_*).
enum class LoopKind : int { Program = 0, Dialog, MessageBox, Menu, MoveSize, Track };

// Marks the calling thread as running one of the layer's modal loops for its lifetime, so the
// idle hook knows what went idle. Loops nest.
class ModalLoopScope {
public:
    ModalLoopScope(LoopKind kind, HWND window);
    ~ModalLoopScope();
    ModalLoopScope(const ModalLoopScope&) = delete;
    ModalLoopScope& operator=(const ModalLoopScope&) = delete;
};

// Called by a retrieval that found nothing and is about to wait: runs the idle hook if one
// applies to this thread and has not run since the thread last took a message. True when it
// ran, so the caller looks again before waiting.
bool RunIdleHookBeforeWait();
// A message was taken: the next idle stretch reports again.
void NoteMessageTaken();

}  // namespace plat::user
