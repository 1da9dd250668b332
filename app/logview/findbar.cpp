#include "findbar.h"

#include "logview.h"

#include <QAction>
#include <QBoxLayout>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {

// A slice looks at places in steps of about half a millisecond until its time is up,
// so that keys wait no longer than a slice.
constexpr qsizetype kStepPlaces = 1 << 20;
constexpr qint64 kSliceMs = 8;
constexpr qint64 kProgressAfterMs = 500;

QToolButton *toolButton(QWidget *bar, const QString &name, const QString &tip)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FindBar::FindBar(LogView *view)
    : QWidget(view)
    , m_view(view)
{
    hide();
    createControls();
    // What the status said was about the pattern as it was.
    connect(m_pattern, &QLineEdit::textEdited, this, [this] { stopSearch(QString()); });
    connect(m_matchCase, &QCheckBox::toggled, this, [this] { stopSearch(QString()); });
    addKeys();
}

// Two rows: the pattern with its buttons, then the option and the status.
void FindBar::createControls()
{
    m_pattern = new QLineEdit(this);
    m_pattern->setObjectName(QStringLiteral("pattern"));
    m_pattern->setPlaceholderText(tr("Find"));
    m_pattern->setAccessibleName(tr("Find"));
    m_matchCase = new QCheckBox(tr("Match case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    QToolButton *previous = toolButton(this, QStringLiteral("previous"), tr("Previous match (Shift+F3)"));
    previous->setArrowType(Qt::UpArrow);
    connect(previous, &QToolButton::clicked, this, [this] { find(LogSearch::Direction::Backward); });
    QToolButton *next = toolButton(this, QStringLiteral("next"), tr("Next match (F3)"));
    next->setArrowType(Qt::DownArrow);
    connect(next, &QToolButton::clicked, this, [this] { find(LogSearch::Direction::Forward); });
    QToolButton *close = toolButton(this, QStringLiteral("close"), tr("Close (Escape)"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    connect(close, &QToolButton::clicked, this, &FindBar::dismiss);

    auto *patternRow = new QHBoxLayout;
    patternRow->addWidget(m_pattern, 1);
    patternRow->addWidget(previous);
    patternRow->addWidget(next);
    patternRow->addWidget(close);
    auto *optionRow = new QHBoxLayout;
    optionRow->addWidget(m_matchCase);
    optionRow->addWidget(m_status, 1);
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    rows->addLayout(patternRow);
    rows->addLayout(optionRow);
}

void FindBar::addKeys()
{
    auto *openAction = new QAction(tr("&Find…"), this);
    openAction->setShortcut(QKeySequence::Find);
    connect(openAction, &QAction::triggered, this, &FindBar::open);
    m_view->addMenuActions({openAction});
    connect(viewKey(QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            [this] { find(LogSearch::Direction::Forward); });
    connect(viewKey(QKeySequence(Qt::SHIFT | Qt::Key_F3)), &QAction::triggered, this,
            [this] { find(LogSearch::Direction::Backward); });
    m_escapeAction = viewKey(QKeySequence(Qt::Key_Escape));
    m_escapeAction->setEnabled(false);
    connect(m_escapeAction, &QAction::triggered, this, &FindBar::escape);
}

// A key of the box that no menu shows; like the menu's, it acts only while the box
// has the focus.
QAction *FindBar::viewKey(const QKeySequence &key)
{
    auto *action = new QAction(this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    m_view->addAction(action);
    return action;
}

void FindBar::open()
{
    m_view->setBottomWidget(this);
    m_escapeAction->setEnabled(true);
    m_pattern->setFocus();
    m_pattern->selectAll();
}

void FindBar::dismiss()
{
    stopSearch(QString());
    m_escapeAction->setEnabled(false);
    m_view->setBottomWidget(nullptr);
    m_view->setFocus();
}

// Next from the end of the selection, previous from its start, so that a match
// just found is passed over.
void FindBar::find(LogSearch::Direction direction)
{
    if (isHidden())
        open();
    if (m_pattern->text().isEmpty())
        return stopSearch(QString());
    const LogEditor &editor = m_view->editor();
    startSearch(direction, direction == LogSearch::Direction::Forward ? editor.selectionEnd() : editor.selectionStart());
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    const auto direction = event->modifiers() & Qt::ShiftModifier ? LogSearch::Direction::Backward
                                                                  : LogSearch::Direction::Forward;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
        return find(direction);
    case Qt::Key_Escape:
        return escape();
    default:
        // What the bar's controls leave alone stops here, or the box behind would type it.
        return event->accept();
    }
}

void FindBar::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_sliceTimer.timerId())
        runSlice();
    else
        QWidget::timerEvent(event);
}

void FindBar::escape()
{
    if (isSearching())
        stopSearch(tr("Stopped"));
    else
        dismiss();
}

// Even the first slice runs from the timer, so that a key pressed meanwhile (Escape)
// always finds the search running.
void FindBar::startSearch(LogSearch::Direction direction, qsizetype from)
{
    m_direction = direction;
    m_from = from;
    m_search.emplace(m_view->editor().text(), SearchPattern(m_pattern->text(), m_matchCase->isChecked()), direction,
                     from);
    m_searchTime.start();
    m_status->clear();
    m_sliceTimer.start(0, this);
}

void FindBar::runSlice()
{
    QElapsedTimer slice;
    slice.start();
    while (m_search->step(kStepPlaces)) {
        if (slice.elapsed() >= kSliceMs) {
            if (m_searchTime.elapsed() >= kProgressAfterMs)
                m_status->setText(tr("Searching… %1%").arg(int(m_search->progress() * 100)));
            return;
        }
    }
    finish();
}

// The search read the text as it was when it began; a match the box no longer holds
// there (an edit, Clear) is looked for again in the text as it is.
void FindBar::finish()
{
    const std::optional<LogSearch::Match> match = m_search->match();
    const bool holds = match && m_search->pattern().matches(m_view->editor().text().mid(match->from, match->to));
    stopSearch(match ? QString() : tr("Not found"));
    if (!match)
        return;
    if (!holds)
        return startSearch(m_direction, m_from);
    const bool forward = m_direction == LogSearch::Direction::Forward;
    m_view->select(forward ? match->from : match->to, forward ? match->to : match->from);
    m_status->setText(match->wrapped ? tr("Wrapped around") : QString());
}

void FindBar::stopSearch(const QString &status)
{
    m_search.reset();
    m_sliceTimer.stop();
    m_status->setText(status);
}
