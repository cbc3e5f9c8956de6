#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class Prompter;
class Volumes;
struct MediaPromptSettings;

// Reads up to words.size() * 2 bytes from the start of the file into the words, two bytes to
// a word, low byte first. Words past the end of a shorter file keep their values; a file that
// cannot be opened leaves the array as it was. False when the file could not be opened or read.
bool ReadFileIntoArray(const QString& path, std::vector<std::int16_t>& words);

// Whether two files have the same contents. Asks for the first file's medium and, once the first
// file is read, for the second's, so two disks used in turn in one drive can be compared. False
// when either file cannot be read whole or the lengths differ; memory stays bounded.
bool FilesIdentical(const QString& firstVolume, const QString& firstPath, const QString& secondVolume,
    const QString& secondPath, const MediaPromptSettings& settings, const Volumes& volumes, Prompter& prompter);

// The comparison alone, without prompts.
bool fileContentsEqual(const QString& firstPath, const QString& secondPath);
