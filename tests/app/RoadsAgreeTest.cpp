// Every road a loan's figures take to the user agrees to the cent: the calculator window's
// fields as a user types them, the APR chart its print command lays out, its Loan Summary, and
// the schedule command's text, CSV, JSON and printed report, for 300 random loans (halves of a
// cent among them); and all of them with the independent exact computation
// (tests/app/data/roads_reference.py, one process for all the loans).
#include "app/LoanSummaryDialog.h"
#include "app/Main.h"
#include "cli/CommandLine.h"
#include "cli/CommandRunner.h"
#include "controls/ExplBtn.h"
#include "platform/RadioGroup.h"
#include "report/QRAPRChart.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "tests/report/PdfText.h"
#include "tests/support/FindChild.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <cmath>
#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <random>

namespace {

using Cents = long long;

QString CentsText(Cents c)
{
    return QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0'));
}

// Thousandths as the shortest text a user types: "12", "12.5", "12.345".
QString ThousandthsText(long long t)
{
    QString text = QStringLiteral("%1.%2").arg(t / 1000).arg(t % 1000, 3, 10, QLatin1Char('0'));
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// "$1,234.56"
QString Money(Cents c)
{
    QString whole = QString::number(c / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, ',');
    return QStringLiteral("$%1.%2").arg(whole).arg(c % 100, 2, 10, QLatin1Char('0'));
}

// A money text ("$1,234.56") in cents; nothing for any other text.
std::optional<Cents> MoneyCents(const QString& text)
{
    static const QRegularExpression money(QStringLiteral("^\\$(\\d{1,3}(?:,\\d{3})*)\\.(\\d\\d)$"));
    const auto m = money.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return QString(m.captured(1)).remove(',').toLongLong() * 100 + m.captured(2).toLongLong();
}

// A decimal text ("12.345", "7.1%", "0") as a whole number of 10^-decimals, rounded half up.
std::optional<long long> Scaled(QString text, int decimals)
{
    if (text.endsWith('%'))
        text.chop(1);
    static const QRegularExpression number(QStringLiteral("^(\\d+)(?:\\.(\\d+))?$"));
    const auto m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString fraction = m.captured(2);
    const bool up = fraction.size() > decimals && fraction[decimals] >= '5';
    fraction = fraction.left(decimals).leftJustified(decimals, '0');
    long long value = m.captured(1).toLongLong();
    for (int i = 0; i < decimals; ++i)
        value = value * 10 + (fraction[i].unicode() - '0');
    return value + (up ? 1 : 0);
}

// An amount of a CSV or JSON output in cents.
Cents UnitsCents(double v)
{
    return std::isfinite(v) ? std::llround(v * 100) : -1;
}

// One loan as the user types it: the four fields, the two fee fields used, the insurance.
struct Loan {
    int number = 0;
    QString price, down, term, rate;
    QString originationFee, otherFee, fees; // fees: their total
    QString mi = QStringLiteral("0");
    int miMonths = 0;
    int loanStepItem = 3; // the window's loan increment, $1,000

    QStringList Options() const
    {
        QStringList options{"schedule", "--price", price, "--down", down, "--term",
                            term,       "--rate",  rate,  "--fees", fees};
        if (miMonths > 0)
            options << "--mi" << mi << "--mi-months" << QString::number(miMonths);
        return options;
    }
    std::string Describe() const
    {
        return QStringLiteral("loan %1: %2 (fee fields %3 + %4)")
            .arg(number)
            .arg(Options().mid(1).join(' '), originationFee, otherFee)
            .toStdString();
    }
};

// Random loans from a fixed seed: prices from $1,000 to $10,000,000,000, mostly short terms,
// a price or a fee of a half cent in one loan of eight, a payment of exactly a half cent (no
// interest, the loan's cents a half payment count from a multiple) in one of twenty-five.
class LoanMaker {
public:
    explicit LoanMaker(std::uint64_t seed) : m_random(seed) {}

    Loan Next(int number)
    {
        Loan loan;
        loan.number = number;
        const int spread = int(Below(100));
        const int term = spread < 60   ? 1 + int(Below(5))
                         : spread < 85 ? 6 + int(Below(10))
                                       : 16 + int(Below(25));
        const int n = 12 * term;
        Cents price = std::min<Cents>(std::llround(std::pow(10.0, 5 + 7 * Unit())), 999999999999);
        const bool halfPayment = OneIn(25);
        long long down = halfPayment || OneIn(6) ? 0 : static_cast<long long>(Below(50001));
        if (OneIn(3))
            down -= down % 1000;
        long long rate = halfPayment || OneIn(20) ? 0 : static_cast<long long>(Below(25001));
        if (OneIn(4))
            rate -= rate % 125;
        if (halfPayment) { // the loan's cents n x k + n / 2: a payment of k and a half cents
            price += (n / 2 - price % n + n) % n;
            if (price > 999999999999)
                price -= n;
        }
        loan.price = CentsText(price);
        if (!halfPayment && price < 100000000000 && OneIn(8))
            loan.price += '5';
        loan.down = ThousandthsText(down);
        loan.term = QString::number(term);
        loan.rate = ThousandthsText(rate);

        const Cents roughLoan = price * (100000 - down) / 100000;
        // The table's rows reach five increments below the loan: $100 for a loan under $5,000.
        loan.loanStepItem = roughLoan > 500000 + 100 ? 3 : 0;
        Cents fee = 0;
        if (!OneIn(5))
            fee = std::min<Cents>(std::llround(roughLoan * 0.95 * std::pow(10.0, -5 * Unit())),
                                  roughLoan - 2);
        loan.originationFee = "0";
        loan.otherFee = loan.fees = CentsText(fee);
        if (fee > 0 && OneIn(8)) {
            loan.otherFee = loan.fees = CentsText(fee - 1) + '5';
        } else if (OneIn(3)) {
            const Cents origination = Cents(Below(std::uint64_t(fee) + 1));
            loan.originationFee = CentsText(origination);
            loan.otherFee = CentsText(fee - origination);
        }
        if (OneIn(4)) {
            loan.mi =
                CentsText(1 + Cents(Below(std::uint64_t(std::max<Cents>(roughLoan / 1000, 1)))));
            loan.miMonths = 1 + int(Below(std::uint64_t(n)));
        }
        return loan;
    }

private:
    std::uint64_t Below(std::uint64_t n) { return m_random() % n; }
    bool OneIn(int n) { return Below(std::uint64_t(n)) == 0; }
    double Unit() { return double(m_random() >> 11) * 0x1p-53; }
    std::mt19937_64 m_random;
};

// The exact computation's figures of one loan.
struct Reference {
    Cents price, down, loan, fees, payment, financed, charge, total, interest, mi, last;
    Cents firstYear, lastYear;
    int years;
    double tip, apr, fieldApr;
};

// The exact computation of every loan, in one process that runs while the others work.
class ReferenceRun {
public:
    explicit ReferenceRun(const std::vector<Loan>& loans)
    {
        m_python.start("python3", {TALLYHORN_SOURCE_DIR "/tests/app/data/roads_reference.py"});
        for (const Loan& l : loans)
            m_python.write(QStringList{l.price, l.down, l.term, l.rate, l.fees, l.mi,
                                       QString::number(l.miMonths)}
                               .join(' ')
                               .toLatin1() +
                           '\n');
        m_python.closeWriteChannel();
        m_python.waitForBytesWritten(10000);
    }

    std::vector<Reference> Figures(QString& error)
    {
        m_python.waitForFinished(120000);
        std::vector<Reference> figures;
        for (const QByteArray& line : m_python.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() != 17)
                continue;
            Reference r{};
            Cents* cents[] = {&r.price,    &r.down,      &r.loan,    &r.fees,     &r.payment,
                              &r.financed, &r.charge,    &r.total,   &r.interest, &r.mi,
                              &r.last,     &r.firstYear, &r.lastYear};
            for (int i = 0; i < 13; ++i)
                *cents[i] = f[i].toLongLong();
            r.years = f[13].toInt();
            r.tip = f[14].toDouble();
            r.apr = f[15].toDouble();
            r.fieldApr = f[16].toDouble();
            figures.push_back(r);
        }
        error = QString::fromUtf8(m_python.readAllStandardError());
        return figures;
    }

private:
    QProcess m_python;
};

// One schedule command: its arguments, its output and what it said on standard error.
struct ProgramRun {
    QStringList arguments;
    QByteArray out;
    QString err;
};

// The built program for each run, three at a time.
void RunProgram(std::vector<ProgramRun>& runs, const QString& config)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config);
    env.insert("LC_ALL", "C");
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    std::deque<std::pair<ProgramRun*, std::unique_ptr<QProcess>>> running;
    const auto finish = [&] {
        auto& [run, p] = running.front();
        p->waitForFinished(60000);
        run->out = p->readAllStandardOutput();
        run->err = QString::fromUtf8(p->readAllStandardError());
        if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0)
            run->err += QStringLiteral(" (exit %1)").arg(p->exitCode());
        running.pop_front();
    };
    for (ProgramRun& run : runs) {
        if (running.size() == 3)
            finish();
        running.emplace_back(&run, std::make_unique<QProcess>());
        running.back().second->setProcessEnvironment(env);
        running.back().second->start(TALLYHORN_EXECUTABLE, run.arguments);
    }
    while (!running.empty())
        finish();
}

