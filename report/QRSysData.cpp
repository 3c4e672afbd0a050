#include "report/QRSysData.h"

#include "platform/Regional.h"
#include "report/QRBand.h"
#include "report/QRDateFormat.h"
#include "report/QRReport.h"

TQRSysData::TQRSysData(TQRBand* band) : TQRCustomLabel(band)
{
    SetAutoSize(false);
}

QString TQRSysData::Value(TQRSysDataType data, const TQRReport& report,
                          const TFormatSettings& settings)
{
    switch (data) {
    case qrsTime:
        return QRDateFormat::Format(QRDateFormat::ShortTimeFormat(settings.LongTimeFormat),
                                    report.Clock(), settings);
    case qrsDate: return QRDateFormat::Format(settings.ShortDateFormat, report.Clock(), settings);
    case qrsDateTime: {
        const QDateTime now = report.Clock();
        QString text = QRDateFormat::Format(settings.ShortDateFormat, now, settings);
        if (now.time() != QTime(0, 0))
            text += QLatin1Char(' ') + QRDateFormat::Format(settings.LongTimeFormat, now, settings);
        return text;
    }
    case qrsPageNumber: return QString::number(report.PageNumber());
    case qrsReportTitle: return report.ReportTitle;
    case qrsDetailCount: return QString::number(report.DetailCount());
    case qrsDetailNo: return QString::number(report.DetailNo());
    }
    return {};
}

QString TQRSysData::PrintText()
{
    const TQRReport& report = *Band()->Report();
    QString value = Value(Data, report, Regional::Current());
    if (Data == qrsPageNumber && PageTotal)
        value += TotalText + QString::number(report.PageTotal());
    SetCaption(Text + value);
    return Caption();
}
