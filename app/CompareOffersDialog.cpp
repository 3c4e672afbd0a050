// The Compare Offers dialog's construction, columns, keys and tab order; the figures, Copy and
// Preview are in CompareOffersFigures.cpp.
#include "app/CompareOffersDialog.h"

#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "loan/OfferComparison.h"
#include "platform/Application.h"
#include "platform/DialogFont.h"
#include "report/QROfferComparison.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
constexpr int FieldHeight = 22;

// The captions on the screen and the names a screen reader gives each offer's field
// ("Offer 2, Note Rate"). The captions are no buddies: a reader would name the first offer's
// fields by the caption alone.
struct Input {
    const char* caption;
    const char* name;
    const char* description;
};
constexpr Input Inputs[TfrmCompareOffers::InputCount] = {
    {"Loan Amount:", "Loan Amount", ""},
    {"Term in Years:", "Term in Years", ""},
    {"Note Rate (%):", "Note Rate", "Annual percent"},
    {"Points (% of loan):", "Points", "Percent of the loan, paid at closing"},
    {"Other Prepaid Finance Charges:", "Other Prepaid Finance Charges",
     "Dollars paid at closing that are finance charges"},
    {"Other Loan Costs:", "Other Loan Costs",
     "Dollars paid at closing that are not finance charges: appraisal, title and the like"},
    {"Mortgage Insurance (monthly):", "Mortgage Insurance", "Dollars a month"},
    {"Insurance Payments:", "Mortgage Insurance Payments",
     "The number of payments that carry mortgage insurance"},
};

TNumEdit* MoneyField(QWidget* parent)
{
    auto* edit = new TNumEdit(parent);
    edit->SetDecimals(2);
    edit->SetDigits(12);
    edit->SetUseRounding(true);
    edit->SetValidate(false);
    edit->SetMin(0);
    return edit;
}

TFnpNumericEdit* NumberField(QWidget* parent, int decimals, double min, double max)
{
    auto* edit = new TFnpNumericEdit(parent);
    edit->SetAlignment(taRightJustify);
    edit->SetDecimals(decimals);
    edit->SetMinValue(min);
    edit->SetMaxValue(max);
    return edit;
}
} // namespace

