// The compare command and the schedule's extra payments run as the built program: bad input
// named by offer and key, and every figure of the text, CSV, JSON and PDF outputs against the
// independent decimal reference (tests/calc/data/offers_reference.py, fed the same offers).
#include "tests/report/PdfText.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

// One offer as the reference's table has it.
struct RefOffer {
    const char* name;
    double loan;
    int term;
    double rate, points, fees, costs, mi;
    int miMonths;

    QString Option() const
    {
        return QStringLiteral("loan=%1,term=%2,rate=%3,points=%4,fees=%5,costs=%6,mi=%7,"
                              "mi-months=%8")
            .arg(loan, 0, 'g', 15)
            .arg(term)
            .arg(rate, 0, 'g', 15)
            .arg(points, 0, 'g', 15)
            .arg(fees, 0, 'g', 15)
            .arg(costs, 0, 'g', 15)
            .arg(mi, 0, 'g', 15)
            .arg(miMonths);
    }
    QJsonArray Json() const { return {name, loan, term, rate, points, fees, costs, mi, miMonths}; }
};

// The reference's lines, by kind and name: "offer NAME ... | figures ...", "compare NAME
// OFFERS | lowest ...", "pair A B | kind higher month cheaper", "extra NAME ... | ...".
struct Reference {
    QMap<QString, QStringList> offers, compares, extras;
    QList<QStringList> pairs; // [A, B, kind, higher, month, cheaper]

    static bool Available() { return !QStandardPaths::findExecutable("python3").isEmpty(); }

    static Reference Run(const QJsonObject& input)
    {
        QProcess python;
        python.start("python3",
                     {TALLYHORN_SOURCE_DIR "/tests/calc/data/offers_reference.py", "--stdin"});
        python.write(QJsonDocument(input).toJson());
        python.closeWriteChannel();
        python.waitForFinished(120000);
        Reference ref;
        for (const QString& line : QString::fromUtf8(python.readAllStandardOutput()).split('\n')) {
            const QStringList halves = line.split(" | ");
            if (halves.size() != 2)
                continue;
            const QStringList head = halves[0].split(' '), tail = halves[1].split(' ');
            if (head[0] == "offer")
                ref.offers[head[1]] = tail;
            else if (head[0] == "compare")
                ref.compares[head[1]] = tail;
            else if (head[0] == "extra")
                ref.extras[head[1]] = tail;
            else if (head[0] == "pair")
                ref.pairs << (QStringList{head[1], head[2]} + tail);
        }
        return ref;
    }
};

// The reference's figure columns after "|" of an offer line.
enum OfferColumn {
    Payment,
    Apr,
    Tip,
    AmountFinanced,
    FinanceCharge,
    TotalOfPayments,
    TotalInterest,
    PointsAmount,
    Prepaid,
    UpFront,
    FiveYearMonths,
    FiveYearTotal,
    FiveYearPrincipal,
    CostAtMonth12,
    CostAtEnd
};

// The --help text, the manual page's source and the help's Comparing Offers topic, whose
// worked examples must show `figures`.
void ExpectWorkedExample(const QString& help, const QStringList& figures)
{
    QFile page(TALLYHORN_SOURCE_DIR "/docs/tallyhorn.1.in");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString manual = QString::fromUtf8(page.readAll()).remove("\\");
    QFile topicFile(TALLYHORN_SOURCE_DIR "/resources/help/topics/55-offers.txt");
    ASSERT_TRUE(topicFile.open(QIODevice::ReadOnly));
    const QString topic = QString::fromUtf8(topicFile.readAll()).simplified();
    for (const QString& figure : figures) {
        EXPECT_TRUE(help.contains(figure)) << "--help lacks " << figure.toStdString();
        EXPECT_TRUE(manual.contains(figure)) << "the manual page lacks " << figure.toStdString();
        EXPECT_TRUE(topic.contains(figure)) << "the help topic lacks " << figure.toStdString();
    }
}

// "1234567.89" as the program's money text, "$1,234,567.89".
QString MoneyText(const QString& plain)
{
    QString whole = plain.section('.', 0, 0);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, ',');
    return "$" + whole + "." + plain.section('.', 1, 1);
}

class CompareCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = std::make_unique<QTemporaryDir>();
        s_config = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(QFile::copy(TALLYHORN_EXECUTABLE, Program()));
    }
    static void TearDownTestSuite()
    {
        s_folder.reset();
        s_config.reset();
    }
    void TearDown() override { QFile::remove(Settings()); }

    static QString Program() { return s_folder->filePath("tallyhorn"); }
    static QString Settings() { return s_folder->filePath("TorvIni.ini"); }

    static Outcome Start(const QStringList& args)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", s_config->path());
        env.insert("LC_ALL", "C");
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(env);
        process.start(Program(), args);
        Outcome run;
        if (!process.waitForFinished(120000))
            return run;
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    static std::unique_ptr<QTemporaryDir> s_folder;
    static std::unique_ptr<QTemporaryDir> s_config;
};

std::unique_ptr<QTemporaryDir> CompareCommandTest::s_folder;
std::unique_ptr<QTemporaryDir> CompareCommandTest::s_config;

// Every refusal: status 2, nothing on standard output and one line on standard error that
// names the offer and its key, or the option.
TEST_F(CompareCommandTest, BadOffersAndExtraPaymentsAreNamedWithStatusTwo)
{
    const QStringList loan{"--price", "300000", "--down", "0", "--term", "30"};
    const struct {
        QStringList args;
        const char* err; // the start of the line after "tallyhorn: "
    } cases[] = {
        {{"compare", "--offer", "rate=6.5"}, "--offer: give 2 to 4 offers, not 1"},
        {{"compare", "--offer", "rate=6", "--offer", "rate=6", "--offer", "rate=6", "--offer",
          "rate=6", "--offer", "rate=6"},
         "--offer: give 2 to 4 offers, not 5"},
        {{"compare", "--offer", "rate=6.5", "--offer", "rate=abc"},
         "offer 2: rate: 'abc' is not a number"},
        {{"compare", "--offer", "rate=-1", "--offer", "rate=6"},
         "offer 1: rate: must be from 0 to less than 100000, not '-1'"},
        {{"compare", "--offer", "rate=6", "--offer", "rat=6"}, "offer 2: 'rat' is not a key"},
        {{"compare", "--offer", "rate=6,fees=1,rate=7", "--offer", "rate=6"},
         "offer 1: rate: given twice"},
        {{"compare", "--offer", "rate=6", "--offer", "rate6.5"},
         "offer 2: must be KEY=VALUE items separated by commas"},
        {{"compare", "--offer", "rate=6,", "--offer", "rate=6"},
         "offer 1: must be KEY=VALUE items"},
        {{"compare", "--offer", "term=30.5", "--offer", "rate=6"},
         "offer 1: term: must be a whole number of years"},
        {{"compare", "--offer", "rate=6", "--offer", "loan=0"},
         "offer 2: loan: must be more than 0"},
        {{"compare", "--offer", "rate=6", "--offer", "rate=6,mi=95"},
         "offer 2: mi-months: is required with mi"},
        {{"compare", "--offer", "rate=6", "--offer", "rate=6,mi-months=2.5"},
         "offer 2: mi-months: must be a whole number"},
        // What only the offer's figures can refuse, still named by the offer.
        {QStringList{"compare", "--offer", "rate=6", "--offer", "rate=6,points=1,fees=297000"} +
             loan,
         "offer 2: The points and fees together must be less than the loan amount"},
        {QStringList{"compare", "--offer", "rate=6,mi=50,mi-months=361", "--offer", "rate=6"} +
             loan,
         "offer 1: The number of mortgage insurance months must be from 0 to 360, not 361"},
        {QStringList{"compare", "--offer", "rate=6", "--offer", "rate=6", "--paper", "a3"} + loan,
         "--paper: must be letter, a4 or a5"},
        {QStringList{"schedule", "--rate", "6", "--extra-from", "13"} + loan,
         "--extra-from: is used only with --extra"},
        {QStringList{"schedule", "--rate", "6", "--extra", "-5"} + loan, "--extra: must be from 0"},
        {QStringList{"schedule", "--rate", "6", "--lump", "60"} + loan,
         "--lump: must be MONTH:AMOUNT"},
        {QStringList{"schedule", "--rate", "6", "--lump", "60:0"} + loan,
         "--lump: the amount must be more than 0"},
        {QStringList{"schedule", "--rate", "6", "--lump", "361:1000"} + loan,
         "--lump: the month must be from 1 to the number of payments, 360, not 361"},
        {QStringList{"schedule", "--rate", "6", "--extra", "100", "--extra-from", "400"} + loan,
         "--extra-from: must be from 1 to the number of payments, 360, not 400"},
        {{"table", "--offer", "rate=6"}, "--offer is not an option of the table command"},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.args);
        const std::string args = c.args.join(' ').toStdString();
        EXPECT_EQ(run.status, 2) << args << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << args;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("tallyhorn: ") + c.err))
            << args << "\n"
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << args << "\n" << run.err.toStdString();
    }

    // The settings file is read as for the table, and only for what the offers leave out: a
    // stored rate the options refuse stops a comparison whose offers need it, and no other.
    TempProgramFolder::WriteFile(Settings(), "[LastValues]\nInterest=-5\n");
    const Outcome needed = Start(QStringList{"compare", "--offer", "rate=6", "--offer", "fees=1"});
    EXPECT_EQ(needed.status, 2);
    EXPECT_TRUE(needed.err.contains("Interest=-5 in the settings file"))
        << needed.err.toStdString();
    const Outcome given = Start(QStringList{"compare", "--offer", "rate=6", "--offer", "rate=7"});
    EXPECT_EQ(given.status, 0) << given.err.toStdString();
}

