// The settings file as the user meets it: real files on disk, read at a real start of the
// window and written at its close.
#include "app/Main.h"
#include "app/splash.h"
#include "controls/Aligrid.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "platform/Regional.h"
#include "tests/support/FindChild.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/MissingTool.h"
#include "tests/support/TempFolder.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const QString iniName = QStringLiteral("TorvIni.ini");

// A byte string that may hold NUL bytes.
template <std::size_t N> QByteArray Bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// Takes write permission away from a folder for this process, root included: its mode for an
// ordinary user, the immutable attribute for root (whom modes do not stop). Given back at the
// end of the scope.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        m_immutable = geteuid() == 0;
        if (m_immutable)
            SetImmutable(true);
        else
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            SetImmutable(false);
        else
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    }
    bool Holds() const { return !QFileInfo(m_path).isWritable(); }

private:
    void SetImmutable(bool on) const
    {
        const int fd = open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return;
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        close(fd);
    }

    QString m_path;
    bool m_immutable = false;
};

struct SettingsFileTest : ::testing::Test {
    TempProgramFolder folder;
    MessageBoxAnswerer boxes;
    std::unique_ptr<TfrmMain> w;

    void Start()
    {
        w = std::make_unique<TfrmMain>();
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void Close()
    {
        w->close();
        w.reset();
    }
    void TearDown() override
    {
        if (w)
            Close();
    }
    // The user enters a price and calculates, so that the close saves it.
    void CalculateWithPrice(double price)
    {
        Find<TNumEdit>(*w, "edtPurchasePrice")->SetValue(price);
        w->CalcAPRTable(Find<TNumEdit>(*w, "edtPurchasePrice"));
    }
    QString Beside() const { return folder.File(iniName); }
    QString Config() const { return folder.ConfigFile(iniName); }
    static QByteArray Read(const QString& path) { return TempProgramFolder::ReadFile(path); }
    static void Write(const QString& path, const QByteArray& bytes)
    {
        TempProgramFolder::WriteFile(path, bytes);
    }
    // The next write lands on a later modification time than `path` has, as the next start
    // of the program by a user always does (file times move on in steps of a clock tick).
    void WaitForClockPast(const QString& path) const
    {
        const QDateTime last = QFileInfo(path).lastModified();
        const QString probe = folder.File("clock-probe");
        QElapsedTimer waited;
        waited.start();
        do
            Write(probe, "x");
        while (QFileInfo(probe).lastModified() <= last && waited.elapsed() < 5000);
        EXPECT_GT(QFileInfo(probe).lastModified(), last);
        QFile::remove(probe);
    }
};

// The file is found regardless of letter case, an exact "TorvIni.ini" wins, and a new file gets
// that spelling.
struct NameCase {
    const char* name;
    std::vector<std::pair<QString, QByteArray>> files;
    double price;  // what the start reads
    QString saved; // the file the close writes
};
void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.name;
}

struct SettingsFileNameTest : SettingsFileTest, ::testing::WithParamInterface<NameCase> {};

TEST_P(SettingsFileNameTest, ReadsAndWritesTheOneFile)
{
    const NameCase& c = GetParam();
    QStringList names;
    for (const auto& [name, bytes] : c.files) {
        Write(folder.File(name), bytes);
        names << name;
    }
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), c.price);
    Close();
    if (!names.contains(c.saved))
        names << c.saved;
    names.sort();
    QStringList listed = QDir(folder.Path()).entryList(QDir::Files);
    listed.sort();
    EXPECT_EQ(listed, names);
    const QByteArray saved = Read(folder.File(c.saved));
    EXPECT_TRUE(saved.contains("Price=" + QByteArray::number(c.price, 'g', 15) + '\n') &&
                saved.contains("AutoCalc=OFF\n"))
        << saved.toStdString();
    for (const auto& [name, bytes] : c.files) {
        if (name == c.saved)
            continue;
        EXPECT_EQ(Read(folder.File(name)), bytes) << name.toStdString();
    }
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsFileNameTest,
    ::testing::Values(NameCase{"NoFile", {}, 100000, "TorvIni.ini"},
                      NameCase{"DocumentedName",
                               {{"TorvIni.ini", "[LastValues]\nPrice=111111\n"}},
                               111111,
                               "TorvIni.ini"},
                      NameCase{"EarlierSpelling",
                               {{"TorvIni.Ini", "[LastValues]\nPrice=222222\n"}},
                               222222,
                               "TorvIni.Ini"},
                      NameCase{"AnyCase",
                               {{"TORVINI.INI", "[LastValues]\nPrice=333333\n"}},
                               333333,
                               "TORVINI.INI"},
                      NameCase{"ExactNameWins",
                               {{"TORVINI.INI", "[LastValues]\nPrice=444444\n"},
                                {"TorvIni.ini", "[LastValues]\nPrice=555555\n"}},
                               555555,
                               "TorvIni.ini"}),
    [](const auto& row) { return std::string(row.param.name); });

