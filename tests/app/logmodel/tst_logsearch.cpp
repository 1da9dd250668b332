#include "codepage.h"
#include "logsearch.h"
#include "receivepieces.h"

#include <QtTest>

using ReceiveNotation::Notation;
using Direction = LogSearch::Direction;

static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;
// Small, so that a search takes many steps and a step ends inside blocks.
static constexpr qsizetype kBudget = 1000;

class TestLogSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsTheTextAsShown_data();
    void findsTheTextAsShown();
    void caseRules_data();
    void caseRules();
    void everyByteFoldsAsItsCharacter();

private:
    static QByteArray filler(qsizetype n);
    static std::optional<LogSearch::Match> run(const LogText &text, const QString &pattern, bool matchCase,
                                               Direction direction, qsizetype from);
};

// Letters without z, so that "zebra" is found only where it was put.
QByteArray TestLogSearch::filler(qsizetype n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = char('a' + i % 25);
    return bytes;
}

std::optional<LogSearch::Match> TestLogSearch::run(const LogText &text, const QString &pattern, bool matchCase,
                                                   Direction direction, qsizetype from)
{
    LogSearch search(text, SearchPattern(pattern, matchCase), direction, from);
    double progress = 0;
    while (search.step(kBudget)) {
        if (search.progress() < progress)
            return LogSearch::Match{-1, -1, false};
        progress = search.progress();
    }
    return search.match();
}

void TestLogSearch::findsTheTextAsShown_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<bool>("wrapped");

    const Pieces farBack{{filler(3 * kChunk - 3), Notation::Ascii}, {"zebra", Notation::Ascii},
                         {filler(2 * ReceiveLog::kRawChunks * kChunk), Notation::Ascii}};
    QTest::newRow("forward over a compressed chunk's end") << farBack << u"ZEBRA"_qs << false << false << qsizetype(0) << false;
    QTest::newRow("backward over a compressed chunk's end") << farBack << u"zebra"_qs << false << true << 100 * kChunk << false;

    const Pieces crLf{{filler(100), Notation::Ascii}, {"\r\n", Notation::Hex}, {"OK", Notation::Ascii}, {"\r\n", Notation::Dec}};
    QTest::newRow("from HEX into ASCII") << crLf << u"0d,0a,ok"_qs << false << false << qsizetype(0) << false;
    QTest::newRow("DEC after ASCII") << crLf << u"OK13,10,"_qs << true << true << qsizetype(200) << false;
    const Pieces changeAtEnd{{filler(kChunk - 1), Notation::Ascii}, {"\r\n", Notation::Hex}, {"OK", Notation::Ascii}};
    QTest::newRow("over a chunk's end and a notation change") << changeAtEnd << u"y0D,0A,OK"_qs << true << false << qsizetype(0) << false;

    const Pieces once{{filler(200), Notation::Ascii}, {"zebra", Notation::Ascii}, {filler(200), Notation::Ascii}};
    QTest::newRow("forward past the end wraps") << once << u"zebra"_qs << false << false << qsizetype(300) << true;
    QTest::newRow("backward past the start wraps") << once << u"zebra"_qs << false << true << qsizetype(100) << true;
    QTest::newRow("forward from inside the match wraps to it") << once << u"zebra"_qs << false << false << qsizetype(202) << true;
    QTest::newRow("backward from inside the match wraps to it") << once << u"zebra"_qs << false << true << qsizetype(203) << true;
    QTest::newRow("not found") << once << u"zebras"_qs << false << false << qsizetype(0) << false;

    const Pieces twice{{filler(10), Notation::Ascii}, {"zebra", Notation::Ascii}, {filler(10), Notation::Ascii},
                       {"zebra", Notation::Ascii}, {filler(10), Notation::Ascii}};
    QTest::newRow("next from a match's end") << twice << u"zebra"_qs << false << false << qsizetype(15) << false;
    QTest::newRow("previous from a match's start") << twice << u"zebra"_qs << false << true << qsizetype(25) << false;

    const Pieces longRun{{filler(50), Notation::Ascii}, {QByteArray(2 * kChunk + 5, 'z'), Notation::Ascii},
                         {filler(50), Notation::Ascii}};
    QTest::newRow("longer than a block") << longRun << QString(2 * kChunk + 5, u'Z') << false << false << qsizetype(0) << false;
}

