#include "match/FileConfirmer.h"

#include "imagestats/FileCompare.h"
#include "match/ImageFacts.h"

#include <QFile>

#include <filesystem>
#include <system_error>

MediaFileConfirmer::MediaFileConfirmer(MediaPromptSettings settings, const Volumes& volumes, Prompter& prompter)
    : m_settings(std::move(settings))
    , m_volumes(volumes)
    , m_prompter(prompter)
{
}

bool MediaFileConfirmer::identical(const ImageFacts& reference, const ImageFacts& candidate)
{
    return FilesIdentical(reference.DRIVEVOLUME, reference.filePath(), candidate.DRIVEVOLUME, candidate.filePath(),
        m_settings, m_volumes, m_prompter);
}

bool isOneFile(const ImageFacts& first, const ImageFacts& second)
{
    // A row written before disk names were kept has a blank one: its catalogued name serves.
    const bool named = !first.DISKNAME.trimmed().isEmpty() && !second.DISKNAME.trimmed().isEmpty();
    const bool sameName = named ? first.DISKNAME == second.DISKNAME : first.WHOLENAME == second.WHOLENAME;
    if (first.DRIVEVOLUME == second.DRIVEVOLUME && first.PATH == second.PATH && sameName)
        return true;
    if (!named)
        return false;
    std::error_code error;
    const bool same
        = std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(first.filePath()).toStdString()),
            std::filesystem::path(QFile::encodeName(second.filePath()).toStdString()), error);
    return !error && same;
}