// Text files that the profile-string rules read in part: read without a word to the user, and
// every line the rules skip kept on writing.
struct KeptCase {
    const char* name;
    QByteArray before;
    double price;
    QByteArray after; // after a start and a close
};
void PrintTo(const KeptCase& c, std::ostream* os)
{
    *os << c.name;
}

struct SettingsFileKeptTest : SettingsFileTest, ::testing::WithParamInterface<KeptCase> {};

TEST_P(SettingsFileKeptTest, ReadsWhatItCanAndKeepsEveryOtherLine)
{
    const KeptCase& c = GetParam();
    Write(Beside(), c.before);
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), c.price);
    Close();
    EXPECT_EQ(Read(Beside()), c.after);
    EXPECT_TRUE(boxes.Boxes().isEmpty()) << boxes.Boxes().first().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsFileKeptTest,
    ::testing::Values(
        KeptCase{"Utf8ByteOrderMark",
                 "\xEF\xBB\xBF[LastValues]\r\nPrice=123456\r\nAutoCalc=OFF\r\n", 123456,
                 "\xEF\xBB\xBF[LastValues]\r\nPrice=123456\r\nAutoCalc=OFF\r\nInterest=8.75\r\n"
                 "Term=30\r\nDownPercent=0\r\n"},
        KeptCase{"LinesTheRulesSkip",
                 "orphan text before any section\n[LastValues]\nPrice=150000\n"
                 "a note without an equals sign\nnot UTF-8: caf\xE9\n\n[Other]\nkey=\xE9t\xE9\n",
                 150000,
                 "orphan text before any section\n[LastValues]\nPrice=150000\n"
                 "a note without an equals sign\nnot UTF-8: caf\xE9\nAutoCalc=OFF\n"
                 "Interest=8.75\nTerm=30\nDownPercent=0\n\n[Other]\nkey=\xE9t\xE9\n"}),
    [](const auto& row) { return std::string(row.param.name); });

// Files beside the program whose values cannot be used: left exactly as they are, the values go
// to the configuration folder, and the user is told once, with both paths.
struct PassedOverCase {
    const char* name;
    QByteArray bytes;
    bool modeZero;
    const char* reason;
};
void PrintTo(const PassedOverCase& c, std::ostream* os)
{
    *os << c.name;
}

struct SettingsFilePassedOverTest : SettingsFileTest,
                                    ::testing::WithParamInterface<PassedOverCase> {};

