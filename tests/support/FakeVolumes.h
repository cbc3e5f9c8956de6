#pragma once

#include "platform/Volumes.h"

// A mount table given by the caller, for tests: volumeFor picks the longest mount-point prefix
// and reports NoRoot when the path does not exist on this machine (unless told to ignore that).
class FakeVolumes : public Volumes {
public:
    explicit FakeVolumes(QList<VolumeInfo> table = {}, bool pathsMustExist = true)
        : m_table(std::move(table))
        , m_pathsMustExist(pathsMustExist)
    {
    }
    void add(const VolumeInfo& volume) { m_table.append(volume); }
    void setTable(QList<VolumeInfo> table) { m_table = std::move(table); }
    QList<VolumeInfo> mounted() const override { return m_table; }
    VolumeInfo volumeFor(const QString& path) const override;
    void setListed(QList<VolumeInfo> listed) { m_listed = std::move(listed); }
    QList<VolumeInfo> listed() const override { return m_listed; }

private:
    QList<VolumeInfo> m_table;
    QList<VolumeInfo> m_listed;
    bool m_pathsMustExist;
};
