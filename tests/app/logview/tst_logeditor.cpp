#include "logeditor.h"

#include "keycommand.h"
#include "receivepieces.h"
#include "shapedline.h"

#include <QRandomGenerator>
#include <QtTest>

// A hex log wrapped at a width that holds about a dozen characters.
static constexpr int kWidthChars = 12;
// A byte and its HEX field, for a log of one field over and over.
static constexpr char kFieldByte = '\x5A';
static constexpr char16_t kField[] = u"5A,";

using ReceiveNotation::Notation;

Q_DECLARE_METATYPE(Notation)

class TestLogEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void caretAtAWrap();
    void upAndDownKeepTheColumn();
    void characterUnderX();
    void showingAgainAfterClear_data();
    void showingAgainAfterClear();
    void editThenShowWrapsOnlyTheEdit_data();
    void editThenShowWrapsOnlyTheEdit();
    void caretCrossesEstimatedBlocks_data();
    void caretCrossesEstimatedBlocks();

private:
    void press(KeyCommand::Action action, bool extend = false, const QString &typed = QString());

    LogEditor m_editor;
    ReceiveLog m_log;
};

void TestLogEditor::init()
{
    m_log.clear();
    while (m_log.size() < 2 * ReceiveLog::kChunkSize)
        m_log.append(QByteArrayView("48,69,0D,0A,"), ReceiveNotation::Notation::Ascii, 0);
    m_editor.clear();
    m_editor.setWidth(QFontMetrics(m_editor.font()).horizontalAdvance(u"0"_qs) * kWidthChars * CharMetrics::kUnit);
    m_editor.show(m_log);
}

void TestLogEditor::press(KeyCommand::Action action, bool extend, const QString &typed)
{
    m_editor.carryOut(KeyCommand{action, extend}, typed, 10);
}

// End stays on its line although its position is the next line's start; typing
// there puts the character at the wrap; Home goes back to the line's start.
void TestLogEditor::caretAtAWrap()
{
    const WrapLayout &layout = m_editor.layout();
    QVERIFY(layout.lineCount() > 2);
    press(KeyCommand::Action::LineEnd);
    QCOMPARE(m_editor.caret(), layout.lineEnd(0));
    QCOMPARE(m_editor.caretLine(), 0);
    press(KeyCommand::Action::LineStart);
    QCOMPARE(m_editor.caret(), 0);
    press(KeyCommand::Action::LineEnd);
    const qsizetype wrap = m_editor.caret();
    press(KeyCommand::Action::Type, false, u"Z"_qs);
    QCOMPARE(m_editor.text().at(wrap), QLatin1Char('Z'));
}

void TestLogEditor::upAndDownKeepTheColumn()
{
    const WrapLayout &layout = m_editor.layout();
    m_editor.moveCaret(layout.lineStart(5) + 3, false);
    press(KeyCommand::Action::NextLine);
    QCOMPARE(m_editor.caretLine(), 6);
    press(KeyCommand::Action::NextPage);
    QCOMPARE(m_editor.caretLine(), 16);
    press(KeyCommand::Action::PreviousLine, true);
    QCOMPARE(m_editor.caretLine(), 15);
    QVERIFY(m_editor.hasSelection());
    m_editor.moveCaret(0, false);
    press(KeyCommand::Action::PreviousLine);
    QCOMPARE(m_editor.caret(), 0);
    press(KeyCommand::Action::DocumentEnd);
    press(KeyCommand::Action::NextLine);
    QCOMPARE(m_editor.caret(), m_editor.text().size());
}

// Each character's own width holds it, left and right of its middle; beside the
// line's characters there is none.
void TestLogEditor::characterUnderX()
{
    const ShapedLine line = m_editor.shape(1);
    for (qsizetype c = line.contentStart(); c < line.contentEnd(); ++c) {
        QCOMPARE(m_editor.characterOn(1, line.xOf(c) + 0.5), c);
        QCOMPARE(m_editor.characterOn(1, line.xOf(c + 1) - 0.5), c);
    }
    QCOMPARE(m_editor.characterOn(1, -0.5), -1);
    QCOMPARE(m_editor.characterOn(1, line.width()), -1);
}

void TestLogEditor::showingAgainAfterClear_data()
{
    QTest::addColumn<QString>("between");
    QTest::newRow("the log grew") << u"grow"_qs;
    QTest::newRow("typed into the empty box") << u"type"_qs;
    QTest::newRow("the width changed") << u"width"_qs;
    QTest::newRow("the log was cleared") << u"clear log"_qs;
}

// After the box is emptied (a notation change), the next show brings back exactly
// the log, wrapped as a box that never held anything would wrap it.
void TestLogEditor::showingAgainAfterClear()
{
    QFETCH(QString, between);
    m_editor.clear();
    if (between == u"type")
        press(KeyCommand::Action::Type, false, u"typed"_qs);
    else if (between == u"width")
        m_editor.setWidth(m_editor.layout().width() / 2);
    else if (between == u"clear log")
        m_log.clear();
    m_log.append(QByteArrayView("\x0A\x0B"), ReceiveNotation::Notation::Hex, 0);
    m_editor.show(m_log);

    LogEditor fresh;
    fresh.setWidth(m_editor.layout().width());
    fresh.show(m_log);
    QCOMPARE(m_editor.text().toString(), textOf(m_log));
    QCOMPARE(m_editor.layout().lineCount(), fresh.layout().lineCount());
    const qint64 last = fresh.layout().lineCount() - 1;
    QCOMPARE(m_editor.layout().lineStart(last), fresh.layout().lineStart(last));
}

