#include "report/QRSchedule.h"

#include "controls/NumberFormats.h"
#include "platform/Regional.h"
#include "report/QRBand.h"
#include "report/QRFonts.h"
#include "report/QRLabel.h"
#include "report/QRPageParts.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRShape.h"
#include "report/QRSysData.h"

#include <algorithm>

using namespace QRPageParts;

namespace {
const QString Arial = QStringLiteral("Arial");

// The figures' rows in the title band.
constexpr int FigureTop = 78;
constexpr int FigureRow = 17;
constexpr int FigureRows = 6;
// The extra payments' figures below them: two lists of three, then the note.
constexpr int ExtraTop = FigureTop + FigureRows * FigureRow + 6;
constexpr int ExtraRows = 3;
constexpr int TitleHeight = FigureTop + FigureRows * FigureRow + 14;
constexpr int ExtraTitleHeight = ExtraTop + (ExtraRows + 1) * FigureRow + 14;

QString Money(calc::Cents cents)
{
    return NumberFormats::CentsCurrencyText(cents, Regional::Current());
}
} // namespace

TQRSchedule::TQRSchedule(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("QRSchedule"));
    Rep = new TQRReport(this);
    Rep->setObjectName(QStringLiteral("Rep"));
    Rep->ReportTitle = QString::fromLatin1(Title);
    Rep->Orientation = QPageLayout::Portrait;
    Rep->PaperSize = qrpDefault;
    Rep->TitleBeforeHeader = true;
    connect(Rep, &TQRReport::BeforePrint, this, &TQRSchedule::RepBeforePrint);
    connect(Rep, &TQRReport::OnNeedData, this, &TQRSchedule::RepNeedData);

    TitleBand = new TQRBand(Rep, rbTitle, TitleHeight);
    TitleBand->setObjectName(QStringLiteral("TitleBand"));
    TitleAndDate(TitleBand, QString::fromLatin1(Title), lblTitle, QRDateTime);
    for (int i = 0; i < 2 * FigureRows; ++i) {
        const QString n = QString::number(i + 1);
        m_figureLabels.push_back(
            {Label(TitleBand, "lblFigure" + n, Height9pt, false, taLeftJustify),
             Label(TitleBand, "lblValue" + n, Height9pt, i >= FigureRows, taRightJustify)});
    }
    for (int i = 0; i < 2 * ExtraRows; ++i) {
        const QString n = QString::number(i + 1);
        m_extraLabels.push_back(
            {Label(TitleBand, "lblExtraFigure" + n, Height9pt, false, taLeftJustify),
             Label(TitleBand, "lblExtraValue" + n, Height9pt, true, taRightJustify)});
    }
    lblNote = Label(TitleBand, "lblNote", Height8pt, false, taLeftJustify);

    ColumnHeader = new TQRBand(Rep, rbColumnHeader, 24);
    ColumnHeader->setObjectName(QStringLiteral("ColumnHeader"));
    m_header = MakeRow(ColumnHeader, "Header", true);
    const char* captions[] = {"No.",   "Payment",   "Interest", "Principal",
                              "Extra", "Insurance", "Balance"};
    for (int i = 0; i < 7; ++i)
        m_header[i]->SetCaption(QString::fromLatin1(captions[i]));
    Rule(ColumnHeader, "HeaderRule", 21);

    Detail = new TQRBand(Rep, rbDetail, 18);
    Detail->setObjectName(QStringLiteral("Detail"));
    m_detail = MakeRow(Detail, "Detail", false);
    connect(Detail, &TQRBand::BeforePrint, this, [this](bool&) {
        m_printed = m_current;
        const calc::ScheduleRow& r = m_source.Figures.rows[m_current];
        SetRow(m_detail, QString::number(r.number), r.payment, r.interest, r.principal, r.extra,
               r.mi, Money(r.balance));
    });

    YearFooter = new TQRBand(Rep, rbGroupFooter, 26);
    YearFooter->setObjectName(QStringLiteral("YearFooter"));
    YearFooter->GroupKey = [this] { return (m_source.Figures.rows[m_current].number - 1) / 12; };
    Rule(YearFooter, "YearRule", 1);
    m_year = MakeRow(YearFooter, "Year", true);
    connect(YearFooter, &TQRBand::BeforePrint, this, [this](bool&) {
        // The footer prints before the first row of the next year (or after the last row): the
        // year that ends is the one of the row printed last.
        const int printed = m_source.Figures.rows[m_printed].number;
        const calc::YearTotal& y = m_source.Figures.years[(printed - 1) / 12];
        SetRow(m_year, "Year " + QString::number(y.year), y.payment, y.interest, y.principal,
               y.extra, y.mi, Money(y.balance));
    });

    Summary = new TQRBand(Rep, rbSummary, 34);
    Summary->setObjectName(QStringLiteral("Summary"));
    Rule(Summary, "SummaryRule", 3);
    Rule(Summary, "SummaryRule2", 6);
    m_total = MakeRow(Summary, "Total", true);
    connect(Summary, &TQRBand::BeforePrint, this, [this](bool&) {
        // The totals of the rows printed: the contract's, or those as paid with extra payments.
        calc::ScheduleRow t;
        for (const calc::ScheduleRow& r : m_source.Figures.rows) {
            t.payment += r.payment;
            t.interest += r.interest;
            t.principal += r.principal;
            t.extra += r.extra;
            t.mi += r.mi;
        }
        SetRow(m_total, QStringLiteral("Total"), t.payment, t.interest, t.principal, t.extra, t.mi,
               QString());
    });

    PageFooter = new TQRBand(Rep, rbPageFooter, 24);
    PageFooter->setObjectName(QStringLiteral("PageFooter"));
    lblPageTitle = Label(PageFooter, "lblPageTitle", Height8pt, false, taLeftJustify);
    lblPageTitle->SetCaption(QString::fromLatin1(Title));
    QRPageNumber = new TQRSysData(PageFooter);
    QRPageNumber->setObjectName(QStringLiteral("QRPageNumber"));
    QRPageNumber->Data = qrsPageNumber;
    QRPageNumber->Text = QStringLiteral("Page ");
    QRPageNumber->PageTotal = true;
    QRPageNumber->SetAlignment(taRightJustify);
    QRPageNumber->SetFont(QRFonts::ReportFont(Arial, Height8pt));
}

