#include "widgets/QtSoundPlayer.h"

#include "TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray chunk(const QByteArray& id, const QByteArray& body)
{
    QByteArray bytes = id;
    const quint32 length = quint32(body.size());
    bytes.append(reinterpret_cast<const char*>(&length), 4);
    return bytes + body;
}

// A mono 8 kHz 16-bit wave file with the given chunks after the RIFF header.
QByteArray wave(const QByteArray& chunks)
{
    return chunk("RIFF", "WAVE" + chunks);
}

QByteArray formatChunk()
{
    return chunk("fmt ", QByteArray::fromHex("01000100401f0000803e000002001000"));
}

class CountingPlayer : public QtSoundPlayer
{
public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

} // namespace

class tst_QtSoundPlayer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Like the system call it stands for, a sound that cannot be played gives the default beep.
    void unplayableFileBeeps_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing file") << "none.wav" << QByteArray();
        QTest::newRow("empty path") << "" << QByteArray();
        QTest::newRow("a directory") << "sounds.wav/" << QByteArray();
        QTest::newRow("not a wave file") << "text.wav" << QByteArray("this is no RIFF data at all");
        QTest::newRow("empty file") << "empty.wav" << QByteArray("");
        QTest::newRow("header only") << "header.wav" << wave(formatChunk()).left(30);
        QTest::newRow("sound data cut short")
            << "short.wav" << wave(formatChunk() + chunk("data", QByteArray(1600, 0))).left(100);
        QTest::newRow("no sound data") << "nodata.wav" << wave(formatChunk() + chunk("data", QByteArray()));
        QTest::newRow("no format") << "noformat.wav" << wave(chunk("data", QByteArray(1600, 0)));
        QTest::newRow("chunk length past the end")
            << "list.wav" << wave(formatChunk() + QByteArray("LIST\xff\xff\xff\x7f"));
    }
    void unplayableFileBeeps()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (name.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(path));
        else if (!content.isNull())
            QVERIFY(writeFile(path, content));
        CountingPlayer player;
        player.playWav(path);
        QTRY_COMPARE(player.beeps, 1);
    }

    // A whole wave file goes to the sound effect: no beep in its place.
    void completeWaveIsPlayed_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("format and data") << wave(formatChunk() + chunk("data", QByteArray(1600, 0)));
        QTest::newRow("odd-sized chunk before them, padded")
            << wave(chunk("LIST", "abc") + '\0' + formatChunk() + chunk("data", QByteArray(1600, 0)));
    }
    void completeWaveIsPlayed()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("ding.wav")), content));
        CountingPlayer player;
        player.playWav(dir.filePath(QStringLiteral("ding.wav")));
        QCOMPARE(player.beeps, 0);
    }
};

QTEST_MAIN(tst_QtSoundPlayer)
#include "tst_QtSoundPlayer.moc"
