#include "widgets/DirectoryBrowser.h"

#include "platform/Volumes.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

DirectoryBrowser::DirectoryBrowser(const Volumes& volumes, QWidget* parent)
    : QObject(parent)
    , m_volumes(volumes)
    , m_drives(new QComboBox(parent))
    , m_directories(new QTreeView(parent))
    , m_model(new QFileSystemModel(this))
{
    m_drives->setObjectName(QStringLiteral("lstDRIVE"));
    QList<VolumeInfo> mounted = m_volumes.mounted();
    std::sort(mounted.begin(), mounted.end(),
        [](const VolumeInfo& a, const VolumeInfo& b) { return a.mountPoint < b.mountPoint; });
    for (const VolumeInfo& volume : mounted) {
        if (m_drives->findData(volume.mountPoint) < 0)
            m_drives->addItem(volume.mountPoint + QStringLiteral("  ") + volumeTag(volume), volume.mountPoint);
    }

    m_model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QStringLiteral("/"));
    m_directories->setObjectName(QStringLiteral("lstDIR"));
    m_directories->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_directories->hideColumn(column);
    m_directories->header()->hide();

    connect(m_drives, &QComboBox::activated, this,
        [this](int index) { Q_EMIT driveChosen(m_drives->itemData(index).toString()); });
    connect(m_directories->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) {
            if (m_pointing || !current.isValid())
                return;
            m_path = m_model->filePath(current);
            Q_EMIT directoryChanged(m_path);
        });
}

void DirectoryBrowser::selectDriveOf(const QString& path)
{
    const QString mountPoint = m_volumes.volumeFor(path).mountPoint;
    int drive = m_drives->findData(mountPoint);
    if (drive < 0 && !mountPoint.isEmpty()) {
        m_drives->addItem(mountPoint, mountPoint);
        drive = m_drives->count() - 1;
    }
    m_drives->setCurrentIndex(drive);
}

void DirectoryBrowser::pointAt(const QString& path)
{
    m_path = path;
    const QModelIndex index = m_model->index(path);
    if (index.isValid()) {
        m_pointing = true;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            m_directories->expand(parent);
        m_directories->setCurrentIndex(index);
        m_directories->scrollTo(index);
        m_pointing = false;
    }
    Q_EMIT directoryChanged(m_path);
}
