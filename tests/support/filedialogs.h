#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

// Answers the next file dialog as an operator would: once it is open, picks the
// filter (when one is given), types the path and accepts. Call it before whatever
// opens the dialog; the dialog's own event loop runs the answer. The answer is given
// again until the dialog has gone: a dialog still reading its folder may put its own
// text over the typed name and so refuse the first one.
inline void answerFileDialog(const QString &path, const QString &filter = QString())
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path, filter, answered = false]() mutable {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (answered)
                poll->deleteLater();
            return;
        }
        answered = true;
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    poll->start();
}