namespace {

ReceiveLog largeLog(const QByteArray &piece, Notation notation)
{
    ReceiveLog log;
    while (log.byteCount() < 200 * ReceiveLog::kChunkSize)
        log.append(piece, notation, 0);
    return log;
}

QByteArray randomBytes()
{
    QRandomGenerator random(9);
    QByteArray bytes(ReceiveLog::kChunkSize, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}

// Four fields a line, and room for an "x" unless full. Typed into full lines, the
// "x" moves every line after it whatever the font, as any key does in HEX with a
// fixed-pitch font at a width of whole characters.
int widthOfFields(const QFont &font, bool full)
{
    const CharMetrics metrics(font);
    int width = full ? 0 : metrics.advance(u'x');
    for (const QChar c : QStringView(kField))
        width += 4 * metrics.advance(c.unicode());
    return width;
}

} // namespace

void TestLogEditor::editThenShowWrapsOnlyTheEdit_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<Notation>("notation");
    QTest::addColumn<bool>("full");
    QTest::addColumn<int>("maxBlocks"); // wrapped again by the key and the show
    const QByteArray fields(ReceiveLog::kChunkSize, kFieldByte);
    QTest::newRow("sentences") << QByteArray("$GPRMC,081836,A,3751.65,S,14507.36,E*62\r\n") << Notation::Ascii
                               << false << 6;
    QTest::newRow("HEX lines with room for the key") << fields << Notation::Hex << false << 6;
    QTest::newRow("HEX lines exactly full") << fields << Notation::Hex << true << 16;
}

// One key typed in the middle, then a serial event puts the log back: the blocks
// before and after the edit keep their lines, and the lines are a whole wrap's.
// In full lines the key moves every line after it: each change wraps only a
// stretch, and the rest is left to settle.
void TestLogEditor::editThenShowWrapsOnlyTheEdit()
{
    QFETCH(QByteArray, piece);
    QFETCH(Notation, notation);
    QFETCH(bool, full);
    QFETCH(int, maxBlocks);
    ReceiveLog log = largeLog(piece, notation);
    m_editor.clear();
    m_editor.setWidth(widthOfFields(m_editor.font(), full));
    m_editor.show(log);
    m_editor.settle(QDeadlineTimer(QDeadlineTimer::Forever));
    const WrapLayout &layout = m_editor.layout();
    m_editor.moveCaret(m_editor.text().size() / 2, false);
    const qint64 before = layout.charsWrapped();
    press(KeyCommand::Action::Type, false, u"x"_qs);
    log.append(QByteArrayView("!"), notation, 0);
    m_editor.show(log);
    const qsizetype block = m_editor.text().blockOf(m_editor.caret());
    const qsizetype blockSize = m_editor.text().blockEnd(block) - m_editor.text().blockStart(block);
    QVERIFY2(layout.charsWrapped() - before < maxBlocks * blockSize,
             qPrintable(QString::number(layout.charsWrapped() - before)));
    QCOMPARE(m_editor.isSettled(), !full);
    m_editor.settle(QDeadlineTimer(QDeadlineTimer::Forever));

    LogEditor whole;
    whole.setWidth(layout.width());
    whole.show(log);
    whole.settle(QDeadlineTimer(QDeadlineTimer::Forever));
    QCOMPARE(layout.lineCount(), whole.layout().lineCount());
    for (qint64 line = 0; line < layout.lineCount(); line += 997)
        QCOMPARE(layout.lineStart(line), whole.layout().lineStart(line));
}

void TestLogEditor::caretCrossesEstimatedBlocks_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<Notation>("notation");
    QTest::addColumn<bool>("backwards"); // lines have breaks, so blocks wrapped backwards are exact too
    QTest::newRow("sentences") << QByteArray("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n") << Notation::Ascii
                               << true;
    QTest::newRow("random bytes in HEX") << randomBytes() << Notation::Hex << false;
}

// Before the wrap settles, caret moves land where they land once it has settled.
void TestLogEditor::caretCrossesEstimatedBlocks()
{
    QFETCH(QByteArray, piece);
    QFETCH(Notation, notation);
    QFETCH(bool, backwards);
    const ReceiveLog log = largeLog(piece, notation);
    LogEditor settled;
    settled.setWidth(m_editor.layout().width());
    settled.show(log);
    settled.settle(QDeadlineTimer(QDeadlineTimer::Forever));
    m_editor.clear();
    m_editor.show(log);
    m_editor.setWidth(m_editor.layout().width());
    QVERIFY(!m_editor.isSettled());
    using A = KeyCommand::Action;
    QList<std::pair<A, int>> moves{{A::NextLine, 700}, {A::NextPage, 40}, {A::NextLine, 3}};
    if (backwards)
        moves.append({{A::DocumentEnd, 1}, {A::PreviousLine, 500}, {A::PreviousPage, 30}, {A::PreviousLine, 1}});
    for (const auto &[action, times] : moves) {
        for (int i = 0; i < times; ++i) {
            m_editor.carryOut(KeyCommand{action, false}, QString(), 10);
            settled.carryOut(KeyCommand{action, false}, QString(), 10);
        }
        QCOMPARE(m_editor.caret(), settled.caret());
    }
    QVERIFY(!m_editor.isSettled());
    press(A::DocumentStart);
    QCOMPARE(m_editor.caret(), 0);
}

QTEST_MAIN(TestLogEditor)
#include "tst_logeditor.moc"
