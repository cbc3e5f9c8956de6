#pragma once

// Shared by the scan tests: a program directory with a fresh catalogue, a tree of image files,
// scripted ports and a reader of the rows.

#include "ScriptedPorts.h"
#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueRecord.h"
#include "catalogue/SqlRecordSet.h"
#include "catalogue/TemplateDatabase.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"
#include "scan/PreScanEngine.h"
#include "scan/PreScanView.h"
#include "session/FileTypes.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

class ScriptedView : public PreScanView
{
public:
    void showDirectory(const QString& text) override { directories << text; }
    void showNumber(const QString& text) override
    {
        numbers << text;
        if (onNumber)
            onNumber(text);
    }
    void showCaption(const QString& caption) override { captions << caption; }
    bool isMinimized() const override { return minimized; }
    void showPreviewInsteadOfAnimation() override { previewMode = true; }
    bool wantsPreview() const override { return previews; }
    void showPreview(const QImage& preview) override { previewSizes << preview.size(); }

    QStringList directories;
    QStringList numbers;
    QStringList captions;
    QList<QSize> previewSizes;
    bool minimized = false;
    bool previewMode = false;
    bool previews = false;
    std::function<void(const QString&)> onNumber;
};

// A picture with a gradient and a dark disc, so that colour and pattern are not trivial.
inline QImage samplePicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                qRgb((x * 255 / width + seed * 37) % 256, (y * 255 / height + seed * 11) % 256, (seed * 53) % 256));
    QPainter p(&image);
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint((seed * 13) % width, (seed * 7) % height), width / 4, height / 4);
    return image;
}

class ScanFixture
{
public:
    ScanFixture()
    {
        QDir().mkpath(programDirectory() + QStringLiteral("/data"));
        QDir().mkpath(tree());
        settings.listName = QStringLiteral("Test");
        settings.filter = QStringLiteral("*");
        settings.noSound = true;
        setType(".JPG", true);
        session.PreScanTop = Session::NoStoredPosition;
        session.PreScanLeft = Session::NoStoredPosition;
        session.DisableFilePolling = true;
        session.SearchCompleted = QStringLiteral("NO");
        QString error;
        if (!writeTemplateDatabase(databasePath(), &error))
            qWarning("template: %s", qPrintable(error));
    }

    QString programDirectory() const { return m_root.path() + QStringLiteral("/program"); }
    QString tree() const { return m_root.path() + QStringLiteral("/tree"); }
    QString dir(const QString& name) const { return tree() + QLatin1Char('/') + name + QLatin1Char('/'); }
    QString entry(const QString& name) const { return QStringLiteral("[TEST] ") + dir(name); }
    QString databasePath() const { return listDatabasePath(programDirectory(), settings); }
    QString scanningFile() const { return programDirectory() + QStringLiteral("/Scanning.dat"); }

    void setType(const char* extension, bool ticked)
    {
        for (int i = 0; i < FileTypeCount; ++i)
            if (qstrcmp(FileTypes[std::size_t(i)].extension, extension) == 0)
                settings.fileTypes[std::size_t(i)] = ticked;
    }

    // An image file; the same seed gives the same picture.
    void image(const QString& dirName, const QString& fileName, int seed, QSize size = QSize(160, 120)) const
    {
        QDir().mkpath(dir(dirName));
        const QString path = dir(dirName) + fileName;
        const QByteArray format = fileName.endsWith(QLatin1String("png"), Qt::CaseInsensitive) ? "PNG" : "JPG";
        QVERIFY(samplePicture(size.width(), size.height(), seed).save(path, format.constData()));
        stamp(path);
    }
    void bytes(const QString& dirName, const QString& fileName, const QByteArray& content) const
    {
        QDir().mkpath(dir(dirName));
        QFile file(dir(dirName) + fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        stamp(dir(dirName) + fileName);
    }
    // A fixed modification time, so that keys do not depend on when the test ran.
    static void stamp(const QString& path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28)), QFileDevice::FileModificationTime));
    }

    std::unique_ptr<PreScanEngine> engine(int threads = 1)
    {
        PreScanConfig config;
        config.programDirectory = programDirectory();
        config.threads = threads;
        config.today = today;
        auto e = std::make_unique<PreScanEngine>(
            settings, session, config, PreScanPorts { prompter, yielder, sound, volumes, view });
        if (!e->openCatalogue())
            qWarning("cannot open the catalogue");
        return e;
    }

    // A whole run as the window makes it: run, then the engine's share of the unload.
    PreScanEngine::Outcome run(int threads = 1)
    {
        auto e = engine(threads);
        const PreScanEngine::Outcome outcome = e->RunPreScan();
        if (outcome != PreScanEngine::Outcome::Aborted)
            e->unload();
        return outcome;
    }

    // Every row, in a fixed order that does not depend on how rows were stored.
    QList<CatalogueRecord> rows(const QString& where = {}, const QVariantList& params = {}) const
    {
        QList<CatalogueRecord> result;
        auto db = CatalogueDatabase::open(databasePath());
        if (!db)
            return result;
        SqlRecordSet set(*db);
        set.setSource(where, QStringLiteral("STAG, PATH, RECNUM"), params);
        set.refresh();
        for (; !set.isEof(); set.moveNext())
            result << set.record();
        return result;
    }
    int execute(const QString& sql, const QVariantList& params = {}) const
    {
        auto db = CatalogueDatabase::open(databasePath());
        return db ? db->execute(sql, params) : -1;
    }

    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    ScriptedYielder yielder;
    RecordingSoundPlayer sound;
    FakeVolumes volumes;
    ScriptedView view;
    QDate today = QDate(2026, 12, 9);

private:
    QTemporaryDir m_root;
};

// The content of a row without the engine's row identity.
inline QString rowText(const CatalogueRecord& r)
{
    return QStringList { QString::number(r.RECNUM), r.RTAG, r.DRIVEVOLUME, r.PATH, r.NAME, r.REFNAME, r.BASENAME,
        r.EXTENSION, r.WHOLENAME, r.WHOLEBASE, QString::number(r.SIZE), r.DATE.toString(Qt::ISODate), r.CHECKSUM,
        QString::number(r.XYRATIO, 'g', 17), r.RGB, r.QRGB, r.SOFTRGB, r.SOFTQRGB, r.PXLRAY, QString::number(r.PXLNUM),
        QString::number(r.X), QString::number(r.Y), r.ACTIVE, r.REF, QString::number(r.ACCESSED), r.STAG, r.DISKNAME }
        .join(QLatin1Char('|'));
}

// The rows' contents with the tree's location taken out, so that two trees can be compared.
inline QStringList rowTexts(const QList<CatalogueRecord>& rows, const QString& tree = {})
{
    QStringList texts;
    for (const CatalogueRecord& r : rows) {
        QString text = rowText(r);
        if (!tree.isEmpty())
            text.replace(tree, QStringLiteral("<tree>"), Qt::CaseInsensitive);
        texts << text;
    }
    return texts;
}
