#pragma once
// Runs another program and waits for it, with a time limit. The program runs
// in a process group of its own, so that stopping it also stops every
// process it started; nothing is left running when runProgram returns.
#include <functional>
#include <string>
#include <vector>

namespace pavonia {

struct ProgramRun {
    enum class End {
        Exited,      // ended by itself; `exitStatus` holds its status
        Signalled,   // ended by a signal it did not get from us
        TimedOut,    // ran past the time limit and was stopped
        Cancelled,   // `keepGoing` answered false and it was stopped
        CannotStart  // the program could not be started (`error` tells why)
    };
    End end = End::CannotStart;
    int exitStatus = -1;
    int error = 0; // errno when it could not be started
    bool succeeded() const { return end == End::Exited && exitStatus == 0; }
};

struct ProgramOptions {
    // Milliseconds; 0 waits without limit.
    int timeoutMs = 0;
    // Asked about every 50 ms while the program runs; false stops it.
    std::function<bool()> keepGoing;
    // Extra "NAME=value" entries, replacing those of the same name.
    std::vector<std::string> environment;
    // Where standard output and error go; empty: nowhere (/dev/null).
    std::string outputFile;
};

// Runs `argv` (argv[0] looked up on PATH when it holds no "/"); its
// arguments are passed as they are, never through a shell.
ProgramRun runProgram(const std::vector<std::string>& argv, const ProgramOptions& options = {});

// The full path of `program` found on PATH (or `program` itself when it
// holds a "/" and is an executable file); empty when there is none.
std::string findProgram(const std::string& program);

} // namespace pavonia
