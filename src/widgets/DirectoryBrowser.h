#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QTreeView;
class Volumes;

// The drive list and the directory list of the browsing dialogs: the mounted file systems (which
// stand for drives) in a combo box, and the directory tree in a tree view that follows a path. The
// dialog owns the two controls and lays them out; this object fills and drives them.
class DirectoryBrowser : public QObject
{
    Q_OBJECT
public:
    DirectoryBrowser(const Volumes& volumes, QWidget* parent);

    QComboBox* drives() const { return m_drives; }
    QTreeView* directories() const { return m_directories; }
    // The directory the tree shows as current.
    QString path() const { return m_path; }

    // Selects the drive that holds the path, adding its mount point when the list lacks it.
    void selectDriveOf(const QString& path);
    // Makes the path the tree's current directory (unfolding the tree to it) and reports it.
    void pointAt(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // The current directory changed, by the user or by pointAt().
    void directoryChanged(const QString& path);
    // The user picked a drive (its mount point); the dialog decides whether to go there.
    void driveChosen(const QString& mountPoint);

private:
    void pointAt(const QString& path, bool report);

    const Volumes& m_volumes;
    QComboBox* m_drives;
    QTreeView* m_directories;
    QFileSystemModel* m_model;
    QString m_path;
    bool m_pointing = false;
    // Set by pointAt() until the user picks a directory: as the model reads the directories on
    // the way, the tree unfolds to the path. A directory the user picks is never pulled to the
    // middle of the view when its contents come in.
    bool m_following = false;
};
