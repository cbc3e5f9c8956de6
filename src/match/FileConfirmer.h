#pragma once

#include "imagestats/MediaPrompts.h"

class Prompter;
class Volumes;
struct ImageFacts;

// Confirms a checksum match by the files' contents (soft matching in CHECKSUM mode).
class FileConfirmer
{
public:
    virtual ~FileConfirmer() = default;
    // The reference first, then the candidate.
    virtual bool identical(const ImageFacts& reference, const ImageFacts& candidate) = 0;
};

// The real comparison: asks for removable media, then compares the files whole.
class MediaFileConfirmer : public FileConfirmer
{
public:
    MediaFileConfirmer(MediaPromptSettings settings, const Volumes& volumes, Prompter& prompter);
    bool identical(const ImageFacts& reference, const ImageFacts& candidate) override;

private:
    MediaPromptSettings m_settings;
    const Volumes& m_volumes;
    Prompter& m_prompter;
};

// Whether two slots name one file: the same location and disk name, or two paths that lead to
// the same file on disk (a directory listed twice through a link or a second mount).
bool isOneFile(const ImageFacts& first, const ImageFacts& second);
