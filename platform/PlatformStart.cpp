#include "platform/PlatformStart.h"

#include <QByteArray>
#include <QList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString message;
};

QtMessageHandler previousHandler = nullptr;
QByteArray failure;
QList<HeldMessage> held;

void HoldMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fputs(failure.constData(), stderr);
        std::fflush(stderr);
        std::_Exit(TPlatformStart::FailureStatus);
    }
    held.append({type, context.file, context.function, context.category, context.line, message});
}

} // namespace

TPlatformStart::TPlatformStart(const QString& failureLine)
{
    failure = (failureLine + '\n').toLocal8Bit();
    held.clear();
    previousHandler = qInstallMessageHandler(HoldMessages);
}

TPlatformStart::~TPlatformStart()
{
    qInstallMessageHandler(previousHandler);
    const QList<HeldMessage> messages = std::exchange(held, {});
    for (const HeldMessage& m : messages) {
        const QMessageLogContext context(m.file.isNull() ? nullptr : m.file.constData(), m.line,
                                         m.function.isNull() ? nullptr : m.function.constData(),
                                         m.category.isNull() ? nullptr : m.category.constData());
        if (previousHandler)
            previousHandler(m.type, context, m.message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(m.type, context, m.message)));
    }
}
