// Reading and working on many files at once: the files are opened and closed one after
// another on the calling thread, in their order, while worker threads read and work on
// the files already opened.
#pragma once

#include <cstddef>
#include <functional>

#include "base/FileLayer.h"

// open(i) opens file i on the calling thread and says whether there is anything to read;
// work(i, buffer) then reads it and works on it on a worker thread (on the calling thread
// when workers is 0), each worker with a buffer of its own for reading whole files, kept
// from file to file; close(i) runs on the calling thread once file i is done with, for
// every file, in their order. A file is read on the core that works on it, while
// its bytes are still in that core's caches, and at most twice as many files as
// workers are open at once. Returns when every file has been closed.
void ReadAndWork(size_t count, size_t workers, const std::function<bool(size_t)>& open,
                 const std::function<void(size_t, fileio::ReadBuffer&)>& work,
                 const std::function<void(size_t)>& close);
