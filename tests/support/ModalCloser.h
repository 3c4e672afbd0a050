// A watcher for the modal windows a command opens, for the tests of the window's commands.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Closes every modal window that opens while it exists, after handing it to `inspect`. Given
// `only`, it leaves other windows alone (the report's progress window).
class ModalCloser {
public:
    explicit ModalCloser(std::function<void(QWidget*)> inspect = {}, const QString& only = {})
        : m_inspect(std::move(inspect))
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this, only] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || m_seen.contains(modal) ||
                (!only.isEmpty() && modal->objectName() != only))
                return;
            m_seen.append(modal);
            m_names.append(modal->objectName());
            if (m_inspect)
                m_inspect(modal);
            modal->close();
        });
        m_timer.start();
    }
    const QStringList& Names() const { return m_names; }

private:
    std::function<void(QWidget*)> m_inspect;
    QTimer m_timer;
    QList<QPointer<QWidget>> m_seen;
    QStringList m_names;
};
