// Reading files on one thread while worker threads take each one's bytes.
#include "library/FileReadPipeline.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

void ReadAndWork(size_t count, size_t workers, size_t largest,
                 const std::function<bool(size_t, fileio::ReadBuffer&)>& read,
                 const std::function<void(size_t, std::string_view)>& work) {
    if (workers == 0) {
        fileio::ReadBuffer buffer;
        buffer.Reserve(largest);
        for (size_t i = 0; i < count; ++i) {
            if (read(i, buffer))
                work(i, buffer.View());
        }
        return;
    }
    std::vector<fileio::ReadBuffer> buffers(workers);
    for (fileio::ReadBuffer& b : buffers)
        b.Reserve(largest);
    std::mutex lock;
    std::condition_variable changed;
    std::vector<fileio::ReadBuffer*> free;
    for (fileio::ReadBuffer& b : buffers)
        free.push_back(&b);
    std::deque<std::pair<size_t, fileio::ReadBuffer*>> jobs;
    bool allRead = false;

    auto worker = [&] {
        for (;;) {
            std::pair<size_t, fileio::ReadBuffer*> job;
            {
                std::unique_lock<std::mutex> hold(lock);
                changed.wait(hold, [&] { return !jobs.empty() || allRead; });
                if (jobs.empty())
                    return;
                job = jobs.front();
                jobs.pop_front();
            }
            work(job.first, job.second->View());
            {
                std::lock_guard<std::mutex> hold(lock);
                free.push_back(job.second);
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w)
        threads.emplace_back(worker);
    for (size_t i = 0; i < count; ++i) {
        fileio::ReadBuffer* buffer = nullptr;
        {
            std::unique_lock<std::mutex> hold(lock);
            changed.wait(hold, [&] { return !free.empty(); });
            buffer = free.back();
            free.pop_back();
        }
        const bool any = read(i, *buffer);
        {
            std::lock_guard<std::mutex> hold(lock);
            if (any)
                jobs.emplace_back(i, buffer);
            else
                free.push_back(buffer);
        }
        changed.notify_all();
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        allRead = true;
    }
    changed.notify_all();
    for (std::thread& t : threads)
        t.join();
}