TQRSchedule::TRow TQRSchedule::MakeRow(TQRBand* band, const char* name, bool bold)
{
    TRow row{};
    for (int i = 0; i < 7; ++i)
        row[i] = Label(band, QStringLiteral("lbl%1%2").arg(QLatin1String(name)).arg(i), Height9pt,
                       bold, i == 0 ? taLeftJustify : taRightJustify);
    return row;
}

void TQRSchedule::SetRow(const TRow& row, const QString& first, calc::Cents payment,
                         calc::Cents interest, calc::Cents principal, calc::Cents extra,
                         calc::Cents mi, const QString& balance)
{
    row[0]->SetCaption(first);
    row[1]->SetCaption(Money(payment));
    row[2]->SetCaption(Money(interest));
    row[3]->SetCaption(Money(principal));
    row[4]->SetCaption(Money(extra));
    row[5]->SetCaption(Money(mi));
    row[6]->SetCaption(balance);
}

void TQRSchedule::PlaceColumns(bool mi, bool extra)
{
    // The printed width is the page's less a margin each side; the first column is narrow and
    // the money columns (four, and extra and insurance where the loan has them) share the rest.
    const int pageWidth = TQRPrinter::Instance().LayoutSize().width();
    const int width = std::max(300, pageWidth - 2 * Margin);
    const int first = 60;
    const int money = (width - first) / (4 + (mi ? 1 : 0) + (extra ? 1 : 0));
    for (const TRow* row : {&m_header, &m_detail, &m_year, &m_total}) {
        int column = 0;
        for (int i = 0; i < 7; ++i) {
            const bool shown = (i != 4 || extra) && (i != 5 || mi);
            (*row)[i]->Visible = shown;
            if (!shown)
                continue;
            const int left = i == 0 ? Margin : Margin + first + (column - 1) * money;
            const int top = row == &m_total ? 11 : row == &m_year ? 5 : 2;
            (*row)[i]->SetBounds(left + (i == 0 ? 2 : 0), top, i == 0 ? first : money, 15);
            ++column;
        }
    }
    for (TQRBand* band : {ColumnHeader, YearFooter, Summary})
        for (TQRPrintable* control : band->Controls())
            if (auto* shape = qobject_cast<TQRShape*>(control))
                shape->Width = width;
    // The figures: two lists side by side, each a caption and its text.
    const int half = width / 2;
    for (int i = 0; i < 2 * FigureRows; ++i) {
        const int left = Margin + 2 + (i < FigureRows ? 0 : half + 8);
        const int top = FigureTop + (i % FigureRows) * FigureRow;
        const int captionWidth = half * 11 / 20;
        m_figureLabels[i].first->SetBounds(left, top, captionWidth, 15);
        m_figureLabels[i].second->SetBounds(left + captionWidth, top, half - captionWidth - 12, 15);
    }
    for (int i = 0; i < 2 * ExtraRows; ++i) {
        const int left = Margin + 2 + (i < ExtraRows ? 0 : half + 8);
        const int top = ExtraTop + (i % ExtraRows) * FigureRow;
        const int captionWidth = half * 11 / 20;
        m_extraLabels[i].first->SetBounds(left, top, captionWidth, 15);
        m_extraLabels[i].second->SetBounds(left + captionWidth, top, half - captionWidth - 12, 15);
    }
    lblNote->SetBounds(Margin + 2, ExtraTop + ExtraRows * FigureRow + 2, width - 4, 14);
    lblPageTitle->SetBounds(Margin + 2, 4, width / 2, 14);
    QRPageNumber->SetBounds(Margin + width / 2, 4, width / 2, 14);
}