TEST_P(SettingsFilePassedOverTest, IsLeftAloneAndTheValuesGoToTheConfigurationFolder)
{
    const PassedOverCase& c = GetParam();
    if (c.modeZero && geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 000; run this test as an ordinary user";
    Write(Beside(), c.bytes);
    if (c.modeZero)
        QFile::setPermissions(Beside(), {});
    Start();
    CalculateWithPrice(234567);
    Close();
    QFile::setPermissions(Beside(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(Read(Beside()), c.bytes);
    EXPECT_TRUE(Read(Config()).contains("Price=234567\n")) << Read(Config()).toStdString();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    const QString text = boxes.Boxes()[0].text;
    EXPECT_TRUE(text.contains(c.reason)) << text.toStdString();
    EXPECT_TRUE(text.contains(Beside())) << text.toStdString();
    EXPECT_TRUE(text.contains(Config())) << text.toStdString();

    // The next start reads the saved values from there.
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 234567);
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsFilePassedOverTest,
    ::testing::Values(
        PassedOverCase{"Utf16",
                       Bytes("\xFF\xFE[\0L\0a\0s\0t\0V\0a\0l\0u\0e\0s\0]\0\r\0\n\0P\0r\0i\0c\0e"
                             "\0=\0\x37\0\r\0\n\0"),
                       false, "not a text file"},
        PassedOverCase{"NulBytes", Bytes("[LastValues]\nPrice=7\n\0\0\x01\x02\n"), false,
                       "not a text file"},
        PassedOverCase{"ModeZero", "[LastValues]\nPrice=7\n", true, "cannot be read"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SettingsFileTest, ValuesFollowTheChoiceOfPlaceBothWays)
{
    const QByteArray beside = "[LastValues]\nPrice=111111\nShell=/bin/sh\n[Other]\nkey=1\n"
                              "[Offers]\nCount=3\nOffer2=1,30,6,0,0,0,0,0\nOffer9=x\n";
    Write(Beside(), beside);
    {
        // The program folder cannot be written: the values beside it come along.
        ReadOnlyFolder readOnly(folder.Path());
        if (!readOnly.Holds())
            GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
        Start();
        EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 111111);
        CalculateWithPrice(222222);
        Close();
    }
    EXPECT_EQ(Read(Beside()), beside);
    // Only the program's own keys came along.
    EXPECT_FALSE(Read(Config()).contains("Shell") || Read(Config()).contains("Other") ||
                 Read(Config()).contains("Offer9"))
        << Read(Config()).toStdString();
    // The compared offers are the program's own too.
    EXPECT_TRUE(Read(Config()).contains("\nCount=3\n") &&
                Read(Config()).contains("\nOffer2=1,30,6,0,0,0,0,0\n"))
        << Read(Config()).toStdString();
    WaitForClockPast(Config());

    // Writable again: what was saved in the configuration folder is not dropped.
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 222222);
    CalculateWithPrice(333333);
    Close();
    EXPECT_TRUE(Read(Beside()).contains("Price=333333\n"));
    WaitForClockPast(Beside());

    // Read-only once more: the configuration folder's copy is brought up to date first.
    ReadOnlyFolder readOnly(folder.Path());
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 333333);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

// A file written under a decimal-comma locale starts the window under a "." one with its
// values; a hand-typed "100,000" stays the conversion error, never a silent 100.
TEST_F(SettingsFileTest, ADecimalCommaReadsUnderAPointLocale)
{
    ASSERT_EQ(Regional::Current().DecimalSeparator, '.');
    Write(Beside(), "[LastValues]\nAutoCalc=ON\nPrice=150000,5\nInterest=8,75\nDownPercent=12,5\n");
    Start();
    EXPECT_TRUE(boxes.Boxes().isEmpty()) << boxes.Boxes().first().text.toStdString();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 150000.5);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->Value(), 8.75);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->Value(), 12.5);
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::On);
    Close();

    Write(Beside(), "[LastValues]\nAutoCalc=ON\nPrice=100,000\n");
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "'100,000' is not a valid floating point value.");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
    Close();

    // Only the price takes three digits after a comma for grouping: a rate keeps its decimals.
    Write(Beside(), "[LastValues]\nInterest=8,125\nDownPercent=2,500\n");
    Start();
    EXPECT_EQ(boxes.Boxes().size(), 1); // the one above
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->Value(), 8.125);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->Value(), 2.5);
}

// Under a decimal-comma locale: the default inputs whatever the locale, stored numbers read
// with "." or the regional separator, and written with the regional one.
struct LocaleCase {
    const char* name;
    bool system; // the settings of the installed de_DE.UTF-8 locale, else pinned ones
};
void PrintTo(const LocaleCase& c, std::ostream* os)
{
    *os << c.name;
}

struct SettingsFileLocaleTest : SettingsFileTest, ::testing::WithParamInterface<LocaleCase> {
    TFormatSettings saved = Regional::Current();
    QByteArray savedLcAll = qgetenv("LC_ALL");

    void SetUp() override
    {
        if (GetParam().system) {
            qputenv("LC_ALL", "de_DE.UTF-8");
            Regional::Current() = Regional::FromSystem();
            if (Regional::Current().DecimalSeparator != ',')
                MISSING_FOR_TEST()
                    << "the de_DE.UTF-8 locale is not installed (scripts/setup makes it)";
        } else {
            TFormatSettings comma;
            comma.DecimalSeparator = ',';
            comma.ThousandSeparator = '.';
            comma.CurrencyString = QStringLiteral("€");
            comma.CurrencyFormat = 3;
            comma.NegCurrFormat = 8;
            Regional::Current() = comma;
        }
    }
    void TearDown() override
    {
        SettingsFileTest::TearDown();
        Regional::Current() = saved;
        if (savedLcAll.isNull())
            qunsetenv("LC_ALL");
        else
            qputenv("LC_ALL", savedLcAll);
    }
};