// The same command carried out in this process: the program's own reading of the arguments and
// execution, without the start of a process.
ProgramRun RunHere(const QStringList& arguments)
{
    ProgramRun run{arguments, {}, {}};
    TCommandRequest request;
    if (!TCommandLine::Parse(QStringList{"tallyhorn"} + arguments, request, run.err))
        return run;
    QTextStream err(&run.err);
    const int status = TCommandRunner::Execute(request, run.out, err);
    err.flush();
    if (status != TCommandRunner::Success)
        run.err += QStringLiteral(" (exit %1)").arg(status);
    return run;
}

// What one road shows of a loan: the figures by caption and, where it has them, the schedule
// (payment, interest, principal, insurance, balance a row; the total's balance 0).
using Line = std::array<Cents, 5>;
struct Shown {
    std::vector<std::pair<QString, QString>> figures;
    std::vector<Line> rows, years;
    std::optional<Line> total;
    QString problem; // what could not be read

    QString Figure(const QString& caption) const
    {
        for (const auto& [c, text] : figures)
            if (c == caption)
                return text;
        return QStringLiteral("(no %1)").arg(caption);
    }
    // The APR's caption says whose APR it is.
    QString Apr() const { return figures.size() == 12 ? figures[6].second : QString(); }
};

// A schedule line's label and amounts, at least two spaces (text) or a money sign (PDF) apart.
bool ScheduleLine(Shown& shown, const QString& label, const QList<Cents>& money, bool insurance,
                  bool total)
{
    const qsizetype wanted = (insurance ? 5 : 4) - (total ? 1 : 0);
    if (money.size() != wanted && !(total && money.size() == wanted + 1))
        return false;
    Line line{money[0], money[1], money[2], insurance ? money[3] : 0, 0};
    if (money.size() > (insurance ? 4 : 3))
        line[4] = money.back();
    if (total)
        shown.total = line;
    else if (label.startsWith("Year "))
        shown.years.push_back(line);
    else
        shown.rows.push_back(line);
    return true;
}