// The comparisons of the reference's kinds (points against none, equal costs, a shorter term,
// insurance against none, break-even never reached, four offers) in JSON, CSV and text, every
// figure as the reference gives it.
TEST_F(CompareCommandTest, EveryFigureInEveryFormatEqualsTheReference)
{
    if (!Reference::Available())
        MISSING_FOR_TEST() << "python3 is needed for the reference";
    const QList<QList<RefOffer>> comparisons = {
        {{"rate6875", 300000, 30, 6.875, 0, 2400, 0, 0, 0},
         {"points150", 300000, 30, 6.5, 1.5, 2400, 0, 0, 0}},
        {{"lowFees", 250000, 30, 6.875, 0, 1000, 3500, 0, 0},
         {"highFees", 250000, 30, 7.0, 0, 3000, 1500, 0, 0},
         {"term15", 300000, 15, 6.0, 0, 2400, 0, 0, 0}},
        {{"withMI", 200000, 30, 6.25, 1, 2000, 900, 150, 132},
         {"noMI", 200000, 30, 6.75, 0, 2000, 900, 0, 0}},
        {{"pointsHigher", 180000, 20, 7.125, 2, 1200, 0, 0, 0},
         {"plain", 180000, 20, 6.875, 0, 1200, 0, 0, 0}},
        {{"threeYears", 30000, 3, 7.5, 0, 500, 250, 0, 0},
         {"tenYears", 30000, 10, 7.0, 1, 500, 0, 0, 0}},
        {{"four700", 400000, 30, 7.0, 0, 1500, 800, 0, 0},
         {"four675", 400000, 30, 6.75, 0.5, 1500, 800, 0, 0},
         {"four650", 395000, 30, 6.5, 1.25, 1500, 800, 0, 0},
         {"four625", 1000000.4, 30, 6.25, 1.25, 1500, 800, 210.55, 60}},
    };
    QJsonArray offers, compares;
    for (int i = 0; i < comparisons.size(); ++i) {
        QJsonArray names;
        for (const RefOffer& o : comparisons[i]) {
            offers.append(o.Json());
            names.append(o.name);
        }
        compares.append(QJsonArray{QString::number(i), names});
    }
    const Reference ref = Reference::Run({{"offers", offers}, {"comparisons", compares}});
    ASSERT_EQ(ref.compares.size(), comparisons.size());

    for (int c = 0; c < comparisons.size(); ++c) {
        const QList<RefOffer>& list = comparisons[c];
        QStringList args{"compare"};
        for (const RefOffer& o : list)
            args << "--offer" << o.Option();
        const Outcome json = Start(args + QStringList{"--format", "json"});
        const Outcome csv = Start(args + QStringList{"--format", "csv"});
        const Outcome text = Start(args);
        ASSERT_EQ(json.status, 0) << json.err.toStdString();
        ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
        ASSERT_EQ(text.status, 0) << text.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
        const QJsonArray got = root["offers"].toArray();
        ASSERT_EQ(got.size(), list.size());
        QMap<QString, QStringList> csvRows;
        for (const QString& line : csv.out.split("\r\n"))
            csvRows[line.section(',', 0, 0)] = line.split(',').mid(1);

        // Each offer's figures: JSON numbers, CSV numbers, and the texts in their row.
        const struct {
            const char* key;
            OfferColumn column;
            const char* caption;
        } money[] = {{"payment", Payment, "Monthly Principal & Interest"},
                     {"amountFinanced", AmountFinanced, "Amount Financed"},
                     {"financeCharge", FinanceCharge, "Finance Charge"},
                     {"totalOfPayments", TotalOfPayments, "Total of Payments"},
                     {"upFront", UpFront, "Paid Up Front"},
                     {"fiveYearTotal", FiveYearTotal, "In 5 Years: Total Paid"},
                     {"fiveYearPrincipal", FiveYearPrincipal, "In 5 Years: Principal Paid Off"}};
        QMap<QString, QStringList> texts; // caption -> the offers' texts, in order
        for (int i = 0; i < list.size(); ++i) {
            const QStringList want = ref.offers[list[i].name];
            const QJsonObject f = got[i].toObject()["figures"].toObject();
            const std::string who = list[i].name;
            for (const auto& m : money) {
                EXPECT_EQ(f[m.key].toDouble(), want[m.column].toDouble()) << who << " " << m.key;
                EXPECT_EQ(csvRows[m.key].value(i).toDouble(), want[m.column].toDouble())
                    << who << " " << m.key;
                // A loan shorter than five years says over how long.
                const bool shorter =
                    want[FiveYearMonths].toInt() < 60 && QString(m.key).startsWith("fiveYear");
                texts[m.caption] << QRegularExpression::escape(MoneyText(want[m.column])) +
                                        (shorter ? " \\(in 3 years\\)" : "");
            }
            EXPECT_NEAR(f["apr"].toDouble(), want[Apr].toDouble(), 1e-9) << who;
            EXPECT_NEAR(f["tip"].toDouble(), want[Tip].toDouble(), 1e-9) << who;
            EXPECT_EQ(f["fiveYearMonths"].toInt(), want[FiveYearMonths].toInt()) << who;
            texts["Annual Percentage Rate \\(APR\\)"]
                << QString::number(want[Apr].toDouble(), 'f', 3) + "%";
            texts["Total Interest Percentage \\(TIP\\)"]
                << QString::number(want[Tip].toDouble(), 'f', 3) + "%";
        }

        // The lowest offer of each cost row, in JSON, CSV and in words in the text.
        const QStringList lowest = ref.compares[QString::number(c)];
        const struct {
            const char* key;
            const char* caption;
        } marked[] = {{"apr", "Annual Percentage Rate \\(APR\\)"},
                      {"fiveYearTotal", "In 5 Years: Total Paid"},
                      {"tip", "Total Interest Percentage \\(TIP\\)"}};
        for (int k = 0; k < 3; ++k) {
            const int best = lowest[k].toInt() + 1;
            EXPECT_EQ(root["lowest"].toObject()[marked[k].key].toInt(), best) << marked[k].key;
            EXPECT_EQ(csvRows[marked[k].key].last().toInt(), best) << marked[k].key;
            texts[marked[k].caption] << QStringLiteral("Offer %1").arg(best);
        }
        for (auto it = texts.begin(); it != texts.end(); ++it) {
            const QRegularExpression row("\n" + it.key() + " +" + it.value().join(" +") + "\n");
            EXPECT_TRUE(text.out.contains(row)) << row.pattern().toStdString() << "\n"
                                                << text.out.toStdString();
        }

        // Every pair: the offer with more up front named first, its break-even month.
        const QJsonArray pairs = root["breakEven"].toArray();
        int seen = 0;
        for (const QStringList& p : ref.pairs) {
            int a = -1, b = -1;
            for (int i = 0; i < list.size(); ++i) {
                if (p[0] == list[i].name && a < 0)
                    a = i;
                else if (p[1] == list[i].name)
                    b = i;
            }
            if (a < 0 || b < 0)
                continue;
            const QJsonObject pair = pairs[seen++].toObject();
            const bool equal = p[2] == "sooner";
            const int first = equal || p[3] == "0" ? a : b;
            EXPECT_EQ(pair["first"].toInt(), first + 1) << p.join(' ').toStdString();
            EXPECT_EQ(pair["second"].toInt(), (first == a ? b : a) + 1);
            EXPECT_EQ(pair["kind"].toString(), equal ? "equal" : p[2]) << p.join(' ').toStdString();
            EXPECT_EQ(pair["month"].toInt(), p[4].toInt()) << p.join(' ').toStdString();
            const int month = p[4].toInt();
            const QString said = p[2] == "month" ? QStringLiteral("month %1 \\(%2")
                                                       .arg(month)
                                                       .arg(month / 12) // "month 48 (4 years"
                                 : p[2] == "never" ? QStringLiteral("never")
                                                   : QStringLiteral("no break-even: equal "
                                                                    "up-front costs");
            // Equal costs up front (these pairs have equal terms): the one that has cost less
            // by the end is named, unless neither has.
            QString cheaper;
            if (equal && ref.offers[p[0]][CostAtEnd] != ref.offers[p[1]][CostAtEnd])
                cheaper = QStringLiteral("; Offer %1 costs less\\n").arg((p[5] == "0" ? a : b) + 1);
            else if (equal)
                cheaper = "\\n";
            EXPECT_TRUE(text.out.contains(
                QRegularExpression(QStringLiteral("\nOffer %1 vs Offer %2: Break-Even +%3")
                                       .arg(first + 1)
                                       .arg((first == a ? b : a) + 1)
                                       .arg(said + cheaper))))
                << p.join(' ').toStdString() << "\n"
                << text.out.toStdString();
        }
        EXPECT_EQ(seen, list.size() * (list.size() - 1) / 2);
    }

    // The worked example of the help and the manual page is the first comparison.
    QStringList example;
    for (const char* name : {"rate6875", "points150"})
        for (OfferColumn column : {Payment, FiveYearTotal, FiveYearPrincipal})
            example << MoneyText(ref.offers[name][column]);
    example << QString::number(ref.offers["rate6875"][Apr].toDouble(), 'f', 3)
            << QString::number(ref.offers["points150"][Apr].toDouble(), 'f', 3);
    ASSERT_EQ(ref.pairs.first().mid(0, 3), (QStringList{"rate6875", "points150", "month"}));
    example << QStringLiteral("month %1 (4 years)").arg(ref.pairs.first()[4]);
    ExpectWorkedExample(Start({"--help"}).out, example);
}

