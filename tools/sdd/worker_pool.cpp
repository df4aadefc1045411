#include "tools/sdd/worker_pool.h"

WorkerPool::WorkerPool(unsigned threadCount) : threadCount_(threadCount) {}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        tasks_.clear();
    }
    posted_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void WorkerPool::post(std::function<void()> task) {
    // The threads start before the first task is queued, so a task is never left waiting for threads that
    // could not be made.
    if (threads_.empty())
        for (unsigned i = 0; i < threadCount_; ++i)
            threads_.emplace_back(&WorkerPool::work, this);
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            posted_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (stopping_)
                return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}
