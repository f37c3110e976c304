#pragma once
// Where a batch of independent evaluations runs: on the calling thread alone, or shared with
// helper threads. The search only asks for batches; who runs them is decided above it.
namespace vemlari::detail {

class BatchRunner {
public:
    virtual ~BatchRunner() = default;
    // Threads that can work on a batch submitted now, the caller included.
    virtual int threads() const = 0;
    // Runs job(context, i) for i = 0 .. n-1 and returns when all have finished.
    virtual void run(int n, void (*job)(void*, int), void* context) = 0;
};

}  // namespace vemlari::detail