// The schedule paid with extra principal, in JSON, CSV and text: the payoff, the savings and
// the totals as the reference has them, the contract's figures and APR untouched.
TEST_F(CompareCommandTest, ScheduleWithExtraPaymentsEqualsTheReference)
{
    if (!Reference::Available())
        MISSING_FOR_TEST() << "python3 is needed for the reference";
    const struct {
        const char* name;
        RefOffer offer;
        double monthly;
        int from;
        QList<QPair<int, double>> lumps;
    } cases[] = {
        {"from13",
         {"rate6875", 300000, 30, 6.875, 0, 2400, 0, 0, 0},
         200,
         13,
         {{60, 10000}, {120, 5000}}},
        // Two lumps in one month add up; the insurance stops with the loan.
        {"insuranceStops",
         {"withMI", 200000, 30, 6.25, 1, 2000, 900, 150, 132},
         500,
         1,
         {{36, 2000}, {36, 3000}}},
        // A lump larger than the balance pays it off and no more.
        {"lumpTooLarge", {"term15", 300000, 15, 6.0, 0, 2400, 0, 0, 0}, 0, 1, {{24, 1000000}}},
        {"threeYearsEarly", {"threeYears", 30000, 3, 7.5, 0, 500, 250, 0, 0}, 1000, 1, {}},
    };
    QJsonArray offers, extras;
    for (const auto& c : cases) {
        offers.append(c.offer.Json());
        QJsonArray lumps;
        for (const auto& l : c.lumps)
            lumps.append(QJsonArray{l.first, l.second});
        extras.append(QJsonArray{c.name, c.offer.name, c.monthly, c.from, lumps});
    }
    const Reference ref = Reference::Run({{"offers", offers}, {"extras", extras}});
    for (const auto& c : cases) {
        const QStringList want = ref.extras[c.name];
        const QStringList contract = ref.offers[c.offer.name];
        ASSERT_EQ(want.size(), 11) << c.name;
        // The schedule's loan: the prepaid finance charges are the offer's points and fees.
        QStringList args{"schedule",
                         "--price",
                         QString::number(c.offer.loan, 'g', 15),
                         "--down",
                         "0",
                         "--term",
                         QString::number(c.offer.term),
                         "--rate",
                         QString::number(c.offer.rate, 'g', 15),
                         "--fees",
                         contract[Prepaid]};
        if (c.offer.miMonths > 0)
            args << "--mi" << QString::number(c.offer.mi) << "--mi-months"
                 << QString::number(c.offer.miMonths);
        if (c.monthly > 0)
            args << "--extra" << QString::number(c.monthly) << "--extra-from"
                 << QString::number(c.from);
        for (const auto& l : c.lumps)
            args << "--lump" << QStringLiteral("%1:%2").arg(l.first).arg(l.second, 0, 'f', 2);

        const Outcome json = Start(args + QStringList{"--format", "json"});
        ASSERT_EQ(json.status, 0) << json.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
        const QJsonObject x = root["extraPayments"].toObject();
        const QJsonArray rows = root["rows"].toArray();
        const std::string who = c.name;
        EXPECT_EQ(x["payoffMonth"].toInt(), want[0].toInt()) << who;
        EXPECT_EQ(x["paymentsSaved"].toInt(), want[1].toInt()) << who;
        EXPECT_EQ(x["totalInterest"].toDouble(), want[2].toDouble()) << who;
        EXPECT_EQ(x["interestSaved"].toDouble(), want[3].toDouble()) << who;
        EXPECT_EQ(x["totalExtra"].toDouble(), want[4].toDouble()) << who;
        EXPECT_EQ(x["totalMortgageInsurance"].toDouble(), want[5].toDouble()) << who;
        EXPECT_EQ(x["totalPaid"].toDouble(), want[6].toDouble()) << who;
        ASSERT_EQ(rows.size(), want[0].toInt()) << who;
        const QJsonObject last = rows.last().toObject();
        EXPECT_EQ(last["payment"].toDouble(), want[7].toDouble()) << who;
        EXPECT_EQ(last["extra"].toDouble(), want[8].toDouble()) << who;
        EXPECT_EQ(last["balance"].toDouble(), 0.0) << who;
        EXPECT_EQ(root["years"].toArray().size(), want[9].toInt()) << who;
        EXPECT_EQ(root["years"].toArray().first().toObject()["extra"].toDouble(),
                  want[10].toDouble())
            << who;
        // The contract's figures stay: its APR and total of payments.
        const QJsonObject d = root["disclosure"].toObject();
        EXPECT_NEAR(d["apr"].toDouble(), contract[Apr].toDouble(), 1e-9) << who;
        EXPECT_EQ(d["totalOfPayments"].toDouble(), contract[TotalOfPayments].toDouble()) << who;

        const Outcome csv = Start(args + QStringList{"--format", "csv"});
        ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
        EXPECT_TRUE(csv.out.startsWith("number,payment,interest,principal,extra,"
                                       "mortgageInsurance,balance\r\n"));
        EXPECT_TRUE(csv.out.contains("\r\nextra.payoffMonth," + want[0] + "\r\n")) << who;
        EXPECT_TRUE(csv.out.contains("\r\nextra.interestSaved," +
                                     QString::number(want[3].toDouble(), 'g', 15) + "\r\n"))
            << who;

        const Outcome text = Start(args);
        ASSERT_EQ(text.status, 0) << text.err.toStdString();
        const int terms = c.offer.term * 12;
        for (const QString& line :
             {QStringLiteral("Payoff Month +%1 of %2").arg(want[0]).arg(terms),
              QStringLiteral("Payments Saved +%1").arg(want[1]),
              "Interest Saved +" + QRegularExpression::escape(MoneyText(want[3])),
              "Total Extra Principal +" + QRegularExpression::escape(MoneyText(want[4])),
              QStringLiteral("The APR and disclosure figures are those of the contract; extra "
                             "payments are prepayments you choose\\."),
              QStringLiteral("No\\. +Payment +Interest +Principal +Extra +")})
            EXPECT_TRUE(text.out.contains(QRegularExpression("\n" + line + "\n|\n" + line)))
                << who << ": " << line.toStdString();
        if (QLatin1String(c.name) == "from13") // the worked example of the help and manual
            ExpectWorkedExample(Start({"--help"}).out, {"payment " + want[0] + " of 360",
                                                        want[1] + " payments", MoneyText(want[3])});
        EXPECT_TRUE(text.out.contains(QStringLiteral("\n%1 ").arg(want[0])) &&
                    !text.out.contains(QStringLiteral("\n%1 ").arg(want[0].toInt() + 1)))
            << who;
    }
}

