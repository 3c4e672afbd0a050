#include "app/LoanSummaryDialog.h"

#include "calc/Errors.h"
#include "controls/NumberFormats.h"
#include "platform/Application.h"
#include "platform/DialogFont.h"
#include "platform/MessageBox.h"
#include "platform/Regional.h"
#include "report/QRPrinter.h"
#include "report/QRSchedule.h"

#include <QClipboard>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <functional>

namespace {
// A count field that says so when a typed number is above its maximum (a plain spin box drops
// the keystroke without a word: 400 typed into a field of at most 360 silently leaves 40).
class TCountBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    std::function<void(const QString& typed)> OnTooLarge;

    QValidator::State validate(QString& input, int& pos) const override
    {
        const QValidator::State state = QSpinBox::validate(input, pos);
        bool number = false;
        const qlonglong typed = input.trimmed().toLongLong(&number);
        if (state == QValidator::Invalid && number && typed > maximum() && OnTooLarge &&
            !m_pending) {
            // Told once the keystroke is refused, outside the validation.
            m_pending = true;
            QMetaObject::invokeMethod(
                const_cast<TCountBox*>(this),
                [this, text = input.trimmed()] {
                    m_pending = false;
                    OnTooLarge(text);
                },
                Qt::QueuedConnection);
        }
        return state;
    }

private:
    mutable bool m_pending = false;
};
} // namespace