Shown FromText(const QString& out)
{
    Shown shown;
    const QStringList lines = out.split('\n');
    qsizetype i = 0;
    for (; i < lines.size() && !lines[i].startsWith("No."); ++i)
        if (!lines[i].trimmed().isEmpty())
            shown.figures.emplace_back(lines[i].left(26).trimmed(), lines[i].mid(26).trimmed());
    if (i == lines.size()) {
        shown.problem = "no schedule";
        return shown;
    }
    const bool insurance = lines[i].contains("Insurance");
    static const QRegularExpression apart(QStringLiteral("\\s{2,}"));
    for (++i; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QStringList cells = lines[i].trimmed().split(apart);
        QList<Cents> money;
        for (qsizetype c = 1; c < cells.size(); ++c)
            money << MoneyCents(cells[c]).value_or(-1);
        if (money.contains(-1) ||
            !ScheduleLine(shown, cells[0], money, insurance, cells[0] == "Total"))
            shown.problem = "unread line: " + lines[i];
    }
    return shown;
}

Shown FromPdf(const QString& text)
{
    Shown shown;
    static const QRegularExpression figure(
        QStringLiteral("([A-Z][A-Za-z ]+):\\s+(\\$[\\d,]+\\.\\d\\d x \\d+|\\d+ of \\d+|\\S+)"));
    static const QRegularExpression row(QStringLiteral("^\\s*(\\d+|Year \\d+|Total)\\s+\\$"));
    static const QRegularExpression money(QStringLiteral("\\$[\\d,]+\\.\\d\\d"));
    bool insurance = false;
    for (const QString& line : text.split('\n')) {
        if (line.trimmed().startsWith("No.")) {
            insurance = line.contains("Insurance");
            continue;
        }
        if (const auto r = row.match(line); r.hasMatch()) {
            QList<Cents> amounts;
            for (auto it = money.globalMatch(line); it.hasNext();)
                amounts << *MoneyCents(it.next().captured());
            if (!ScheduleLine(shown, r.captured(1), amounts, insurance, r.captured(1) == "Total"))
                shown.problem = "unread line: " + line;
            continue;
        }
        for (auto it = figure.globalMatch(line); it.hasNext();) {
            const auto m = it.next();
            shown.figures.emplace_back(m.captured(1).trimmed(), m.captured(2));
        }
    }
    return shown;
}

