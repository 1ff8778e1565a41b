#include "storage/systemCalls.h"

namespace storage
{
namespace seam
{
namespace
{

struct InjectedFailure {
    Call call;
    int error;
    int skip;
    int times;
};

struct SeamState {
    QVector<InjectedFailure> failures;
    QVector<Call> log;
    bool recording = false;
};

SeamState &state()
{
    static SeamState seam;
    return seam;
}

} // namespace

int injectedError(Call call)
{
    SeamState &seam = state();
    if (seam.recording)
        seam.log.append(call);
    for (int i = 0; i < seam.failures.size(); ++i) {
        InjectedFailure &failure = seam.failures[i];
        if (failure.call != call)
            continue;
        if (failure.skip-- > 0)
            return 0;
        const int error = failure.error;
        if (--failure.times == 0)
            seam.failures.remove(i);
        else
            failure.skip = 0;
        return error;
    }
    return 0;
}

void failCall(Call call, int error, int skip, int times)
{
    state().failures.append({call, error, skip, times});
}

void resetAndRecord()
{
    state().failures.clear();
    state().log.clear();
    state().recording = true;
}

const QVector<Call> &recordedCalls()
{
    return state().log;
}

} // namespace seam
} // namespace storage
