#include "widgets/DirectoryBrowser.h"

#include "platform/Volumes.h"

#include <QComboBox>
#include <QEvent>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>
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
    m_directories->installEventFilter(this);

    connect(m_drives, &QComboBox::activated, this,
        [this](int index) { Q_EMIT driveChosen(m_drives->itemData(index).toString()); });
    connect(m_directories->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) {
            if (m_pointing || !current.isValid())
                return;
            // The user has chosen: the tree no longer follows a path of its own.
            m_following = false;
            m_path = m_model->filePath(current);
            Q_EMIT directoryChanged(m_path);
        });
    // The model reads directories in the background: once those on the way to the current
    // directory are in, the tree can show it.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (!m_following)
            return;
        const QString current = m_path.endsWith(QLatin1Char('/')) ? m_path : m_path + QLatin1Char('/');
        const QString directory = loaded.endsWith(QLatin1Char('/')) ? loaded : loaded + QLatin1Char('/');
        if (current.startsWith(directory))
            pointAt(m_path, false);
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
    m_following = true;
    pointAt(path, true);
}

void DirectoryBrowser::pointAt(const QString& path, bool report)
{
    m_path = path;
    const QModelIndex index = m_model->index(path);
    if (index.isValid()) {
        m_pointing = true;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            m_directories->expand(parent);
        m_directories->setCurrentIndex(index);
        m_directories->scrollTo(index, QAbstractItemView::PositionAtCenter);
        m_pointing = false;
    }
    if (report)
        Q_EMIT directoryChanged(m_path);
}

bool DirectoryBrowser::eventFilter(QObject* watched, QEvent* event)
{
    // Scrolling to the current directory before the tree has its size does not hold.
    if (watched == m_directories && event->type() == QEvent::Show) {
        QTimer::singleShot(0, this,
            [this] { m_directories->scrollTo(m_directories->currentIndex(), QAbstractItemView::PositionAtCenter); });
    }
    return QObject::eventFilter(watched, event);
}