// The CSV and JSON outputs: their schedule and their figures by name.
struct Numbers {
    std::vector<Line> rows, years;
    std::map<QString, double> figures;

    double At(const QString& name) const
    {
        const auto it = figures.find(name);
        return it == figures.end() ? std::nan("") : it->second;
    }
};

Numbers FromCsv(const QString& out)
{
    Numbers numbers;
    int section = 0;
    for (const QString& line : out.split(QStringLiteral("\r\n"))) {
        const QStringList cells = line.split(',');
        if (line.isEmpty() || cells[0] == "number" || cells[0] == "year") {
            section += line.isEmpty();
            continue;
        }
        if (section == 2) {
            numbers.figures[cells[0]] = cells.value(1).toDouble();
            continue;
        }
        Line l{};
        for (int c = 0; c < 5; ++c)
            l[std::size_t(c)] = Scaled(cells.value(c + 1), 2).value_or(-1);
        (section == 0 ? numbers.rows : numbers.years).push_back(l);
    }
    return numbers;
}

Numbers FromJson(const QByteArray& out)
{
    Numbers numbers;
    const QJsonObject root = QJsonDocument::fromJson(out).object();
    const char* names[] = {"payment", "interest", "principal", "mortgageInsurance", "balance"};
    for (const auto& [key, list] :
         {std::pair{"rows", &numbers.rows}, std::pair{"years", &numbers.years}})
        for (const QJsonValue& v : root[key].toArray()) {
            Line l{};
            for (int c = 0; c < 5; ++c)
                l[std::size_t(c)] = UnitsCents(v[names[c]].toDouble());
            list->push_back(l);
        }
    for (const char* group : {"disclosure", "loan"}) {
        const QJsonObject o = root[group].toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            numbers.figures[QString(group) + '.' + it.key()] =
                it->isBool() ? double(it->toBool()) : it->toDouble();
    }
    return numbers;
}

// What the window shows after the loan is typed and calculated.
struct WindowShows {
    std::map<QString, QString> fields; // edit name -> text
    std::map<QString, QString> chart;  // chart label -> printed text
    Shown summary;                     // the Loan Summary dialog's figures
};