TfrmLoanSummary::TfrmLoanSummary(const calc::LoanModel& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_model(model)
{
    setObjectName("frmLoanSummary");
    setWindowTitle("Loan Summary");
    setFont(DialogFont(11));
    setProperty("HelpContext", HelpContextNumber);
    // The program's dialogs: black text on the window colour, white figure panels.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    m_summary = std::make_unique<TLoanSummary>(m_model, 0, 0);
    const auto addFields = [&](const std::vector<TLoanSummary::Figure>& fields, int column,
                               bool bold) {
        int row = 0;
        for (const TLoanSummary::Figure& f : fields) {
            auto* caption = new QLabel(f.label + ':', this);
            auto* value = new QLabel(f.text, this);
            value->setObjectName("lblValue" + QString::number(m_values.size() + 1));
            value->setTextFormat(Qt::PlainText);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // Each figure takes the focus, so that the keyboard and a screen reader reach it,
            // read with its caption, which labels it.
            value->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                           Qt::TextSelectableByKeyboard);
            value->setFocusPolicy(Qt::StrongFocus);
            caption->setBuddy(value);
            value->setFont(DialogFont(11, bold));
            grid->addWidget(caption, row, column);
            grid->addWidget(value, row, column + 1);
            m_values.append(value);
            m_captions.append(caption);
            ++row;
        }
    };
    addFields(m_summary->LoanFields(), 0, false);
    addFields(m_summary->DisclosureFields(), 2, true);
    const int figureRows = grid->rowCount();

    // Beside the disclosure figures while extra payments are entered: whose figures they are.
    lblContractNote = new QLabel(TLoanSummary::ContractNote(), this);
    lblContractNote->setObjectName("lblContractNote");
    lblContractNote->setTextFormat(Qt::PlainText);
    lblContractNote->setWordWrap(true);
    lblContractNote->setFocusPolicy(Qt::StrongFocus);
    lblContractNote->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    grid->addWidget(lblContractNote, figureRows, 2, 1, 2);
    // The extra payments' figures, two to a row under the others, each read with its caption.
    for (int i = 0; i < ExtraFigureCount; ++i) {
        auto* caption = new QLabel(this);
        auto* value = new QLabel(this);
        value->setObjectName("lblExtra" + QString::number(i + 1));
        value->setTextFormat(Qt::PlainText);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setFocusPolicy(Qt::StrongFocus);
        caption->setBuddy(value);
        grid->addWidget(caption, figureRows + 1 + i / 2, 2 * (i % 2));
        grid->addWidget(value, figureRows + 1 + i / 2, 2 * (i % 2) + 1);
        m_extraCaptions.append(caption);
        m_extraValues.append(value);
        caption->hide();
        value->hide();
    }
    lblContractNote->hide();

    auto* insurance = new QHBoxLayout;
    auto* miCaption = new QLabel("Monthly &mortgage insurance:", this);
    edtMI = new QDoubleSpinBox(this);
    edtMI->setObjectName("edtMI");
    edtMI->setDecimals(2);
    edtMI->setRange(0, 999999999.99);
    edtMI->setPrefix("$");
    edtMI->setGroupSeparatorShown(true);
    miCaption->setBuddy(edtMI);
    auto* monthsCaption = new QLabel("for &payments:", this);
    auto* months = new TCountBox(this);
    edtMIMonths = months;
    edtMIMonths->setObjectName("edtMIMonths");
    edtMIMonths->setRange(0, m_model.User().n);
    months->OnTooLarge = [this](const QString& typed) {
        MessageBox(QStringLiteral("The number of payments with mortgage insurance must be from "
                                  "0 to %1, not %2.")
                       .arg(m_model.User().n)
                       .arg(typed),
                   QStringLiteral("Tallyhorn"), MessageIcon::Information, MessageButtons::Ok, this);
    };
    monthsCaption->setBuddy(edtMIMonths);
    insurance->addWidget(miCaption);
    insurance->addWidget(edtMI);
    insurance->addSpacing(8);
    insurance->addWidget(monthsCaption);
    insurance->addWidget(edtMIMonths);
    insurance->addStretch();

    // Extra principal: an amount each month from a payment on, and one-time payments.
    auto* extra = new QHBoxLayout;
    auto* extraCaption = new QLabel("&Extra principal each month:", this);
    edtExtra = new QDoubleSpinBox(this);
    edtExtra->setObjectName("edtExtra");
    edtExtra->setDecimals(2);
    edtExtra->setRange(0, 999999999.99);
    edtExtra->setPrefix("$");
    edtExtra->setGroupSeparatorShown(true);
    extraCaption->setBuddy(edtExtra);
    auto* fromCaption = new QLabel("from pa&yment:", this);
    auto* from = new TCountBox(this);
    edtExtraFrom = from;
    edtExtraFrom->setObjectName("edtExtraFrom");
    edtExtraFrom->setRange(1, m_model.User().n);
    from->OnTooLarge = [this](const QString& typed) {
        MessageBox(QStringLiteral("The extra principal can start from payment 1 to %1, not %2.")
                       .arg(m_model.User().n)
                       .arg(typed),
                   QStringLiteral("Tallyhorn"), MessageIcon::Information, MessageButtons::Ok, this);
    };
    fromCaption->setBuddy(edtExtraFrom);
    extra->addWidget(extraCaption);
    extra->addWidget(edtExtra);
    extra->addSpacing(8);
    extra->addWidget(fromCaption);
    extra->addWidget(edtExtraFrom);
    extra->addStretch();

    auto* lumps = new QHBoxLayout;
    auto* lumpsCaption = new QLabel("&One-time payments:", this);
    edtLumps = new QLineEdit(this);
    edtLumps->setObjectName("edtLumps");
    edtLumps->setPlaceholderText("month:amount, e.g. 60:10000, 120:5000");
    edtLumps->setAccessibleDescription(
        "Payment month and amount, separated by a colon; several separated by commas");
    edtLumps->setMinimumWidth(260);
    lumpsCaption->setBuddy(edtLumps);
    lumps->addWidget(lumpsCaption);
    lumps->addWidget(edtLumps, 1);

    lblExtraMessage = new QLabel(this);
    lblExtraMessage->setObjectName("lblExtraMessage");
    lblExtraMessage->setTextFormat(Qt::PlainText);
    lblExtraMessage->setWordWrap(true);
    QPalette red = lblExtraMessage->palette();
    red.setColor(QPalette::WindowText, QColor(160, 0, 0));
    lblExtraMessage->setPalette(red);
    lblExtraMessage->hide();

    lblMessage = new QLabel(this);
    lblMessage->setObjectName("lblMessage");
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);
    lblMessage->hide(); // shown while it has something to say

    btnPreview = new QPushButton("Preview Schedule", this);
    btnPreview->setObjectName("btnPreview");
    btnCopy = new QPushButton("Copy", this);
    btnCopy->setObjectName("btnCopy");
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnPreview);
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(insurance);
    layout->addLayout(extra);
    layout->addLayout(lumps);
    layout->addWidget(lblExtraMessage);
    layout->addWidget(lblMessage);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto guarded = [this](auto f) { return [this, f] { Application::Guard(this, f); }; };
    connect(edtMI, &QDoubleSpinBox::valueChanged, this, guarded([this] { Recalculate(); }));
    connect(edtMIMonths, &QSpinBox::valueChanged, this, guarded([this] { Recalculate(); }));
    connect(edtExtra, &QDoubleSpinBox::valueChanged, this, guarded([this] { Recalculate(); }));
    connect(edtExtraFrom, &QSpinBox::valueChanged, this, guarded([this] { Recalculate(); }));
    connect(edtLumps, &QLineEdit::textChanged, this, guarded([this] { Recalculate(); }));
    connect(btnPreview, &QPushButton::clicked, this, guarded([this] { PreviewSchedule(); }));
    connect(btnCopy, &QPushButton::clicked, this, guarded([this] { CopyFigures(); }));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

