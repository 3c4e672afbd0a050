// What a PDF file says, read with the poppler tools: its text laid out as on the page, its
// page count and its title.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

struct PdfText {
    QString Text;
    int Pages = 0;
    QString Title;

    static bool Available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
    }

    static PdfText Read(const QString& path)
    {
        PdfText result;
        result.Text = Run(QStringLiteral("pdftotext"),
                          {QStringLiteral("-layout"), path, QStringLiteral("-")});
        const QString info = Run(QStringLiteral("pdfinfo"), {path});
        const auto pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                              QRegularExpression::MultilineOption)
                               .match(info);
        result.Pages = pages.hasMatch() ? pages.captured(1).toInt() : 0;
        const auto title = QRegularExpression(QStringLiteral("^Title:\\s+(.*)$"),
                                              QRegularExpression::MultilineOption)
                               .match(info);
        result.Title = title.hasMatch() ? title.captured(1).trimmed() : QString();
        return result;
    }

private:
    static QString Run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};
