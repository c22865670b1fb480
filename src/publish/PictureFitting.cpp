#include "publish/PictureFitting.h"

#include "import/FitPicture.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace pavonia {

std::size_t PictureFitting::add(const std::string& source, int width, int height, int quality)
{
    for (std::size_t i = 0; i < jobs_.size(); ++i) {
        const Job& job = jobs_[i];
        if (job.source == source && job.width == width && job.height == height && job.quality == quality)
            return i;
    }
    jobs_.push_back(Job{source, fittedCopyPath(source), width, height, quality, false, {}});
    return jobs_.size() - 1;
}

bool PictureFitting::mayRunAhead(const Job& job) const
{
    for (const Job& other : jobs_) {
        if (&other == &job)
            continue;
        // The same picture in another box writes the same copy too.
        if (other.copy == job.copy || other.copy == job.source || other.source == job.copy)
            return false;
    }
    return true;
}

PictureFitting::Result PictureFitting::fit(const Job& job)
{
    Result result;
    result.fitted = FitPicture(job.source, job.width, job.height, job.quality, result.path);
    return result;
}

void PictureFitting::runAhead(unsigned workers)
{
    std::vector<Job*> ahead;
    for (Job& job : jobs_)
        if (!job.ranAhead && mayRunAhead(job))
            ahead.push_back(&job);
    if (ahead.empty())
        return;
    if (workers == 0)
        workers = std::max(1u, std::thread::hardware_concurrency());
    workers = std::min<unsigned>(workers, static_cast<unsigned>(ahead.size()));

    // Each job's result is written by exactly one thread into its own slot.
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < ahead.size();)
            ahead[i]->result = fit(*ahead[i]);
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < workers; ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    for (Job* job : ahead)
        job->ranAhead = true;
}

PictureFitting::Result PictureFitting::result(std::size_t index)
{
    Job& job = jobs_.at(index);
    if (job.ranAhead)
        return job.result;
    return fit(job);
}

} // namespace pavonia
