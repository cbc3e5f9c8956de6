#pragma once

#include <QString>

// How a file operation of the host layer ended, and which side refused when it failed.
struct FileOpResult
{
    enum Status {
        Done,
        BadName, // the new name is one the program never gives a file
        TargetExists, // something already stands at the destination; it was left alone
        SourceMissing,
        Failed,
    };
    enum Side { NoSide, Source, Destination };

    Status status = Done;
    Side side = NoSide;
    int error = 0; // errno of the call that failed, 0 when none

    bool ok() const { return status == Done; }
    // The system's description of the error, for messages and test output.
    QString reason() const;

    static FileOpResult fail(Status status, Side side, int error) { return FileOpResult { status, side, error }; }
};