TEST_P(SettingsFileLocaleTest, DefaultsAndStoredNumbersRead)
{
    Write(Beside(), "[LastValues]\nAutoCalc=ON\n");
    Start();
    EXPECT_TRUE(boxes.Boxes().isEmpty()) << boxes.Boxes().first().text.toStdString();
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->Value(), 8.75);
    EXPECT_EQ(w->AutoCalcState(), TfrmMain::AutoCalc::On);
    EXPECT_EQ(Find<TStringAlignGrid>(*w, "grdAPR")->Cells(1, 0),
              "  IR %  "); // the table was built at the start
    Close();
    EXPECT_EQ(Read(Beside()),
              "[LastValues]\nAutoCalc=ON\nPrice=100000\nInterest=8,75\nTerm=30\nDownPercent=0\n");

    // Stored numbers read with either separator, as files written under other settings have.
    Write(Beside(), "[LastValues]\nPrice=150000.5\nInterest=7.25\nDownPercent=12,5\n");
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 150000.5);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->Value(), 7.25);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->Value(), 12.5);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    Close();

    // Grouping is not a number in a settings file.
    Write(Beside(), "[LastValues]\nPrice=150.000,5\n");
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "'150.000,5' is not a valid floating point value.");
}

// Under a decimal-comma locale "250.000" in the price is grouping typed by hand: the conversion
// error, never a silent 250. The rate and the down payment keep three decimals after a point.
TEST_P(SettingsFileLocaleTest, ThreeDigitsAfterAPointAreGroupingOnlyInThePrice)
{
    Write(Beside(), "[LastValues]\nPrice=250000\nInterest=8.125\nDownPercent=12.500\n");
    Start();
    EXPECT_TRUE(boxes.Boxes().isEmpty()) << boxes.Boxes().first().text.toStdString();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 250000);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->Value(), 8.125);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtDownPaymentPercent")->Value(), 12.5);
    Close();

    Write(Beside(), "[LastValues]\nAutoCalc=ON\nPrice=250.000\nInterest=8.125\n");
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "'250.000' is not a valid floating point value.");
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
    EXPECT_EQ(Find<TFnpNumericEdit>(*w, "edtInterest")->Value(), 8.75);
}

// The splash stays on top of every other window, so the message about a bad stored value would
// wait unseen behind it: the splash closes before the message shows.
TEST_F(SettingsFileTest, ABadStoredValueIsReportedWithTheSplashClosed)
{
    TSplashScreen splash;
    splash.Timer1()->start();
    splash.show();
    bool splashShownWithTheBox = true;
    QStringList texts;
    SetMessageBoxHook([&](const MessageBoxRecord& box) {
        splashShownWithTheBox = splash.isVisible();
        texts << box.text;
        return ModalResult::mrOk;
    });
    Write(Beside(), "[LastValues]\nPrice=12abc\n");
    Start();
    MessageBoxAnswerer::InstallDefault();
    EXPECT_EQ(texts, QStringList{"'12abc' is not a valid floating point value."});
    EXPECT_FALSE(splashShownWithTheBox);
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 100000);
}

INSTANTIATE_TEST_SUITE_P(, SettingsFileLocaleTest,
                         ::testing::Values(LocaleCase{"PinnedSettings", false},
                                           LocaleCase{"SystemLocale", true}),
                         [](const auto& row) { return std::string(row.param.name); });

// The user nobody, whom the ordinary-user cases run as when the tests run as root.
constexpr uid_t nobody = 65534;

// A text file that belongs to another user and that this one can write: made here and given to
// nobody when running as root, else the file prepared by the root test that started this run.
QString ForeignTextFile(const QString& folder, const QByteArray& bytes)
{
    if (geteuid() == 0) {
        const QString path = folder + "/victim.txt";
        TempProgramFolder::WriteFile(path, bytes);
        return chown(QFile::encodeName(path).constData(), nobody, nobody) == 0 ? path : QString();
    }
    const QString path = qEnvironmentVariable("TALLYHORN_TEST_FOREIGN_FILE");
    return TempProgramFolder::ReadFile(path) == bytes ? path : QString();
}