TfrmCompareOffers::TfrmCompareOffers(std::vector<calc::Offer> offers, const calc::Offer& added,
                                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_added(added)
{
    setObjectName("frmCompareOffers");
    setWindowTitle("Compare Offers");
    setFont(DialogFont(11));
    setProperty("HelpContext", HelpContextNumber);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    auto* inputs = m_inputGrid = new QGridLayout;
    inputs->setHorizontalSpacing(8);
    inputs->setVerticalSpacing(4);
    for (int row = 0; row < InputCount; ++row) {
        m_captions[row] = new QLabel(Inputs[row].caption, this);
        inputs->addWidget(m_captions[row], row + 1, 0);
    }
    for (int i = 0; i < calc::MaxOffers; ++i) {
        CreateColumn(i);
        const Column& c = m_columns[i];
        inputs->addWidget(c.heading, 0, i + 1);
        for (int row = 0; row < InputCount; ++row)
            inputs->addWidget(c.Inputs()[row], row + 1, i + 1);
        inputs->addWidget(c.message, InputCount + 1, i + 1, Qt::AlignTop);
        inputs->setColumnMinimumWidth(i + 1, OfferWidth);
    }
    inputs->setColumnStretch(calc::MaxOffers + 1, 1);

    grdFigures = new QTableWidget(this);
    grdFigures->setObjectName("grdFigures");
    grdFigures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdFigures->setSelectionMode(QAbstractItemView::SingleSelection);
    grdFigures->setTabKeyNavigation(false); // Tab leaves the table; the arrows move in it
    grdFigures->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdFigures->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdFigures->setWordWrap(false);
    grdFigures->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdFigures->horizontalHeader()->setDefaultSectionSize(OfferWidth + 8);
    grdFigures->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdFigures->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The captions show in the table's first column; the row headers name the rows only to a
    // screen reader.
    grdFigures->verticalHeader()->hide();
    grdFigures->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    grdFigures->setAccessibleName("Figures of the offers");
    grdFigures->setAccessibleDescription("One row per figure, one column per offer");

    auto* pairs = new QGridLayout;
    pairs->setHorizontalSpacing(12);
    pairs->setVerticalSpacing(2);
    for (int i = 0; i < MaxPairs; ++i) {
        m_pairCaptions[i] = new QLabel(this);
        m_pairTexts[i] = new QLabel(this);
        QLabel* text = m_pairTexts[i];
        text->setObjectName("lblPair" + QString::number(i + 1));
        text->setTextFormat(Qt::PlainText);
        // Reached by the keyboard and read with its caption, as the Loan Summary's figures.
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        text->setFocusPolicy(Qt::StrongFocus);
        m_pairCaptions[i]->setBuddy(text);
        pairs->addWidget(m_pairCaptions[i], i, 0);
        pairs->addWidget(text, i, 1);
    }
    pairs->setColumnStretch(2, 1);

    lblNote = new QLabel(this);
    lblNote->setObjectName("lblNote");
    lblNote->setTextFormat(Qt::PlainText);
    lblNote->setWordWrap(true);

    btnAdd = new QPushButton("&Add Offer", this);
    btnAdd->setObjectName("btnAdd");
    btnRemove = new QPushButton("&Remove Offer", this);
    btnRemove->setObjectName("btnRemove");
    btnCopy = new QPushButton("&Copy", this);
    btnCopy->setObjectName("btnCopy");
    btnCopy->setAccessibleDescription("Copies the figures as tab-separated text");
    btnPreview = new QPushButton("Pre&view", this);
    btnPreview->setObjectName("btnPreview");
    btnPreview->setAccessibleDescription("Shows the Offer Comparison report in the preview");
    btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnRemove);
    buttons->addStretch();
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnPreview);
    buttons->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addSpacing(6);
    layout->addWidget(grdFigures);
    layout->addLayout(pairs);
    layout->addWidget(lblNote);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto guarded = [this](auto f) { return [this, f] { Application::Guard(this, f); }; };
    connect(btnAdd, &QPushButton::clicked, this, guarded([this] { AddOffer(); }));
    connect(btnRemove, &QPushButton::clicked, this, guarded([this] { RemoveOffer(); }));
    connect(btnCopy, &QPushButton::clicked, this, guarded([this] { CopyFigures(); }));
    connect(btnPreview, &QPushButton::clicked, this, guarded([this] { PreviewReport(); }));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);

    offers.resize(std::clamp<size_t>(offers.size(), calc::MinOffers, calc::MaxOffers), added);
    for (size_t i = 0; i < offers.size(); ++i)
        SetOffer(static_cast<int>(i), offers[i]);
    ShowCount(static_cast<int>(offers.size()));
    // The dialog is for typing offers: it opens on the first offer's loan amount.
    m_columns[0].loan->setFocus(Qt::OtherFocusReason);
}

TfrmCompareOffers::~TfrmCompareOffers() = default;

std::array<QWidget*, TfrmCompareOffers::InputCount> TfrmCompareOffers::Column::Inputs() const
{
    return {loan, term, rate, points, fees, costs, mi, miMonths};
}

void TfrmCompareOffers::CreateColumn(int index)
{
    Column& c = m_columns[index];
    const QString offer = QStringLiteral("Offer %1").arg(index + 1);
    c.heading = new QLabel(offer, this);
    c.heading->setFont(DialogFont(11, true));
    c.heading->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    c.loan = MoneyField(this);
    c.term = NumberField(this, 0, 1, 50);
    c.rate = NumberField(this, 3, 0, 99.999);
    c.points = NumberField(this, 3, 0, 99.999);
    c.fees = MoneyField(this);
    c.costs = MoneyField(this);
    c.mi = MoneyField(this);
    c.miMonths = NumberField(this, 0, 0, 600);
    const auto fields = c.Inputs();
    static const char* const names[InputCount] = {"edtLoan", "edtTerm",  "edtRate", "edtPoints",
                                                  "edtFees", "edtCosts", "edtMI",   "edtMIMonths"};
    for (int row = 0; row < InputCount; ++row) {
        QWidget* field = fields[row];
        field->setObjectName(names[row] + QString::number(index + 1));
        field->setFixedSize(OfferWidth, FieldHeight);
        field->setAccessibleName(offer + ", " + Inputs[row].name);
        field->setAccessibleDescription(Inputs[row].description);
        field->installEventFilter(this);
    }
    const auto recalculate = [this] { Application::Guard(this, [this] { Recalculate(); }); };
    for (TNumEdit* e : {c.loan, c.fees, c.costs, c.mi})
        connect(e, &TNumEdit::OnExit, this, recalculate);
    for (TFnpNumericEdit* e : {c.term, c.rate, c.points, c.miMonths})
        connect(e, &TFnpNumericEdit::OnExit, this, recalculate);

    c.message = new QLabel(this);
    c.message->setObjectName("lblMessage" + QString::number(index + 1));
    c.message->setTextFormat(Qt::PlainText);
    c.message->setWordWrap(true);
    c.message->setFixedWidth(OfferWidth);
    QPalette red = c.message->palette();
    red.setColor(QPalette::WindowText, QColor(160, 0, 0));
    c.message->setPalette(red);
}

