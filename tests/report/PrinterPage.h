// Gives the shared printer a page of a chosen size for one test (a PDF file output with no
// margins, so the printable area is the whole sheet) and puts the old settings back after.
#pragma once

#include "report/QRPrinter.h"

#include <QPageLayout>
#include <QPrinter>
#include <QTemporaryDir>

class PrinterPage {
public:
    // `width` x `height` in report units (1/96 inch).
    PrinterPage(int width, int height)
        : m_layout(TQRPrinter::Instance().Printer().pageLayout()),
          m_file(TQRPrinter::Instance().Printer().outputFileName())
    {
        QPrinter& printer = TQRPrinter::Instance().Printer();
        printer.setOutputFileName(File());
        printer.setPageLayout(
            QPageLayout(QPageSize(QSizeF(width / 96.0, height / 96.0), QPageSize::Inch),
                        QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    }
    ~PrinterPage()
    {
        TQRPrinter& store = TQRPrinter::Instance();
        store.Cleanup();
        store.Printer().setOutputFileName(m_file);
        store.Printer().setPageLayout(m_layout);
    }
    QString File() const { return m_dir.path() + "/report.pdf"; }

private:
    QTemporaryDir m_dir;
    QPageLayout m_layout;
    QString m_file;
};
