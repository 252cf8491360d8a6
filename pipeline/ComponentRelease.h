// Destroying a pipeline's owner without waiting for a sink's worker that does not answer.
//
// A sink's destruction joins its worker, and a worker that is ending a run waits in its input's
// Flush for as long as the sound card takes to give back its buffers and to answer its reset; a
// card that hangs keeps it there for the device's own bound, or for ever. ReleaseComponents
// destroys the owner (and the components it owns) at once when every sink among them is idle;
// otherwise it hands the owner to a thread of its own, which destroys it once the workers have
// let go of the components, and returns at once. Until then every component stays whole, so a
// worker that comes back finds nothing freed under it; the owner's events must by then reach
// nothing that has gone (the window closes its own gate to them first).
//
// Threads: the owning thread calls ReleaseComponents and hands the components over with the
// owner; nobody else may use them afterwards. The release thread is detached: a process that
// ends meanwhile ends it too, without waiting for the device.
#pragma once

#include "Component.h"

#include <chrono>
#include <memory>

void ReleaseComponents(std::unique_ptr<TComponent> Owner);

// Releases handed to a thread of their own that have not finished. Any thread.
int PendingComponentReleases();
// Waits until no release is pending, at most Bound; true when none is. Any thread; for tests and
// for a program that may wait a while before it ends.
bool AwaitComponentReleases(std::chrono::milliseconds Bound);
