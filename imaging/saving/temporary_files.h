#pragma once

#include <QByteArray>

// The temporary files that outputs are written to before they are renamed
// into place (output_target.h), and what happens to them when the program
// is asked to stop.
//
// Once WatchTerminationSignals has run, SIGINT, SIGTERM and SIGHUP remove
// every temporary file being written, from the signal handler itself, and
// are remembered: writers fail at their next write or commit, and a batch
// starts no further file. A second such signal ends the program at once.
// SIGKILL cannot be caught: it may leave a temporary file behind, which
// the next write of the same output removes (RemoveStaleTemporaries).
void WatchTerminationSignals();
// The termination signal received, or 0.
int TerminationSignal();

// Records Path (a temporary file just created) for removal on a signal.
// Returns the slot to hand back to ForgetTemporary, or -1 when every slot
// is taken (the file is then not removed on a signal).
int RememberTemporary(const QByteArray& Path);
// The temporary of Slot was renamed or removed; -1 is ignored.
void ForgetTemporary(int Slot);

// Removes the temporary files ".NAME.HEX.tmp" beside Path (whose last part
// is NAME) left by an earlier run: those last changed before this run began.
// Each folder is read once per run.
void RemoveStaleTemporaries(const QByteArray& Path);