// Expected: the first match from the caret, or the last one ending by it, else the
// first or last in the whole text, as QString finds them in the whole text.
void TestLogSearch::findsTheTextAsShown()
{
    QFETCH(Pieces, pieces);
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(bool, backward);
    QFETCH(qsizetype, from);
    QFETCH(bool, wrapped);
    const ReceiveLog log = logOf(pieces);
    LogText text;
    text.assign(log);
    const QString all = textOf(log);
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype expected = -1;
    if (backward)
        expected = from >= pattern.size() ? all.lastIndexOf(pattern, from - pattern.size(), cs) : -1;
    else
        expected = all.indexOf(pattern, from, cs);
    if (expected < 0)
        expected = backward ? all.lastIndexOf(pattern, -1, cs) : all.indexOf(pattern, 0, cs);

    const std::optional<LogSearch::Match> match = run(text, pattern, matchCase, backward ? Direction::Backward : Direction::Forward, from);
    QCOMPARE(match ? match->from : -1, expected);
    if (match) {
        QCOMPARE(match->to, match->from + pattern.size());
        QCOMPARE(match->wrapped, wrapped);
    }
}

void TestLogSearch::caseRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("found");

    QTest::newRow("other case, ignoring case") << u"reply ok"_qs << u"REPLY OK"_qs << false << true;
    QTest::newRow("other case, matching case") << u"reply ok"_qs << u"REPLY OK"_qs << true << false;
    QTest::newRow("same case, matching case") << u"Reply OK"_qs << u"Reply"_qs << true << true;
    QTest::newRow("Latin-1 letters") << u"\u00c0\u00c9\u00ce"_qs << u"\u00e0\u00e9\u00ee"_qs << false << true;
    QTest::newRow("code-page letters beyond Latin-1") << u"\u0152\u0160\u0178"_qs << u"\u0153\u0161\u00ff"_qs << false << true;
    QTest::newRow("sharp s is no ss") << u"STRASSE"_qs << u"stra\u00dfe"_qs << false << false;
    QTest::newRow("micro sign folds to Greek mu") << u"5\u00b5s"_qs << u"5\u03bcS"_qs << false << true;
    QTest::newRow("outside the code page, in typed text") << u"x\u03a9y"_qs << u"\u03c9"_qs << false << true;
    QTest::newRow("outside the code page, never in bytes") << u"Omega"_qs << u"\u03a9"_qs << false << false;
}

// Each text both as received bytes and as typed UTF-16 (when the code page can write
// it), searched both ways: a block's form never changes what is found.
void TestLogSearch::caseRules()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, matchCase);
    QFETCH(bool, found);
    QByteArray bytes;
    for (const QChar c : text)
        bytes.append(char(CodePage::fromUnicode(c).value_or(0)));
    ReceiveLog log;
    log.append(bytes, Notation::Ascii, 0);
    LogText received;
    received.assign(log);
    LogText typed;
    typed.replace(0, 0, text + u"\u2603"_qs);
    QList<const LogText *> forms{&typed};
    if (!bytes.contains('\0'))
        forms.append(&received);
    for (const LogText *form : forms) {
        for (const Direction direction : {Direction::Forward, Direction::Backward})
            QCOMPARE(run(*form, pattern, matchCase, direction, 0).has_value(), found);
    }
}

// The first and the last match of each character's upper and lower case, in a text of
// every byte but 0, as QString finds them.
void TestLogSearch::everyByteFoldsAsItsCharacter()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes.append(char(b));
    ReceiveLog log;
    log.append(bytes, Notation::Ascii, 0);
    LogText text;
    text.assign(log);
    const QString all = textOf(log);
    for (const QChar c : all) {
        for (const QString &pattern : {QString(c.toLower()), QString(c.toUpper())}) {
            for (const bool matchCase : {false, true}) {
                const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
                const std::optional<LogSearch::Match> first = run(text, pattern, matchCase, Direction::Forward, 0);
                const std::optional<LogSearch::Match> last = run(text, pattern, matchCase, Direction::Backward, all.size());
                QCOMPARE(first ? first->from : -1, all.indexOf(pattern, 0, cs));
                QCOMPARE(last ? last->from : -1, all.lastIndexOf(pattern, -1, cs));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestLogSearch)
#include "tst_logsearch.moc"
