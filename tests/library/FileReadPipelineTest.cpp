// The pipeline opens and closes the files on the calling thread, each in file order and
// each file closed only once its work is done, with a bounded number open at once; every
// file that has something to read is worked on exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "library/FileReadPipeline.h"

TEST(FileReadPipeline, OpensAndClosesInOrderOnTheCallingThreadAndWorksOnEachFileOnce) {
    for (size_t workers : {0, 1, 2, 3}) {
        const size_t count = 40;
        const std::thread::id caller = std::this_thread::get_id();
        std::mutex lock;
        std::vector<size_t> opened, closed;
        std::vector<int> worked(count, 0);
        std::atomic<int> open{0}, mostOpen{0};
        ReadAndWork(
            count, workers,
            [&](size_t i) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                opened.push_back(i);
                mostOpen = std::max(mostOpen.load(), ++open);
                return i % 5 != 3; // some files have nothing to read
            },
            [&](size_t i, fileio::ReadBuffer&) {
                if (i % 7 == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2)); // a slow file
                std::lock_guard<std::mutex> hold(lock);
                ++worked[i];
            },
            [&](size_t i) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                std::lock_guard<std::mutex> hold(lock);
                EXPECT_EQ(worked[i], i % 5 != 3 ? 1 : 0) << i;
                closed.push_back(i);
                --open;
            });
        std::vector<size_t> inOrder(count);
        for (size_t i = 0; i < count; ++i)
            inOrder[i] = i;
        EXPECT_EQ(opened, inOrder) << workers;
        EXPECT_EQ(closed, inOrder) << workers;
        EXPECT_LE(mostOpen.load(), static_cast<int>(std::max<size_t>(1, 2 * workers))) << workers;
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(worked[i], i % 5 != 3 ? 1 : 0) << i;
    }
}
