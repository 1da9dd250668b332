#include "lognavigation.h"

#include <QtTest>

// Steps over "Hi\r\nab, cd" (CR LF at 2 and 3) and a surrogate pair at the end.
static const QString kText = u"Hi\r\nab, cd\U0001F600"_qs;

class TestLogNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void steps_data();
    void steps();
    void wordAt_data();
    void wordAt();

private:
    LogText m_text;
};

void TestLogNavigation::init()
{
    m_text.clear();
    m_text.replace(0, 0, kText);
}

void TestLogNavigation::steps_data()
{
    QTest::addColumn<qsizetype>("pos");
    QTest::addColumn<qsizetype>("snapped");
    QTest::addColumn<qsizetype>("next");
    QTest::addColumn<qsizetype>("previous");
    const qsizetype end = kText.size();
    QTest::newRow("before the start") << qsizetype(-3) << qsizetype(0) << qsizetype(1) << qsizetype(0);
    QTest::newRow("start") << qsizetype(0) << qsizetype(0) << qsizetype(1) << qsizetype(0);
    QTest::newRow("before CR LF") << qsizetype(2) << qsizetype(2) << qsizetype(4) << qsizetype(1);
    QTest::newRow("inside CR LF") << qsizetype(3) << qsizetype(4) << qsizetype(5) << qsizetype(2);
    QTest::newRow("after CR LF") << qsizetype(4) << qsizetype(4) << qsizetype(5) << qsizetype(2);
    QTest::newRow("before the pair") << end - 2 << end - 2 << end << end - 3;
    QTest::newRow("inside the pair") << end - 1 << end << end << end - 2;
    QTest::newRow("end") << end << end << end << end - 2;
    QTest::newRow("past the end") << end + 5 << end << end << end - 2;
}

void TestLogNavigation::steps()
{
    QFETCH(qsizetype, pos);
    QFETCH(qsizetype, snapped);
    QFETCH(qsizetype, next);
    QFETCH(qsizetype, previous);
    QCOMPARE(LogNavigation::snapped(m_text, pos), snapped);
    QCOMPARE(LogNavigation::nextPosition(m_text, pos), next);
    QCOMPARE(LogNavigation::previousPosition(m_text, pos), previous);
}

void TestLogNavigation::wordAt_data()
{
    QTest::addColumn<qsizetype>("pos");
    QTest::addColumn<QString>("word");
    QTest::newRow("letters") << qsizetype(5) << u"ab"_qs;
    QTest::newRow("comma alone") << qsizetype(6) << u","_qs;
    QTest::newRow("CR LF whole") << qsizetype(3) << u"\r\n"_qs;
    QTest::newRow("at the end") << qsizetype(kText.size()) << u"cd\U0001F600"_qs;
}

void TestLogNavigation::wordAt()
{
    QFETCH(qsizetype, pos);
    QFETCH(QString, word);
    const auto [from, to] = LogNavigation::wordAt(m_text, pos);
    QCOMPARE(m_text.mid(from, to), word);
}

QTEST_GUILESS_MAIN(TestLogNavigation)
#include "tst_lognavigation.moc"