void TfrmCompareOffers::SetOffer(int index, const calc::Offer& o)
{
    const Column& c = m_columns[index];
    c.loan->SetValue(o.loan);
    c.term->SetValue(o.term);
    c.rate->SetValue(o.rate);
    c.points->SetValue(o.points);
    c.fees->SetValue(o.fees);
    c.costs->SetValue(o.costs);
    c.mi->SetValue(o.mi);
    c.miMonths->SetValue(o.miMonths);
}

calc::Offer TfrmCompareOffers::OfferAt(int index) const
{
    const Column& c = m_columns[index];
    calc::Offer o;
    o.loan = c.loan->Value();
    o.term = c.term->Value();
    o.rate = c.rate->Value();
    o.points = c.points->Value();
    o.fees = c.fees->Value();
    o.costs = c.costs->Value();
    o.mi = c.mi->Value();
    // A whole number of at most a few digits: its field has no decimals.
    o.miMonths = static_cast<int>(std::clamp(c.miMonths->Value(), -1.0, 1e6));
    return o;
}

std::vector<calc::Offer> TfrmCompareOffers::Offers() const
{
    std::vector<calc::Offer> offers;
    for (int i = 0; i < m_count; ++i)
        offers.push_back(OfferAt(i));
    return offers;
}

void TfrmCompareOffers::ShowCount(int count)
{
    m_count = count;
    for (int i = 0; i < calc::MaxOffers; ++i) {
        const Column& c = m_columns[i];
        c.heading->setVisible(i < count);
        for (QWidget* field : c.Inputs())
            field->setVisible(i < count);
        if (i >= count)
            c.message->hide(); // a shown offer's message shows while it has one
    }
    btnAdd->setEnabled(count < calc::MaxOffers);
    btnRemove->setEnabled(count > calc::MinOffers);
    btnRemove->setText(QStringLiteral("&Remove Offer %1").arg(count));
    SetTabOrder();
    Recalculate();
}

void TfrmCompareOffers::AddOffer()
{
    if (m_count >= calc::MaxOffers)
        return;
    SetOffer(m_count, m_added);
    ShowCount(m_count + 1);
    m_columns[m_count - 1].loan->setFocus(Qt::TabFocusReason);
}

void TfrmCompareOffers::RemoveOffer()
{
    if (m_count <= calc::MinOffers)
        return;
    ShowCount(m_count - 1);
    // The button stays a tab stop while enabled; at two offers the focus goes to Add Offer.
    if (!btnRemove->isEnabled())
        btnAdd->setFocus(Qt::TabFocusReason);
}

void TfrmCompareOffers::SetTabOrder()
{
    // Each offer's fields top to bottom, offer after offer; then the figures and the buttons.
    QWidget* previous = nullptr;
    for (int i = 0; i < m_count; ++i)
        for (QWidget* field : m_columns[i].Inputs()) {
            if (previous)
                setTabOrder(previous, field);
            previous = field;
        }
    QList<QWidget*> rest{grdFigures};
    for (QLabel* text : m_pairTexts)
        rest << text;
    rest << btnAdd << btnRemove << btnCopy << btnPreview << btnClose;
    for (QWidget* next : rest) {
        setTabOrder(previous, next);
        previous = next;
    }
}

bool TfrmCompareOffers::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in a field moves on to the next field, as Tab does (leaving it takes its number).
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            Application::Guard(this, [this] { focusNextChild(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmCompareOffers::done(int result)
{
    // The field being edited is left first, so that its number counts and is kept.
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == this)
        setFocus(Qt::OtherFocusReason);
    QDialog::done(result);
}
