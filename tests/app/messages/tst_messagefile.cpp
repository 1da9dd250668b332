#include "globals.h"
#include "messagefile.h"
#include "messages.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kHeader = "# Lorvane messages, format 1\n";

MessageBook sampleBook()
{
    MessageBook book = MessageBook::defaults();
    book.slots[1] = makeMessage({{2, kControl}, {0x50, kHex}, {'O', kAscii}, {'N', kAscii}, {3, kControl}});
    book.slots[11] = makeMessage({{6, kControl}});
    book.slots[24] = makeMessage(repeated(32, 0xA5, ByteMode::BINARY));
    book.names[1] = QStringLiteral("Lamp \"on\" \\ now");
    book.names[2] = QString();
    book.names[23] = QStringLiteral("Zündung");
    return book;
}

} // namespace

class TestMessageFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Globals::InitTables(); }
    void savedAndOpenedIsEqual();
    void readsWhatAPersonWrites();
    void refusesABadFile_data();
    void refusesABadFile();
    void refusesAFileOver1MB();
    void randomBytesNeverCrash();
};

void TestMessageFile::savedAndOpenedIsEqual()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.txt"));
    const MessageBook book = sampleBook();
    QVERIFY(!MessageFile::save(path, book));
    const MessageFile::Reading reading = MessageFile::load(path);
    QVERIFY2(!reading.error, qPrintable(reading.error ? reading.error->toString() : QString()));
    QCOMPARE(reading.book, book);
}

// The README's example, with a CR LF, spaces and a comment of the reader's own.
void TestMessageFile::readsWhatAPersonWrites()
{
    const MessageFile::Reading reading = MessageFile::read(kHeader + "\r\n# my projector\n"
                                                           "  slot 1 \"Power on\" :STX 0x50 \"ON\" ETX\r\n"
                                                           "slot 11 \"Power on reply\": ACK\n"
                                                           "slot 22 \"Lamp hours?\": STX \"LH?\" ETX\n");
    QVERIFY(!reading.error);
    MessageBook expected = MessageBook::defaults();
    expected.slots[1] = sampleBook().slots[1];
    expected.slots[11] = sampleBook().slots[11];
    expected.slots[22] = makeMessage({{2, kControl}, {'L', kAscii}, {'H', kAscii}, {'?', kAscii}, {3, kControl}});
    expected.names[22] = QStringLiteral("Lamp hours?");
    QCOMPARE(reading.book, expected);
}

void TestMessageFile::refusesABadFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no header") << QByteArray("slot 1 \"a\": 1\n") << 1 << 1 << QStringLiteral("first line");
    QTest::newRow("empty file") << QByteArray() << 1 << 1 << QStringLiteral("first line");
    QTest::newRow("unknown name") << kHeader + "slot 1 \"a\": STX BOGUS\n" << 2 << 17 << QStringLiteral("unknown name \"BOGUS\"");
    QTest::newRow("value over 255") << kHeader + "\nslot 1 \"a\": 300\n" << 3 << 13 << QStringLiteral("300 is not a byte");
    QTest::newRow("33 bytes") << kHeader + "slot 1 \"a\": \"" + QByteArray(33, 'x') + "\"\n" << 2 << 46 << QStringLiteral("33rd byte");
    QTest::newRow("slot over 24") << kHeader + "slot 25 \"a\":\n" << 2 << 6 << QStringLiteral("no slot 25");
    QTest::newRow("slot twice") << kHeader + "slot 3 \"a\":\nslot 3 \"b\":\n" << 3 << 6 << QStringLiteral("already on line 2");
    QTest::newRow("missing quote of a name") << kHeader + "slot 3 \"a: 1\n" << 2 << 8 << QStringLiteral("closing \"");
    QTest::newRow("missing quote of a text") << kHeader + "slot 3 \"a\": \"ON\n" << 2 << 13 << QStringLiteral("closing \"");
    QTest::newRow("no colon") << kHeader + "slot 3 \"a\" 1\n" << 2 << 12 << QStringLiteral("expected :");
    QTest::newRow("not a slot") << kHeader + "slat 3 \"a\": 1\n" << 2 << 1 << QStringLiteral("expected \"slot\"");
    QTest::newRow("binary garbage") << kHeader + "slot 3 \"a\xff\": 1\n" << 2 << 10 << QStringLiteral("UTF-8");
    QTest::newRow("a NUL byte") << kHeader + QByteArray("slot\0", 5) << 2 << 5 << QStringLiteral("control character");
}

void TestMessageFile::refusesABadFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, expected);
    const MessageFile::Reading reading = MessageFile::read(file);
    QVERIFY(reading.error);
    QVERIFY2(reading.error->text.contains(expected), qPrintable(reading.error->text));
    QCOMPARE(reading.error->line, line);
    QCOMPARE(reading.error->column, column);
}

void TestMessageFile::refusesAFileOver1MB()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kHeader + QByteArray(MessageFile::kMaxBytes, '#'));
    file.close();
    const MessageFile::Reading reading = MessageFile::load(file.fileName());
    QVERIFY(reading.error);
    QVERIFY(reading.error->toString().contains(QStringLiteral("over 1 MB")));
}

// Random bytes, and a valid file with random bytes changed, each read once.
void TestMessageFile::randomBytesNeverCrash()
{
    QRandomGenerator random(21);
    const QByteArray valid = MessageFile::write(sampleBook());
    for (int round = 0; round < 2000; ++round) {
        QByteArray data = valid;
        if (round % 2 == 0) {
            data.resize(random.bounded(400));
            random.fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
        } else {
            for (int k = 0; k < 4; ++k)
                data[random.bounded(int(data.size()))] = char(random.bounded(256));
        }
        const MessageFile::Reading reading = MessageFile::read(data);
        QVERIFY(reading.error || reading.book.slots[0].count <= SerialString::kCapacity);
    }
}

QTEST_MAIN(TestMessageFile)
#include "tst_messagefile.moc"