void TQRSchedule::RepBeforePrint(bool&)
{
    m_next = 0;
    m_current = 0;
    m_printed = 0;
    const bool extra = !m_source.ExtraFields.empty();
    PlaceColumns(m_source.Figures.totalMI > 0, extra);
    TitleBand->Height = extra ? ExtraTitleHeight : TitleHeight;
    const auto fill = [&](const std::vector<std::pair<QString, QString>>& fields, int from) {
        for (int i = 0; i < FigureRows; ++i) {
            const bool given = i < int(fields.size());
            m_figureLabels[from + i].first->SetCaption(given ? fields[i].first + ':' : QString());
            m_figureLabels[from + i].second->SetCaption(given ? fields[i].second : QString());
        }
    };
    fill(m_source.LoanFields, 0);
    fill(m_source.DisclosureFields, FigureRows);
    for (int i = 0; i < 2 * ExtraRows; ++i) {
        const bool given = i < int(m_source.ExtraFields.size());
        m_extraLabels[i].first->Visible = m_extraLabels[i].second->Visible = given;
        m_extraLabels[i].first->SetCaption(given ? m_source.ExtraFields[i].first + ':' : QString());
        m_extraLabels[i].second->SetCaption(given ? m_source.ExtraFields[i].second : QString());
    }
    lblNote->Visible = extra;
    lblNote->SetCaption(m_source.Note);
}

void TQRSchedule::RepNeedData(bool& moreData)
{
    moreData = m_next < m_source.Figures.rows.size();
    if (moreData)
        m_current = m_next++;
}

void TQRSchedule::Preview()
{
    TQRPrinter::Instance().ProgressCaption = QString::fromLatin1(ProgressCaption);
    Rep->Preview();
}

bool TQRSchedule::PrintToPdf(const QString& path)
{
    return Rep->PrintToPdf(path, QString::fromLatin1(ProgressCaption));
}
