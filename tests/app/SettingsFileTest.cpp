// The settings file as the user meets it: real files on disk, read at a real start of the
// window and written at its close.
#include "app/Main.h"
#include "app/splash.h"
#include "controls/Aligrid.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "platform/Regional.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TempFolder.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
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
        w->edtPurchasePrice->SetValue(price);
        w->CalcAPRTable(w->edtPurchasePrice);
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
    EXPECT_EQ(w->edtPurchasePrice->Value(), c.price);
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
    EXPECT_EQ(w->edtPurchasePrice->Value(), c.price);
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
    EXPECT_EQ(w->edtPurchasePrice->Value(), 234567);
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
    Write(Beside(), "[LastValues]\nPrice=111111\n");
    {
        // The program folder cannot be written: the values beside it come along.
        ReadOnlyFolder readOnly(folder.Path());
        if (!readOnly.Holds())
            GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
        Start();
        EXPECT_EQ(w->edtPurchasePrice->Value(), 111111);
        CalculateWithPrice(222222);
        Close();
    }
    EXPECT_EQ(Read(Beside()), "[LastValues]\nPrice=111111\n");
    WaitForClockPast(Config());

    // Writable again: what was saved in the configuration folder is not dropped.
    Start();
    EXPECT_EQ(w->edtPurchasePrice->Value(), 222222);
    CalculateWithPrice(333333);
    Close();
    EXPECT_TRUE(Read(Beside()).contains("Price=333333\n"));
    WaitForClockPast(Beside());

    // Read-only once more: the configuration folder's copy is brought up to date first.
    ReadOnlyFolder readOnly(folder.Path());
    Start();
    EXPECT_EQ(w->edtPurchasePrice->Value(), 333333);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

// Under a decimal-comma locale: the designed defaults whatever the locale, stored numbers read
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
                GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (scripts/setup makes it)";
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
    EXPECT_EQ(w->edtInterest->Value(), 8.75);
    EXPECT_EQ(w->AutoCalcStatus, "ON");
    EXPECT_EQ(w->grdAPR->Cells(1, 0), "  IR %  "); // the table was built at the start
    Close();
    EXPECT_EQ(Read(Beside()),
              "[LastValues]\nAutoCalc=ON\nPrice=100000\nInterest=8,75\nTerm=30\nDownPercent=0\n");

    // Stored numbers read with either separator, as files written under other settings have.
    Write(Beside(), "[LastValues]\nPrice=150000.5\nInterest=7.25\nDownPercent=12,5\n");
    Start();
    EXPECT_EQ(w->edtPurchasePrice->Value(), 150000.5);
    EXPECT_EQ(w->edtInterest->Value(), 7.25);
    EXPECT_EQ(w->edtDownPaymentPercent->Value(), 12.5);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    Close();

    // Grouping is not a number in a settings file.
    Write(Beside(), "[LastValues]\nPrice=150.000,5\n");
    Start();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, "'150.000,5' is not a valid floating point value.");
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
    EXPECT_EQ(w->edtPurchasePrice->Value(), 100000);
}

INSTANTIATE_TEST_SUITE_P(, SettingsFileLocaleTest,
                         ::testing::Values(LocaleCase{"PinnedSettings", false},
                                           LocaleCase{"SystemLocale", true}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
