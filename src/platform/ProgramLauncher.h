#pragma once

#include <QString>

// Starts a program on a file, detached and without a shell: the file name reaches the program
// as one argument whatever characters it holds. False with a reason when the program cannot start;
// errorNumber then gets the system's error number for it (ENOENT, EACCES, ...), 0 when unknown.
bool launchProgram(const QString& program, const QString& file, QString* error = nullptr, int* errorNumber = nullptr);