// The printed reports as PDF files: the comparison on one page of each paper with its
// figures, the lowest offers in words and the break-even; the schedule with its Extra column
// and extra figures.
TEST_F(CompareCommandTest, ComparisonIsOnePageOnEachPaperAndTheScheduleShowsItsExtras)
{
    if (!PdfText::Available())
        MISSING_FOR_TEST() << "pdftotext and pdfinfo (poppler-utils, installed by scripts/setup) "
                              "are needed to read the PDF";
    QTemporaryDir out;
    const QString pdf = out.filePath("offers.pdf");
    const QStringList example{"compare",
                              "--price",
                              "300000",
                              "--down",
                              "0",
                              "--term",
                              "30",
                              "--fees",
                              "2400",
                              "--offer",
                              "rate=6.875",
                              "--offer",
                              "rate=6.5,points=1.5",
                              "--output",
                              pdf};
    for (const char* paper : {"letter", "a4", "a5"}) {
        const Outcome run = Start(example + QStringList{"--paper", paper});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const PdfText read = PdfText::Read(pdf);
        EXPECT_EQ(read.Pages, 1) << paper;
        EXPECT_EQ(read.Title, "Offer Comparison") << paper;
        // Four offers, one of them shorter than five years, still on one page.
        const Outcome four =
            Start({"compare", "--term", "30", "--rate", "7", "--offer", "loan=400000,fees=1500",
                   "--offer", "loan=400000,rate=6.75,points=0.5", "--offer",
                   "loan=395000,rate=6.5,points=1.25", "--offer",
                   "loan=1000000.4,term=3,mi=210.55,mi-months=24", "--paper", paper, "--output",
                   out.filePath("four.pdf")});
        ASSERT_EQ(four.status, 0) << four.err.toStdString();
        const PdfText fourRead = PdfText::Read(out.filePath("four.pdf"));
        EXPECT_EQ(fourRead.Pages, 1) << paper;
        EXPECT_TRUE(fourRead.Text.contains(
            QRegularExpression("Offer 3 vs Offer 4: Break-Even +(month \\d+|never)")))
            << fourRead.Text.toStdString();
        EXPECT_TRUE(fourRead.Text.contains("* Offer 4: In 5 Years over its whole term, 3 years."))
            << fourRead.Text.toStdString();
        for (const char* line :
             {"Offer 1 +Offer 2 +Lowest",
              "Monthly Principal & Interest +\\$1,970\\.79 +\\$1,896\\.20",
              "Annual Percentage Rate \\(APR\\) +6\\.954% +6\\.725% +Offer 2",
              "Total Interest Percentage \\(TIP\\) +136\\.493% +127\\.546% +Offer 2",
              "In 5 Years: Total Paid +\\$120,647\\.40 +\\$120,672\\.00 +Offer 1",
              "In 5 Years: Principal Paid Off +\\$17,986\\.04 +\\$19,166\\.74\\n",
              "Points +None +1\\.500%\\n", "Points Paid +\\$0\\.00 +\\$4,500\\.00",
              "Offer 2 vs Offer 1: Break-Even +month 48 \\(4 years\\)", "Printed at "})
            EXPECT_TRUE(read.Text.contains(QRegularExpression(line)))
                << paper << ": " << line << "\n"
                << read.Text.toStdString();
    }

    const QString schedule = out.filePath("schedule.pdf");
    const Outcome run = Start(
        {"schedule", "--price", "300000",   "--down",  "0",   "--term",       "30",    "--rate",
         "6.875",    "--fees",  "2400",     "--extra", "200", "--extra-from", "13",    "--lump",
         "60:10000", "--lump",  "120:5000", "--paper", "a5",  "--output",     schedule});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const PdfText read = PdfText::Read(schedule);
    for (const char* line :
         {"No\\. +Payment +Interest +Principal +Extra +Balance", "Payoff Month: +260 of 360",
          "Payments Saved: +100", "Interest Saved: +\\$134,294\\.92",
          "Total Extra Principal: +\\$64,400\\.00", "extra payments are prepayments you choose",
          "\\n *260 +\\$350\\.55 ", "Annual Percentage Rate: +6\\.954%"})
        EXPECT_TRUE(read.Text.contains(QRegularExpression(line)))
            << line << "\n"
            << read.Text.left(3000).toStdString();
    EXPECT_FALSE(read.Text.contains(QRegularExpression("\\n *261 ")));
}

} // namespace
