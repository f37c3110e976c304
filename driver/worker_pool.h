#pragma once
// A fixed set of worker threads that share batches of independent jobs with the threads that
// submit them. Several threads may submit batches at the same time; each submitter works on
// its own batch too and returns when every job of it is done.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vemlari {

class WorkerPool {
public:
    // `threads` is the whole parallelism wanted: threads - 1 workers are started.
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int threads() const { return static_cast<int>(workers_.size()) + 1; }

    // Runs job(context, i) for i = 0 .. n-1 and returns when all have finished.
    void run(int n, void (*job)(void*, int), void* context);

private:
    struct Batch {
        void (*job)(void*, int);
        void* context;
        int n;
        std::atomic<int> next{0};
        std::atomic<int> done{0};
        int active = 0;  // workers inside the batch, guarded by the mutex
    };
    static void work_on(Batch& b);
    void serve();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<Batch*> queue_;
    bool stopping_ = false;
};

}  // namespace vemlari
