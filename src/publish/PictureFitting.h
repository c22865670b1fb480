#pragma once
// The fitted picture copies of one publishing run, made on several threads.
// Jobs are collected first, fitted together, then taken in page order. Two
// jobs whose copies would be the same file (a.bmp and a.jpg both make
// s_a.jpg), or a job reading another job's copy, are not run ahead: such a
// job is fitted when its result is taken, so the files come out exactly as
// one picture after the other would make them.
#include <cstddef>
#include <string>
#include <vector>

namespace pavonia {

class PictureFitting {
public:
    struct Result {
        bool fitted = false; // false: not fitted (see FitPicture)
        std::string path;    // the copy; the source for an animated GIF; empty when unreadable
    };

    // Adds a picture to fit into width x height at JPEG `quality`; returns
    // the job's number. The same picture with the same box is one job.
    std::size_t add(const std::string& source, int width, int height, int quality);

    // Fits every job that may run ahead, on up to `workers` threads (0: the
    // machine's cores).
    void runAhead(unsigned workers);

    // The result of job `index`.
    Result result(std::size_t index);

private:
    struct Job {
        std::string source;
        std::string copy; // the file FitPicture writes for the source
        int width = 0;
        int height = 0;
        int quality = 0;
        bool ranAhead = false;
        Result result;
    };
    static Result fit(const Job& job);
    bool mayRunAhead(const Job& job) const;

    std::vector<Job> jobs_;
};

} // namespace pavonia
