#include "findbar.h"
#include "logview.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using ReceiveNotation::Notation;

// "ok" three times, at 0, 4 and 8; only the last in capitals.
static constexpr char kReceived[] = "ok1 ok2 OK3";

class TestFindBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensOnlyFromTheBoxAndTakesItsLowerLines();
    void keysMoveBetweenMatches_data();
    void keysMoveBetweenMatches();
    void escapeStopsAFindThenCloses();

private:
    QLineEdit *pattern() const { return m_bar->findChild<QLineEdit *>(QStringLiteral("pattern")); }
    QString status() const { return m_bar->findChild<QLabel *>(QStringLiteral("status"))->text(); }
    void typePattern(const QString &text);

    std::unique_ptr<QWidget> m_window;
    LogView *m_view = nullptr;
    FindBar *m_bar = nullptr;
    QLineEdit *m_other = nullptr; // another box of the window, as the transmit box is
    ReceiveLog m_log;
};

void TestFindBar::init()
{
    m_window = std::make_unique<QWidget>();
    auto *column = new QVBoxLayout(m_window.get());
    m_view = new LogView;
    m_other = new QLineEdit;
    column->addWidget(m_view);
    column->addWidget(m_other);
    m_bar = new FindBar(m_view);
    m_window->resize(300, 300);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_log.clear();
    m_log.append(QByteArrayView(kReceived), Notation::Ascii, 0);
    m_view->showLog(m_log);
    m_view->setFocus();
}

void TestFindBar::cleanup()
{
    m_window.reset();
}

void TestFindBar::typePattern(const QString &text)
{
    QTest::keyClick(m_view, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(pattern(), text);
}

void TestFindBar::opensOnlyFromTheBoxAndTakesItsLowerLines()
{
    const QRect box = m_view->geometry();
    const QRect lines = m_view->viewport()->geometry();
    m_other->setFocus();
    QTest::keyClick(m_other, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(m_bar->isHidden());

    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(m_bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), pattern());
    QCOMPARE(m_view->geometry(), box);
    const QRect shrunk = m_view->viewport()->geometry();
    QCOMPARE(shrunk.height(), lines.height() - m_bar->height());
    QCOMPARE(m_bar->geometry(), QRect(shrunk.left(), shrunk.bottom() + 1, shrunk.width(), m_bar->height()));
    // A key the bar's controls leave alone never reaches the box behind it.
    QTest::keyClick(m_bar->findChild<QCheckBox *>(QStringLiteral("matchCase")), Qt::Key_X);
    QCOMPARE(m_view->toPlainText(), QString::fromLatin1(kReceived));

    QTest::keyClick(pattern(), Qt::Key_Escape);
    QVERIFY(m_bar->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_view);
    QCOMPARE(m_view->viewport()->geometry(), lines);
}

void TestFindBar::keysMoveBetweenMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QList<QKeyCombination>>("keys");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<QString>("said");

    using Keys = QList<QKeyCombination>;
    const QKeyCombination enter = Qt::Key_Return;
    const QKeyCombination back = Qt::SHIFT | Qt::Key_Return;
    const QKeyCombination f3 = Qt::Key_F3;
    const QKeyCombination backF3 = Qt::SHIFT | Qt::Key_F3;
    const QString wrapped = QStringLiteral("Wrapped around");
    QTest::newRow("Enter finds the first") << u"OK"_qs << false << Keys{enter} << qsizetype(0) << QString();
    QTest::newRow("Enter again the next") << u"OK"_qs << false << Keys{enter, enter} << qsizetype(4) << QString();
    QTest::newRow("F3 as Enter") << u"OK"_qs << false << Keys{f3, f3, f3} << qsizetype(8) << QString();
    QTest::newRow("past the last wraps") << u"OK"_qs << false << Keys{enter, enter, enter, f3} << qsizetype(0) << wrapped;
    QTest::newRow("Shift+Enter before the first wraps") << u"ok"_qs << false << Keys{back} << qsizetype(8) << wrapped;
    QTest::newRow("Shift+F3 goes back") << u"ok"_qs << false << Keys{enter, enter, backF3} << qsizetype(0) << QString();
    QTest::newRow("match case") << u"OK"_qs << true << Keys{enter, enter} << qsizetype(8) << wrapped;
    QTest::newRow("not found") << u"ko"_qs << false << Keys{enter} << qsizetype(-1) << u"Not found"_qs;
}

// From a caret at the start; the box selects each match found, and nothing when none is.
void TestFindBar::keysMoveBetweenMatches()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(QList<QKeyCombination>, keys);
    QFETCH(qsizetype, from);
    QFETCH(QString, said);
    m_view->select(0, 0);
    typePattern(text);
    m_bar->findChild<QCheckBox *>(QStringLiteral("matchCase"))->setChecked(matchCase);
    for (const QKeyCombination key : keys) {
        QTest::keyClick(pattern(), key.key(), key.keyboardModifiers());
        QTRY_VERIFY(!m_bar->isSearching());
    }
    const LogEditor &editor = m_view->editor();
    QCOMPARE(editor.selectionStart(), std::max<qsizetype>(from, 0));
    QCOMPARE(editor.selectionEnd(), from < 0 ? 0 : from + text.size());
    QCOMPARE(status(), said);
    QCOMPARE(QApplication::focusWidget(), pattern());
}

void TestFindBar::escapeStopsAFindThenCloses()
{
    typePattern(u"ok"_qs);
    QTest::keyClick(pattern(), Qt::Key_Return);
    QVERIFY(m_bar->isSearching());
    QTest::keyClick(pattern(), Qt::Key_Escape);
    QVERIFY(!m_bar->isSearching());
    QCOMPARE(status(), u"Stopped"_qs);
    QVERIFY(m_bar->isVisible());
    QVERIFY(!m_view->editor().hasSelection());

    m_view->setFocus();
    QTest::keyClick(m_view, Qt::Key_Escape);
    QVERIFY(m_bar->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_view);
}

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
