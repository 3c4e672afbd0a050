// `cmake --install` into a temporary prefix: the program and its help file together, the
// installed-copy marker, the link in bin, and desktop files that the desktop's own validators
// accept.
#include "tests/support/MissingTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

// Runs a program; its exit code, or -1 when it could not run. Its output goes to `output`.
int RunProgram(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitCode();
}

// The value of `key` in the [Desktop Entry] group of a desktop file.
QString DesktopValue(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    return {};
}

} // namespace

TEST(Install, IntoATemporaryPrefix)
{
    QTemporaryDir prefix;
    QString log;
    ASSERT_EQ(RunProgram(TALLYHORN_CMAKE,
                         {"--install", TALLYHORN_BUILD_DIR, "--prefix", prefix.path()}, &log),
              0)
        << log.toStdString();
    const QDir root(prefix.path());

    const QFileInfo program(root.filePath("lib/tallyhorn/tallyhorn"));
    EXPECT_TRUE(program.isExecutable());
    QFile built(TALLYHORN_HELP_FILE), installed(root.filePath("lib/tallyhorn/torv.hlp"));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly) && installed.open(QIODevice::ReadOnly));
    EXPECT_EQ(installed.readAll(), built.readAll());
    // The link in bin leads to the program, whose folder holds the help file.
    const QFileInfo link(root.filePath("bin/tallyhorn"));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.canonicalFilePath(), program.canonicalFilePath());

    EXPECT_TRUE(QFileInfo::exists(root.filePath("share/man/man1/tallyhorn.1.gz")));
    // The theme's PNG icons, each at the size of its folder.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage png(
            root.filePath(QString("share/icons/hicolor/%1x%1/apps/tallyhorn.png").arg(size)));
        EXPECT_EQ(png.size(), QSize(size, size)) << size;
        EXPECT_TRUE(png.hasAlphaChannel()) << size;
    }
    // Every file is installed by one rule only.
    QStringList destinations;
    for (const QString& line : log.split('\n'))
        if (line.startsWith("-- Installing: ") || line.startsWith("-- Up-to-date: "))
            destinations << line.mid(15);
    EXPECT_EQ(destinations.removeDuplicates(), 0) << log.toStdString();

    // The marker makes it an installed copy, which reads the settings file of the user's
    // configuration folder, even with one beside it that it could write (as root can).
    EXPECT_TRUE(QFileInfo(root.filePath("lib/tallyhorn/tallyhorn.installed")).isFile());
    QTemporaryDir config;
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(write(root.filePath("lib/tallyhorn/TorvIni.ini"), "[LastValues]\nPrice=111111\n"));
    ASSERT_TRUE(write(config.filePath("tallyhorn/TorvIni.ini"), "[LastValues]\nPrice=222222\n"));
    QProcess table;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    table.setProcessEnvironment(env);
    table.start(link.filePath(), {"table", "--format", "json"});
    ASSERT_TRUE(table.waitForFinished(120000));
    const QByteArray json = table.readAllStandardOutput();
    EXPECT_TRUE(json.contains("\"price\": 222222,")) << json.toStdString();
    QFile::remove(root.filePath("lib/tallyhorn/TorvIni.ini"));

    const QString desktop = root.filePath("share/applications/tallyhorn.desktop");
    const QString metainfo = root.filePath("share/metainfo/example.velmora.tallyhorn.metainfo.xml");
    const QString icon = root.filePath("share/icons/hicolor/scalable/apps/tallyhorn.svg");
    // The window class is the program's file name, and the entry names the program and icon.
    EXPECT_EQ(DesktopValue(desktop, "StartupWMClass"), program.fileName());
    EXPECT_EQ(DesktopValue(desktop, "Exec"), link.fileName());
    EXPECT_EQ(DesktopValue(desktop, "Icon"), QFileInfo(icon).baseName());
    QFile svg(icon);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    ASSERT_TRUE(xml.readNextStartElement());
    EXPECT_EQ(xml.name(), QLatin1String("svg"));

    const QString desktopValidate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstream = QStandardPaths::findExecutable("appstreamcli");
    if (desktopValidate.isEmpty() || appstream.isEmpty())
        MISSING_FOR_TEST() << "desktop-file-validate or appstreamcli is missing (scripts/setup "
                              "installs desktop-file-utils and appstream)";
    EXPECT_EQ(RunProgram(desktopValidate, {desktop}, &log), 0) << log.toStdString();
    // --no-net: the validator must not try the addresses in the file.
    EXPECT_EQ(RunProgram(appstream, {"validate", "--no-net", metainfo}, &log), 0)
        << log.toStdString();
}
