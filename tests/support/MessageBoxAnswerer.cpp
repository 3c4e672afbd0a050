#include "tests/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

MessageBoxAnswerer::MessageBoxAnswerer(ModalResult answer)
{
    SetMessageBoxHook([this, answer](const MessageBoxRecord& box) {
        m_boxes.append(box);
        return answer;
    });
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    InstallDefault();
}

void MessageBoxAnswerer::InstallDefault()
{
    SetMessageBoxHook([](const MessageBoxRecord& box) {
        ADD_FAILURE() << "unexpected message box: " << box.text.toStdString();
        return ModalResult::mrOk;
    });
}