bool GiveToNobody(const QString& path)
{
    return lchown(QFile::encodeName(path).constData(), nobody, nobody) == 0;
}

// Links, other users' files and folders others can write. A file someone else could have made
// or changed is left exactly as it is: the values go to the configuration folder and the user
// is told once, with both paths. The user's own link to the user's own file is followed.
enum class Outcome { Followed, Refused, ConfigSilently };
struct TrustCase {
    const char* name;
    bool needsRoot; // to give files to another user
    // Plants the case in the program folder (and `elsewhere`); returns the file whose bytes
    // must stay as they are, or, when followed, the file the link leads to.
    std::function<QString(SettingsFileTest&, const QString& elsewhere)> plant;
    Outcome outcome;
    const char* reason = "";
};
void PrintTo(const TrustCase& c, std::ostream* os)
{
    *os << c.name;
}

const QByteArray passwdText = "root:x:0:0:root:/root:/bin/bash\n";
const QByteArray plantedIni = "[LastValues]\nPrice=7\n[Update]\nHost=127.0.0.1:1\n";

struct SettingsFileTrustTest : SettingsFileTest, ::testing::WithParamInterface<TrustCase> {};

TEST_P(SettingsFileTrustTest, OnlyTheUsersOwnFileIsUsed)
{
    const TrustCase& c = GetParam();
    if (c.needsRoot && geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    QTemporaryDir elsewhere;
    const QString file = c.plant(*this, elsewhere.path());
    ASSERT_FALSE(file.isEmpty()) << "the case could not be planted";
    const QByteArray before = Read(file);

    Start();
    CalculateWithPrice(234567);
    Close();
    const QByteArray config = Read(Config());
    // Root follows no link: its own link to its own file is refused like any other.
    const Outcome outcome =
        c.outcome == Outcome::Followed && geteuid() == 0 ? Outcome::Refused : c.outcome;
    const char* reason = outcome != c.outcome ? "follows no link when run as root" : c.reason;
    switch (outcome) {
    case Outcome::Followed:
        EXPECT_TRUE(Read(file).contains("Price=234567\n")) << Read(file).toStdString();
        EXPECT_TRUE(QFileInfo(Beside()).isSymLink());
        EXPECT_FALSE(QFileInfo::exists(Config()));
        EXPECT_TRUE(boxes.Boxes().isEmpty()) << boxes.Boxes().first().text.toStdString();
        return;
    case Outcome::Refused: {
        ASSERT_EQ(boxes.Boxes().size(), 1);
        const QString text = boxes.Boxes()[0].text;
        EXPECT_TRUE(text.contains(reason)) << text.toStdString();
        EXPECT_TRUE(text.contains(Beside()) && text.contains(Config())) << text.toStdString();
        break;
    }
    case Outcome::ConfigSilently:
        EXPECT_TRUE(boxes.Boxes().isEmpty()) << boxes.Boxes().first().text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(Beside()));
        break;
    }
    EXPECT_EQ(Read(file), before);
    EXPECT_TRUE(config.startsWith("[LastValues]\n") && config.contains("Price=234567\n") &&
                !config.contains("root:") && !config.contains("Host"))
        << config.toStdString();
    // The next start reads the values saved there and leaves the file alone again.
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 234567);
    Close();
    EXPECT_EQ(Read(file), before);
}

QString OwnFile(const QString& folder)
{
    const QString path = folder + "/mine.ini";
    TempProgramFolder::WriteFile(path, "[LastValues]\nPrice=7\n");
    return path;
}

QString LinkBeside(SettingsFileTest& t, const QString& target)
{
    return QFile::link(target, t.Beside()) ? target : QString();
}