class RoadsAgree : public ::testing::Test {
protected:
    void Type(const char* name, const QString& text)
    {
        auto* field = Find<QLineEdit>(*w, name);
        if (QApplication::focusWidget() != field) {
            field->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
        }
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    WindowShows Calculate(const Loan& loan)
    {
        // The Loan Summary of the loan before has closed: the window is the active one again.
        QApplication::setActiveWindow(w.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        auto* steps = Find<TRadioGroup>(*w, "rgLoan");
        if (steps->ItemIndex() != loan.loanStepItem)
            QTest::mouseClick(steps->Button(loan.loanStepItem), Qt::LeftButton);
        QTest::mouseClick(Find<QPushButton>(*w, "btnCalcFixed"), Qt::LeftButton);
        Type("edtOriginationFees", loan.originationFee);
        Type("edtOtherFees", loan.otherFee);
        QTest::mouseClick(Find<QPushButton>(*w, "btnCloseFixedFees"), Qt::LeftButton);
        Type("edtPurchasePrice", loan.price);
        Type("edtDownPaymentPercent", loan.down);
        Type("edtTerm", loan.term);
        Type("edtInterest", loan.rate);
        QTest::mouseClick(Find<TExplorerButton>(*w, "btnCalculate"), Qt::LeftButton);

        WindowShows shows;
        for (const char* name :
             {"edtPurchasePrice", "edtDownPaymentPercent", "edtTerm", "edtInterest",
              "edtDownPayment", "edtLoan", "edtPayment", "edtFixedFees", "edtAPR",
              "edtOriginationFees", "edtOtherFees", "edtTotal"})
            shows.fields[name] = Find<QLineEdit>(*w, name)->text();

        Find<QAction>(*w, "mnuFilePrint")->trigger();
        for (const TQRPrintedText& t : w->Chart().Rep->PrintedTexts())
            shows.chart.emplace(t.Name, t.Text);
        TQRPrinter::Instance().Cleanup();

        QTimer::singleShot(0, w.get(), [&] {
            auto* dialog = qobject_cast<TfrmLoanSummary*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (loan.miMonths > 0) {
                Find<QDoubleSpinBox>(*dialog, "edtMI")->setValue(loan.mi.toDouble());
                Find<QSpinBox>(*dialog, "edtMIMonths")->setValue(loan.miMonths);
            }
            auto* grid = dialog->findChild<QGridLayout*>();
            for (int i = 1; i <= 12; ++i) {
                auto* value = Find<QLabel>(*dialog, QStringLiteral("lblValue%1").arg(i).toLatin1());
                int row = 0, column = 0, rows = 0, columns = 0;
                grid->getItemPosition(grid->indexOf(value), &row, &column, &rows, &columns);
                QString caption =
                    static_cast<QLabel*>(grid->itemAtPosition(row, column - 1)->widget())->text();
                caption.chop(1); // ":"
                shows.summary.figures.emplace_back(caption, value->text());
            }
            dialog->close();
        });
        Find<QAction>(*w, "mnuFileLoanSummary")->trigger();
        if (shows.summary.figures.empty())
            shows.summary.problem = "no Loan Summary";
        return shows;
    }

    TempProgramFolder folder;
    std::unique_ptr<TfrmMain> w;
};

// Collects a loan's disagreements, each side named with its road: `road "text"`.
struct Disagreements {
    QStringList list;

    void Same(const QString& road, const QString& shown, const QString& otherRoad,
              const QString& other)
    {
        if (shown != other)
            list << QStringLiteral("%1 \"%2\" | %3 \"%4\"").arg(road, shown, otherRoad, other);
    }
    void Same(const QString& road, Cents shown, const QString& otherRoad, Cents other)
    {
        Same(road, CentsText(shown), otherRoad, CentsText(other));
    }
    // A rate shown to `decimals` decimals against the exact one (a half may go either way).
    void Near(const QString& road, const QString& shown, const QString& otherRoad, double exact,
              int decimals = 3)
    {
        const std::optional<long long> s = Scaled(shown, decimals);
        if (!s || std::fabs(exact * std::pow(10.0, decimals) - double(*s)) > 0.5 + 1e-6)
            list << QStringLiteral("%1 \"%2\" | %3 %4")
                        .arg(road, shown, otherRoad)
                        .arg(exact, 0, 'f', 9);
    }
    void Schedules(const QString& road, const std::vector<Line>& shown, const QString& otherRoad,
                   const std::vector<Line>& other)
    {
        if (shown.size() != other.size()) {
            Same(road + " lines", QString::number(shown.size()), otherRoad,
                 QString::number(other.size()));
            return;
        }
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t c = 0; c < 5; ++c)
                if (shown[i][c] != other[i][c]) {
                    const QString at = QStringLiteral(" line %1 amount %2").arg(i + 1).arg(c + 1);
                    Same(road + at, shown[i][c], otherRoad + at, other[i][c]);
                    return;
                }
    }
};

// The schedule command's CSV, JSON and printed report, and the window's Loan Summary, against
// its text.
void CompareSchedules(Disagreements& d, const Loan& loan, const Shown& text, const Numbers& csv,
                      const Numbers& json, const Shown& summary, const std::optional<Shown>& pdf)
{
    for (const auto& [road, shown] :
         {std::pair{"schedule text", &text}, std::pair{"Loan Summary", &summary}})
        if (!shown->problem.isEmpty())
            d.list << QStringLiteral("%1: %2").arg(road, shown->problem);
    if (pdf && !pdf->problem.isEmpty())
        d.list << "printed schedule: " + pdf->problem;
    if (text.figures.size() != 12)
        d.list << QStringLiteral("schedule text: %1 figures").arg(text.figures.size());
    for (const auto& [caption, value] : text.figures) {
        d.Same("Loan Summary " + caption, summary.Figure(caption), "schedule text", value);
        if (pdf)
            d.Same("printed schedule " + caption, pdf->Figure(caption), "schedule text", value);
    }
    const int made = int(text.rows.size());
    const int n = 12 * loan.term.toInt();
    d.Same("schedule text Number of Payments", text.Figure("Number of Payments"),
           "payments of its schedule",
           made == n ? QString::number(n) : QStringLiteral("%1 of %2").arg(made).arg(n));

    for (const auto& [road, shown] : {std::pair{"CSV", &csv}, std::pair{"JSON", &json}}) {
        d.Schedules(road + QString(" payments"), shown->rows, "schedule text", text.rows);
        d.Schedules(road + QString(" years"), shown->years, "schedule text", text.years);
    }
    if (pdf) {
        d.Schedules("printed schedule payments", pdf->rows, "schedule text", text.rows);
        d.Schedules("printed schedule years", pdf->years, "schedule text", text.years);
        if (pdf->total && text.total)
            d.Schedules("printed schedule total", {*pdf->total}, "schedule text", {*text.total});
    }

    const Line total = text.total.value_or(Line{});
    for (const auto& [road, numbers, prefix] :
         {std::tuple{"CSV", &csv, ""}, std::tuple{"JSON", &json, "disclosure."}}) {
        auto number = [&](const char* name) { return numbers->At(QString(prefix) + name); };
        auto where = [&](const char* name) { return QStringLiteral("%1 %2").arg(road, name); };
        const std::pair<const char*, const char*> money[] = {
            {"amountFinanced", "Amount Financed"},
            {"financeCharge", "Finance Charge"},
            {"totalOfPayments", "Total of Payments"},
            {"totalInterest", "Total Interest"},
            {"scheduledPayment", "Monthly Payment"}};
        for (const auto& [name, caption] : money)
            d.Same(where(name), Money(UnitsCents(number(name))), "schedule text",
                   text.Figure(caption));
        d.Same(where("lastPayment"), UnitsCents(number("lastPayment")), "schedule text",
               text.rows.empty() ? 0 : text.rows.back()[0]);
        d.Same(where("totalMortgageInsurance"), UnitsCents(number("totalMortgageInsurance")),
               "schedule text", total[3]);
        d.Same(where("numberOfPayments"), QString::number(number("numberOfPayments")),
               "schedule text", QString::number(made));
        d.Near("schedule text APR", text.Apr(), where("apr"), number("apr"));
        d.Near("schedule text Total Interest Percentage", text.Figure("Total Interest Percentage"),
               where("totalInterestPercentage"), number("totalInterestPercentage"));
    }
    d.Same("JSON loan.loan", Money(UnitsCents(json.At("loan.loan"))), "schedule text",
           text.Figure("Loan Amount"));
    d.Same("JSON loan.prepaidFinanceCharges",
           Money(UnitsCents(json.At("loan.prepaidFinanceCharges"))), "schedule text",
           text.Figure("Prepaid Finance Charges"));
}

// The window's fields, the chart printed from them, and the schedule.
void CompareWindow(Disagreements& d, const Loan& loan, const WindowShows& window, const Shown& text)
{
    const auto field = [&](const char* name) { return window.fields.at(name); };
    const auto chart = [&](const char* name) {
        const auto it = window.chart.find(name);
        return it == window.chart.end() ? QStringLiteral("(not printed)") : it->second;
    };
    const std::pair<const char*, const char*> money[] = {
        {"edtPurchasePrice", "lblPurchasePrice"},
        {"edtDownPayment", "lblDownPaymentAmount"},
        {"edtLoan", "lblLoanAmount"},
        {"edtPayment", "lblPayment"},
        {"edtFixedFees", "lblTotalFixedFees"},
        {"edtOriginationFees", "lblOriginationFee"},
        {"edtOtherFees", "lblOtherFees"},
        {"edtTotal", "lblTotalFixed"}};
    for (const auto& [edit, label] : money)
        d.Same(QStringLiteral("window %1").arg(edit), field(edit),
               QStringLiteral("chart %1").arg(label), chart(label));
    const std::pair<const char*, const char*> figures[] = {
        {"edtLoan", "Loan Amount"},
        {"edtPayment", "Monthly Payment"},
        {"edtFixedFees", "Prepaid Finance Charges"},
        {"edtTotal", "Prepaid Finance Charges"}};
    for (const auto& [edit, caption] : figures)
        d.Same(QStringLiteral("window %1").arg(edit), field(edit),
               "schedule text " + QString(caption), text.Figure(caption));
    // The typed amounts to the cent, halves up.
    d.Same("window edtOriginationFees", field("edtOriginationFees"), "typed",
           Money(*Scaled(loan.originationFee, 2)));
    d.Same("window edtOtherFees", field("edtOtherFees"), "typed", Money(*Scaled(loan.otherFee, 2)));

    const auto thousandths = [](const QString& t) {
        return QString::number(Scaled(t, 3).value_or(-1));
    };
    const std::tuple<const char*, const char*, QString> rates[] = {
        {"edtDownPaymentPercent", "lblDownPaymentPercent", loan.down},
        {"edtInterest", "lblInterestRate", loan.rate}};
    for (const auto& [edit, label, typed] : rates) {
        d.Same(QStringLiteral("window %1").arg(edit), thousandths(field(edit)), "typed",
               thousandths(typed));
        d.Same(QStringLiteral("chart %1").arg(label), thousandths(chart(label)), "typed",
               thousandths(typed));
    }
    d.Same("schedule text Note Rate", thousandths(text.Figure("Note Rate")), "typed",
           thousandths(loan.rate));
    d.Same("window edtTerm", field("edtTerm"), "typed", loan.term);
    d.Same("chart lblLoanTerm", chart("lblLoanTerm"), "typed",
           loan.term + (loan.term == "1" ? " Year" : " Years"));
    // The chart's rates have five significant digits: the APR field's rounded to them, halves
    // up.
    const long long apr = Scaled(field("edtAPR"), 3).value_or(-1);
    long long step = 1;
    for (qsizetype digits = QString::number(apr / 1000).size(); digits > 2; --digits)
        step *= 10;
    d.Same("chart lblAPR", thousandths(chart("lblAPR")), "window edtAPR",
           QString::number((apr + step / 2) / step * step));
}

// Every road against the exact computation.
void CompareExact(Disagreements& d, const Loan& loan, const Reference& ref,
                  const WindowShows& window, const Shown& text)
{
    const QString exact = "exact computation";
    d.Same("typed price", Money(*Scaled(loan.price, 2)), exact, Money(ref.price));
    d.Same(exact + " down payment + loan", ref.down + ref.loan, exact + " price", ref.price);
    d.Same("window edtPurchasePrice", window.fields.at("edtPurchasePrice"), exact,
           Money(ref.price));
    d.Same("window edtDownPayment", window.fields.at("edtDownPayment"), exact, Money(ref.down));
    d.Near("window edtAPR", window.fields.at("edtAPR"), exact, ref.fieldApr);
    const std::pair<const char*, Cents> figures[] = {
        {"Loan Amount", ref.loan},        {"Prepaid Finance Charges", ref.fees},
        {"Monthly Payment", ref.payment}, {"Amount Financed", ref.financed},
        {"Finance Charge", ref.charge},   {"Total of Payments", ref.total},
        {"Total Interest", ref.interest}};
    for (const auto& [caption, cents] : figures)
        d.Same("schedule text " + QString(caption), text.Figure(caption), exact, Money(cents));
    d.Near("schedule text APR", text.Apr(), exact, ref.apr);
    d.Near("schedule text Total Interest Percentage", text.Figure("Total Interest Percentage"),
           exact, ref.tip);
    const Line total = text.total.value_or(Line{});
    d.Same("schedule text total principal", total[2], exact + " loan", ref.loan);
    d.Same("schedule text total insurance", total[3], exact, ref.mi);
    d.Same("schedule text total payments and insurance", total[0] + total[3], exact, ref.total);
    d.Same("schedule text last payment", text.rows.empty() ? 0 : text.rows.back()[0], exact,
           ref.last);
    d.Same("schedule text years", QString::number(text.years.size()), exact,
           QString::number(ref.years));
    if (!text.years.empty()) {
        d.Same("schedule text first year's interest", text.years.front()[1], exact, ref.firstYear);
        d.Same("schedule text last year's interest", text.years.back()[1], exact, ref.lastYear);
    }
}

TEST_F(RoadsAgree, ThreeHundredRandomLoansToTheCentOnEveryRoad)
{
    if (QStandardPaths::findExecutable("python3").isEmpty() || !PdfText::Available())
        MISSING_FOR_TEST() << "python3 or pdftotext is not installed (scripts/setup)";
    LoanMaker maker(20260305);
    std::vector<Loan> loans;
    for (int i = 1; i <= 300; ++i)
        loans.push_back(maker.Next(i));

    ReferenceRun reference(loans);

    // The schedule command: the built program for the text of every loan and the printed
    // report of every tenth; the CSV and JSON through the same command in this process.
    QTemporaryDir scratch;
    std::vector<ProgramRun> runs;
    for (const Loan& l : loans) {
        runs.push_back({l.Options() << "--format"
                                    << "text",
                        {},
                        {}});
        if (l.number % 10 == 0)
            runs.push_back(
                {l.Options() << "--output" << scratch.filePath(QString::number(l.number) + ".pdf"),
                 {},
                 {}});
    }
    RunProgram(runs, scratch.path());

    QString referenceErrors;
    const std::vector<Reference> exact = reference.Figures(referenceErrors);
    ASSERT_EQ(exact.size(), loans.size()) << referenceErrors.toStdString();

    w = std::make_unique<TfrmMain>();
    w->show();
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->Chart().Rep->ShowProgress = false;
    const TQRPreviewHook noPreview([] {});

    std::size_t run = 0;
    for (std::size_t k = 0; k < loans.size(); ++k) {
        const Loan& loan = loans[k];
        Disagreements d;
        const ProgramRun& textRun = runs[run++];
        const ProgramRun* printed = loan.number % 10 == 0 ? &runs[run++] : nullptr;
        const ProgramRun csvRun = RunHere(loan.Options() << "--format"
                                                         << "csv");
        const ProgramRun jsonRun = RunHere(loan.Options() << "--format"
                                                          << "json");
        for (const ProgramRun* r : {&textRun, printed, &csvRun, &jsonRun})
            if (r && !r->err.isEmpty())
                d.list << "schedule command " + r->arguments.join(' ') + ": " + r->err;
        const Shown text = FromText(QString::fromUtf8(textRun.out));
        const Numbers csv = FromCsv(QString::fromUtf8(csvRun.out));
        const Numbers json = FromJson(jsonRun.out);
        std::optional<Shown> pdf;
        if (printed)
            pdf = FromPdf(PdfText::Read(printed->arguments.last()).Text);
        const WindowShows window = Calculate(loan);

        CompareSchedules(d, loan, text, csv, json, window.summary, pdf);
        CompareWindow(d, loan, window, text);
        CompareExact(d, loan, exact[k], window, text);
        if (!d.list.isEmpty())
            ADD_FAILURE() << loan.Describe() << "\n  " << d.list.join("\n  ").toStdString();
    }
}

} // namespace
