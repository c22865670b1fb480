#pragma once
// Deletes folders on a thread of its own, so that throwing away the previous
// project's working files does not hold up the user. Deletion of what is
// handed over starts at once, or when a hold is released; the destructor
// waits for the deletion to finish.
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pavonia {

class BackgroundDeleter {
public:
    BackgroundDeleter() = default;
    ~BackgroundDeleter();
    BackgroundDeleter(const BackgroundDeleter&) = delete;
    BackgroundDeleter& operator=(const BackgroundDeleter&) = delete;

    void deleteFolder(std::string folder);
    // While held, deletion waits: a long run of file creations is faster when
    // the file system is not freeing space at the same moment.
    void hold();
    void release();
    // Blocks until everything handed over is deleted.
    void finish();

private:
    void start();

    std::mutex mutex_;
    std::vector<std::string> pending_;
    std::thread worker_;
    int holds_ = 0;
};

} // namespace pavonia
