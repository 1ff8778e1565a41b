#pragma once

#include <QVector>

namespace storage
{
namespace seam
{

// The calls through which a save reaches the disk. Each of them can fail on a real machine (a
// full disk, a network folder gone, a failing drive); the saves go through this seam so that
// the tests can make one fail on purpose and see that no note is lost or a failure hidden.
enum class Call { Write, SyncFile, Rename, SyncFolder, MakeFolder };

// Called by the storage code just before it makes `call`: the error number the call is to fail
// with (as errno), or 0 for a call that goes ahead. Counts and, while recording, logs the call.
int injectedError(Call call);

// For tests: after `skip` more calls of `call` that go ahead, the next `times` fail with `error`.
void failCall(Call call, int error, int skip = 0, int times = 1);
// For tests: no failure is injected any more, and the log starts empty and records from now on.
void resetAndRecord();
// The calls made since resetAndRecord(), in their order.
const QVector<Call> &recordedCalls();

} // namespace seam
} // namespace storage
