// Reading many files while others are worked on: the files are read one after another
// on the calling thread, in their order, and each one's bytes are handed to a worker
// thread while the next is read.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "base/FileLayer.h"

// read(i, buffer) reads file i into buffer on the calling thread and says whether there
// is anything to work on; work(i, bytes) runs on a worker thread (on the calling thread
// when workers is 0). At most workers files are in hand at once (reading is much quicker
// than the work, so a worker seldom waits for a buffer to be read into), each in a buffer
// kept from file to file and made room for largest bytes at once (the largest file's
// size: each buffer's memory is then set up once). Returns when every file has been read
// and worked on.
void ReadAndWork(size_t count, size_t workers, size_t largest,
                 const std::function<bool(size_t, fileio::ReadBuffer&)>& read,
                 const std::function<void(size_t, std::string_view)>& work);