INSTANTIATE_TEST_SUITE_P(
    , SettingsFileTrustTest,
    ::testing::Values(TrustCase{"OwnLinkToOwnFile", false,
                                [](SettingsFileTest& test, const QString& elsewhere) {
                                    return LinkBeside(test, OwnFile(elsewhere));
                                },
                                Outcome::Followed},
                      TrustCase{"LinkToAnotherUsersFile", false,
                                [](SettingsFileTest& test, const QString& elsewhere) {
                                    return LinkBeside(test, ForeignTextFile(elsewhere, passwdText));
                                },
                                Outcome::Refused, "is a link"},
                      TrustCase{"AnotherUsersLink", true,
                                [](SettingsFileTest& test, const QString& elsewhere) {
                                    const QString file = LinkBeside(test, OwnFile(elsewhere));
                                    return GiveToNobody(test.Beside()) ? file : QString();
                                },
                                Outcome::Refused, "is a link"},
                      TrustCase{"ThroughAnotherUsersLink", true,
                                [](SettingsFileTest& test, const QString& elsewhere) {
                                    const QString hop = elsewhere + "/hop.ini";
                                    if (!QFile::link(OwnFile(elsewhere), hop) || !GiveToNobody(hop))
                                        return QString();
                                    return LinkBeside(test, hop).isEmpty()
                                               ? QString()
                                               : elsewhere + "/mine.ini";
                                },
                                Outcome::Refused, "is a link"},
                      TrustCase{"LinkLeadingNowhere", false,
                                [](SettingsFileTest& test, const QString& elsewhere) {
                                    // The target stays missing: Read gives no bytes before and
                                    // after.
                                    return LinkBeside(test, elsewhere + "/missing.ini");
                                },
                                Outcome::Refused, "is a link"},
                      TrustCase{"LinkIntoASharedFolder", false,
                                [](SettingsFileTest& test, const QString& elsewhere) {
                                    chmod(QFile::encodeName(elsewhere).constData(), 0777);
                                    return LinkBeside(test, OwnFile(elsewhere));
                                },
                                Outcome::Refused, "is a link"},
                      TrustCase{"AnotherUsersFile", true,
                                [](SettingsFileTest& test, const QString&) {
                                    SettingsFileTest::Write(test.Beside(), plantedIni);
                                    return GiveToNobody(test.Beside()) ? test.Beside() : QString();
                                },
                                Outcome::Refused, "belongs to another user"},
                      TrustCase{"SharedProgramFolder", false,
                                [](SettingsFileTest& test, const QString&) {
                                    SettingsFileTest::Write(test.Beside(), plantedIni);
                                    chmod(QFile::encodeName(test.folder.Path()).constData(), 0777);
                                    return test.Beside();
                                },
                                Outcome::Refused, "in a folder that other users can change"},
                      TrustCase{"SharedProgramFolderWithoutFile", false,
                                [](SettingsFileTest& test, const QString&) {
                                    chmod(QFile::encodeName(test.folder.Path()).constData(), 0777);
                                    return test.Beside();
                                },
                                Outcome::ConfigSilently}),
    [](const auto& row) { return std::string(row.param.name); });

// An installed copy keeps its settings in the configuration folder, whoever runs it, and leaves
// a file beside it alone.
TEST_F(SettingsFileTest, AnInstalledCopyUsesTheConfigurationFolder)
{
    Write(folder.File("tallyhorn.installed"), "installed\n");
    Write(Beside(), "[LastValues]\nPrice=111111\n");
    QDir().mkpath(QFileInfo(Config()).path());
    Write(Config(), "[LastValues]\nPrice=222222\n");
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 222222);
    CalculateWithPrice(333333);
    Close();
    EXPECT_EQ(Read(Beside()), "[LastValues]\nPrice=111111\n");
    EXPECT_TRUE(Read(Config()).contains("Price=333333\n"));
    EXPECT_TRUE(boxes.Boxes().isEmpty());

    // Without a file anywhere, nothing is created beside it.
    QFile::remove(Beside());
    QFile::remove(Config());
    Start();
    Close();
    EXPECT_FALSE(QFileInfo::exists(Beside()));
    EXPECT_TRUE(Read(Config()).contains("AutoCalc=OFF\n"));
}

