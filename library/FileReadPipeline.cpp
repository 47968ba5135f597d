// Opening files on one thread while worker threads read and work on each one.
#include "library/FileReadPipeline.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

void ReadAndWork(size_t count, size_t workers, const std::function<bool(size_t)>& open,
                 const std::function<void(size_t, fileio::ReadBuffer&)>& work,
                 const std::function<void(size_t)>& close) {
    if (workers == 0) {
        fileio::ReadBuffer buffer;
        for (size_t i = 0; i < count; ++i) {
            if (open(i))
                work(i, buffer);
            close(i);
        }
        return;
    }
    std::mutex lock;
    std::condition_variable changed;
    std::deque<size_t> jobs;
    std::vector<char> done(count, 0);
    bool allDone = false; // every file closed: the workers may leave

    auto worker = [&] {
        fileio::ReadBuffer buffer;
        for (;;) {
            size_t job = 0;
            {
                std::unique_lock<std::mutex> hold(lock);
                changed.wait(hold, [&] { return !jobs.empty() || allDone; });
                if (jobs.empty())
                    return;
                job = jobs.front();
                jobs.pop_front();
            }
            work(job, buffer);
            {
                std::lock_guard<std::mutex> hold(lock);
                done[job] = 1;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w)
        threads.emplace_back(worker);
    const size_t window = 2 * workers;
    size_t opened = 0;
    for (size_t closed = 0; closed < count; ++closed) {
        for (; opened < count && opened < closed + window; ++opened) {
            const bool any = open(opened);
            {
                std::lock_guard<std::mutex> hold(lock);
                if (any)
                    jobs.push_back(opened);
                else
                    done[opened] = 1;
            }
            changed.notify_all();
        }
        {
            std::unique_lock<std::mutex> hold(lock);
            changed.wait(hold, [&] { return done[closed] != 0; });
        }
        close(closed);
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        allDone = true;
    }
    changed.notify_all();
    for (std::thread& t : threads)
        t.join();
}
