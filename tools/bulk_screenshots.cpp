// Shows the bulk-registration windows on a real display with a folder of good and badly
// named files and saves a picture of the whole screen for each:
//   bulk_screenshots OUTDIR
// scripts/screenshots.sh runs it under Xvfb at the screen size it is given.
#include "bulk/batch_registe.h"
#include "bulk/progress_strip.h"
#include "bulk/reg_by_filename.h"
#include "bulk/reg_by_filename_modify_filename.h"
#include "bulk/reg_by_filename_same.h"
#include "core/init_system.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "platform/qt_file_system.h"
#include "support/catalogue_builder.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

void save(const QString &outDir, const QString &name)
{
    QTest::qWait(400);
    const QString path = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    QTextStream(stdout) << path << Qt::endl;
}

void touch(const QString &path)
{
    QFile(path).open(QIODevice::WriteOnly);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installScreenFonts();
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir home;
    FakeServices fakes;
    SharedState state;
    if (!InitSystem(state, fakes.fileSystem, fakes.clock, home.path()).ok)
        return 1;
    CatalogueBuilder catalogue(state.DbPath);
    const qint64 teresa = catalogue.addSinger(QStringLiteral("鄧麗君"), 0);
    catalogue.addSinger(QStringLiteral("費玉清"), 1);
    catalogue.addSong(QStringLiteral("105001"), 1, QStringLiteral("月亮代表我的心"), teresa);
    catalogue.addSong(QStringLiteral("104001"), 1, QStringLiteral("甜蜜蜜啊"), teresa);
    const QString songs = home.filePath(QStringLiteral("新歌"));
    QDir().mkpath(songs);
    for (const char *name : {"鄧麗君,小城故事,國語,4.mpg", "鄧麗君+費玉清,晚安曲,國語,3.MPG", "鄧麗君,甜蜜蜜,國語,4.mp3",
                             "費玉清,一剪梅,國語,3.avi", "費玉清,一剪梅,國語.avi", "張三,新人新歌,台語,4.wav",
                             "鄧麗君,何日君再來,火星語,5.dat", "鄧麗君,夜來香,國語,0.mid", "cover.jpg", "list.txt"})
        touch(songs + QLatin1Char('/') + QString::fromUtf8(name));
    const QSize screen = QGuiApplication::primaryScreen()->size();

    RegByFilename window(state, fakes.services, screen);
    window.show();
    window.txtPath->setText(songs);
    window.txtPath->returnPressed();
    const auto firstRow = [&window](const std::function<bool(const FileRow &)> &wanted) {
        for (int i = 0; i < window.table().size(); ++i) {
            if (wanted(window.table().row(i)))
                return i;
        }
        return 0;
    };
    window.lstFileInfo->setCurrentRow(firstRow([](const FileRow &row) { return row.command == RowCommand::NoCommand; }));
    window.lstFileInfo_Click();
    save(outDir, QStringLiteral("reg-by-filename"));

    const int badRow = firstRow([](const FileRow &row) { return row.formatError != FileNameError::None; });
    RegByFilenameModifyFilename rename(state, fakes.services, screen, window.table().row(badRow).fileName(), &window);
    rename.show();
    save(outDir, QStringLiteral("reg-by-filename-rename"));
    rename.hide();

    const int similarRow = firstRow([](const FileRow &row) { return row.command == RowCommand::NoCommand; });
    RegByFilenameSame same(state, fakes.services, screen, window.table().row(similarRow), &window);
    same.show();
    same.cmbOrgSong->setCurrentIndex(0);
    save(outDir, QStringLiteral("reg-by-filename-same"));
    same.hide();
    window.hide();

    BatchRegiste batch(state, fakes.services, screen);
    batch.show();
    batch.reg_file_name->setText(songs + QStringLiteral("/list.txt"));
    batch.Label2->setText(QStringLiteral("進度 3/120:月亮代表我的心"));
    batch.strip->prgProgress->setMaximum(121);
    batch.strip->prgProgress->setValue(4);
    batch.strip->show();
    save(outDir, QStringLiteral("batch-registe"));
    return 0;
}