// Temporary files that saves cut short left beside the settings file are removed at the next
// start once they are a minute old; anything else of a similar name is kept.
TEST_F(SettingsFileTest, LeftoversOfInterruptedSavesAreRemovedAtStart)
{
    enum Kind { File, Link, Folder, OthersFile };
    struct Leftover {
        const char* name;
        Kind kind;
        int age; // seconds
        bool removed;
    };
    const Leftover leftovers[] = {
        {"TorvIni.ini.KUDurh", File, 120, true},
        {"TorvIni.ini.xQwErT", File, 61 * 60 * 24, true},
        {"TorvIni.ini.AbCdEf", File, 5, false}, // another copy's save in progress
        {"TorvIni.ini.KUDurhX", File, 120, false},
        {"TorvIni.ini.bak", File, 120, false},
        {"TorvIni.ini.", File, 120, false},
        {"Other.ini.KUDurh", File, 120, false},
        {"TorvIni.ini.LinkEd", Link, 120, false},
        {"TorvIni.ini.FOLDER", Folder, 120, false},
        {"TorvIni.ini.NoBody", OthersFile, 120, false},
    };
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("kept.txt");
    Write(target, "kept\n");
    Write(Beside(), "[LastValues]\nPrice=123456\n");
    const QDateTime now = QDateTime::currentDateTime();
    for (const Leftover& l : leftovers) {
        const QString path = folder.File(l.name);
        if (l.kind == Link)
            ASSERT_TRUE(QFile::link(target, path));
        else if (l.kind == Folder)
            ASSERT_TRUE(QDir().mkpath(path));
        else
            Write(path, "[LastValues]\nPrice=1\n");
        if (l.kind == OthersFile && (geteuid() != 0 || !GiveToNobody(path)))
            QFile::remove(path); // only root can give a file away
        // The file's own time, not its target's.
        const timespec times[2] = {{now.toSecsSinceEpoch() - l.age, 0},
                                   {now.toSecsSinceEpoch() - l.age, 0}};
        utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW);
    }
    Start();
    EXPECT_EQ(Find<TNumEdit>(*w, "edtPurchasePrice")->Value(), 123456);
    for (const Leftover& l : leftovers) {
        if (l.kind == OthersFile && geteuid() != 0)
            continue;
        EXPECT_NE(QFileInfo(folder.File(l.name)).exists() ||
                      QFileInfo(folder.File(l.name)).isSymLink(),
                  l.removed)
            << l.name;
    }
    EXPECT_EQ(Read(target), "kept\n");
}

// The cases above as an ordinary user: when the tests run as root (as in CI), a copy of this
// program runs them again as nobody.
TEST(SettingsFileAsOrdinaryUser, TheCasesHoldForNobody)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "the cases ran as this ordinary user already";
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    ASSERT_FALSE(setpriv.isEmpty()) << "setpriv (util-linux) is missing";
    const auto open = [](const QString& path, int mode) {
        return chmod(QFile::encodeName(path).constData(), mode) == 0;
    };
    // The program where nobody can run it, a home for nobody, and a text file of root's that
    // nobody could write through a link (in a folder anyone can write); all in /tmp, which
    // nobody can reach whatever temporary folder root's environment names.
    const QString pattern = QStringLiteral("/tmp/tallyhorn-nobody-XXXXXX");
    QTemporaryDir bin(pattern), home(pattern), shared(pattern);
    const QString program = bin.filePath("test_app");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    ASSERT_TRUE(open(bin.path(), 0755) && open(program, 0755));
    ASSERT_TRUE(chown(QFile::encodeName(home.path()).constData(), nobody, nobody) == 0);
    const QString victim = shared.filePath("victim.txt");
    TempProgramFolder::WriteFile(victim, passwdText);
    ASSERT_TRUE(open(shared.path(), 0777) && open(victim, 0666));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("TMPDIR", home.path());
    env.insert("TALLYHORN_TEST_FOREIGN_FILE", victim);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("XDG_RUNTIME_DIR");
    env.remove("XDG_CONFIG_HOME");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(home.path());
    child.start(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", "--", program,
                          "--gtest_filter=*SettingsFileTrustTest*:*LeftoversOfInterruptedSaves*:"
                          "*AnInstalledCopy*:*ValuesFollowTheChoiceOfPlace*:*ModeZero*"});
    ASSERT_TRUE(child.waitForFinished(240000));
    const QString log = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << log.toStdString();
    // Every case that needs no root ran and passed as nobody: six of the table, the three
    // tests above and the unreadable file, which root can read.
    const QRegularExpressionMatch passed =
        QRegularExpression("\\[  PASSED  \\] (\\d+) test").match(log);
    ASSERT_TRUE(passed.hasMatch()) << log.toStdString();
    EXPECT_EQ(passed.captured(1).toInt(), 10) << log.toStdString();
    EXPECT_EQ(TempProgramFolder::ReadFile(victim), passwdText);
}

} // namespace
