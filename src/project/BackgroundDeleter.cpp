#include "project/BackgroundDeleter.h"

#include <filesystem>

namespace pavonia {

BackgroundDeleter::~BackgroundDeleter()
{
    holds_ = 0;
    finish();
}

void BackgroundDeleter::deleteFolder(std::string folder)
{
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(folder));
    }
    if (holds_ == 0)
        start();
}

void BackgroundDeleter::hold()
{
    ++holds_;
}

void BackgroundDeleter::release()
{
    if (holds_ > 0 && --holds_ == 0)
        start();
}

void BackgroundDeleter::start()
{
    if (worker_.joinable())
        worker_.join();
    std::vector<std::string> folders;
    {
        std::lock_guard lock(mutex_);
        folders.swap(pending_);
    }
    if (folders.empty())
        return;
    worker_ = std::thread([folders = std::move(folders)] {
        for (const auto& folder : folders) {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    });
}

void BackgroundDeleter::finish()
{
    start();
    if (worker_.joinable())
        worker_.join();
}

} // namespace pavonia
