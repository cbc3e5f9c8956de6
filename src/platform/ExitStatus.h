#pragma once

// How the program's process ends, so that a script starting a gather run can tell what happened.
// The README lists them.
enum class ExitStatus : int {
    Completed = 0, // the gather run's pre-scan completed; any ordinary end of the program
    Failed = 1, // a file or the catalogue could not be read or written
    Refused = 2, // refused before its pre-scan (no display, checks of Go, another instance, list)
    Quit = 3, // the pre-scan's Quit stopped it before it completed
    Aborted = 4, // Abort ended the program; the state file stays for resuming
};