TfrmLoanSummary::~TfrmLoanSummary() = default;

void TfrmLoanSummary::Recalculate()
{
    // Insurance needs both an amount and a number of payments; until both are given the
    // figures are those without it, and the message says so.
    const double mi = edtMI->value();
    const int months = edtMIMonths->value();
    m_summary = std::make_unique<TLoanSummary>(m_model, mi, months);
    int i = 0;
    for (const auto& list : {m_summary->LoanFields(), m_summary->DisclosureFields()})
        for (const TLoanSummary::Figure& f : list) {
            m_captions[i]->setText(f.label + ':');
            m_values[i++]->setText(f.text);
        }
    lblMessage->setText((mi > 0) != (months > 0)
                            ? QStringLiteral("Mortgage insurance counts once both its amount and "
                                             "its number of payments are above 0.")
                            : QString());
    lblMessage->setVisible(!lblMessage->text().isEmpty());
    const bool extras = ApplyExtras();
    const std::vector<TLoanSummary::Figure> figures =
        extras ? m_summary->ExtraFields() : std::vector<TLoanSummary::Figure>{};
    for (int e = 0; e < m_extraValues.size(); ++e) {
        const bool shown = e < static_cast<int>(figures.size());
        m_extraCaptions[e]->setText(shown ? figures[e].label + ':' : QString());
        m_extraValues[e]->setText(shown ? figures[e].text : QString());
        m_extraCaptions[e]->setVisible(shown);
        m_extraValues[e]->setVisible(shown);
    }
    lblContractNote->setVisible(!figures.empty());
}

bool TfrmLoanSummary::ApplyExtras()
{
    calc::ExtraPayments extra;
    extra.monthly = edtExtra->value();
    extra.fromMonth = edtExtraFrom->value();
    try {
        extra.lumps = ParseLumps(edtLumps->text());
        m_summary->SetExtraPayments(extra);
    } catch (const calc::EConvertError& e) {
        lblExtraMessage->setText(QString::fromStdString(e.what()));
        lblExtraMessage->show();
        return false;
    } catch (const calc::ERangeError& e) {
        lblExtraMessage->setText(QString::fromStdString(e.what()));
        lblExtraMessage->show();
        return false;
    }
    // No room is kept for a message that is not there.
    lblExtraMessage->clear();
    lblExtraMessage->hide();
    return extra.Any();
}

std::vector<calc::LumpSum> TfrmLoanSummary::ParseLumps(const QString& text)
{
    // A comma starts a new entry only where a month and a colon follow it: elsewhere it
    // groups the digits of an amount ("60:10,000, 120:5,000").
    static const QRegularExpression separators(QStringLiteral("[;\\s]+|,(?=\\s*\\d+\\s*:)"));
    static const QRegularExpression entry(QStringLiteral("^(\\d+):(.+)$"));
    const TFormatSettings& settings = Regional::Current();
    std::vector<calc::LumpSum> lumps;
    QString joined = text;
    joined.replace(QRegularExpression(QStringLiteral("\\s*:\\s*")), QStringLiteral(":"));
    for (const QString& part : joined.split(separators, Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = entry.match(part);
        QString amount = match.hasMatch() ? match.captured(2) : QString();
        amount.remove(settings.ThousandSeparator);
        double value = 0;
        if (!match.hasMatch() || !NumberFormats::TryTextToFloat(amount, value, settings))
            throw calc::EConvertError(QStringLiteral("One-time payment \"%1\" is not a month and "
                                                     "an amount: write month:amount, for example "
                                                     "60:10000.")
                                          .arg(part)
                                          .toStdString());
        bool ok = false;
        const int month = match.captured(1).toInt(&ok);
        if (!ok)
            throw calc::EConvertError(
                QStringLiteral("One-time payment \"%1\": month %2 is not a payment of this loan.")
                    .arg(part, match.captured(1))
                    .toStdString());
        lumps.push_back({month, value});
    }
    return lumps;
}

void TfrmLoanSummary::PreviewSchedule()
{
    // One report at a time: a preview or print already running keeps the page store.
    if (TQRPrinter::Instance().State() != TQRPrinterState::Idle)
        return;
    if (!m_report)
        m_report = new TQRSchedule(this);
    m_report->SetSource(m_summary->Source());
    m_report->Preview();
}

void TfrmLoanSummary::CopyFigures()
{
    QGuiApplication::clipboard()->setText(m_summary->CopyText());
}
