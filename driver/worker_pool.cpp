#include "driver/worker_pool.h"

namespace vemlari {

WorkerPool::WorkerPool(int threads) {
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { serve(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : workers_) t.join();
}

// Takes jobs of `b` until none is left.
void WorkerPool::work_on(Batch& b) {
    for (int i; (i = b.next.fetch_add(1)) < b.n;) {
        b.job(b.context, i);
        b.done.fetch_add(1);
    }
}

void WorkerPool::run(int n, void (*job)(void*, int), void* context) {
    if (workers_.empty() || n <= 1) {
        for (int i = 0; i < n; ++i) job(context, i);
        return;
    }
    Batch b{job, context, n};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(&b);
    }
    wake_.notify_all();
    work_on(b);
    std::unique_lock<std::mutex> lock(mutex_);
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (*it == &b) {
            queue_.erase(it);
            break;
        }
    }
    // The batch lives on this stack: no worker may still be inside it when we return.
    finished_.wait(lock, [&] { return b.done.load() == b.n && b.active == 0; });
}

void WorkerPool::serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        Batch* b = queue_.front();
        // A batch whose jobs are all taken leaves the queue; its submitter still waits for
        // the jobs in progress.
        if (b->next.load() >= b->n) {
            queue_.pop_front();
            continue;
        }
        ++b->active;
        lock.unlock();
        work_on(*b);
        lock.lock();
        --b->active;
        finished_.notify_all();
    }
}

}  // namespace vemlari
