// Records every message box and answers it, so that no test ever blocks on one.
#pragma once

#include "platform/MessageBox.h"

#include <QList>

class MessageBoxAnswerer {
public:
    // Starts recording; each box is answered with `answer`.
    explicit MessageBoxAnswerer(ModalResult answer = ModalResult::mrOk);
    // Back to the default: boxes are answered OK and a test failure is not raised.
    ~MessageBoxAnswerer();

    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const QList<MessageBoxRecord>& Boxes() const { return m_boxes; }

    // Installed by the test main: answers OK, and reports a box that no test expected.
    static void InstallDefault();

private:
    QList<MessageBoxRecord> m_boxes;
};
