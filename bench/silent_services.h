#pragma once

#include "platform/file_dialogs.h"
#include "platform/mci_device.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "platform/mouse_pointer.h"
#include "platform/printer.h"
#include "platform/qt_file_system.h"
#include "platform/services.h"
#include "platform/shutdown.h"
#include "platform/spreadsheet.h"
#include "platform/system_clock.h"

#include <QWidget>

#include <memory>

// Windows under a benchmark need media players, dialogs and devices; nothing plays, nothing
// is asked, every question is answered No.
class SilentPlayer : public MediaPlayer
{
public:
    void setUrl(const QString &) override {}
    QString url() const override { return {}; }
    void play() override {}
    void pause() override {}
    void stop() override {}
    void close() override {}
    PlayState playState() const override { return PlayState::Undefined; }
    QString positionText() const override { return {}; }
    int volume() const override { return 50; }
    void setVolume(int) override {}
    int audioTrackCount() const override { return 0; }
    int currentAudioTrack() const override { return 0; }
    void setCurrentAudioTrack(int) override {}
    void setStereoSide(StereoSide) override {}
    StereoSide stereoSide() const override { return StereoSide::Both; }
    void setKey(int) override {}
    int key() const override { return 0; }
    void setSongGain(const SongGain &) override {}
    SongGain songGain() const override { return {}; }
    QWidget *videoWidget() override { return &m_video; }

private:
    QWidget m_video;
};

struct Silent : MediaPlayerFactory, MessageBoxes, FileDialogs, MousePointer, Shutdown, MciDevice
{
    std::unique_ptr<MediaPlayer> create() override { return std::make_unique<SilentPlayer>(); }
    void ok(const QString &) override {}
    bool yesNo(const QString &) override { return false; }
    Answer yesNoCancel(const QString &) override { return Answer::Cancel; }
    QString openFile(const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    void moveTo(int, int) override {}
    void powerOff() override {}
    QString sendString(const QString &) override { return {}; }
};

// Pages that go nowhere: the windows under a benchmark print nothing.
class SilentPrinter : public Printer
{
public:
    bool printDocument(const QString &, const std::function<void()> &) override { return false; }
    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    QString fontName() const override { return {}; }
    double fontSize() const override { return 0; }
    void setCurrentX(double) override {}
    void setCurrentY(double) override {}
    double currentX() const override { return 0; }
    double currentY() const override { return 0; }
    double textWidth(const QString &) const override { return 0; }
    void print(const QString &) override {}
    void fillBox(double, double, double, double) override {}
    void newPage() override {}
    void endDoc() override {}
    bool progress(int, int) override { return false; }
};

// Workbooks that are never saved.
class SilentSpreadsheets : public SpreadsheetFactory
{
public:
    std::unique_ptr<Spreadsheet> create() override { return std::make_unique<Sheet>(); }

private:
    struct Sheet : Spreadsheet
    {
        void setCell(int, int, const QString &) override {}
        void setGridBorders(int, int, int, int) override {}
        bool addPageBreakBefore(int) override { return true; }
        void setFont(const QString &, double) override {}
        void autoFitColumns(int, int) override {}
        void setPageSetup(const PageSetup &) override {}
        bool saveAs(const QString &, QString *) override { return false; }
    };
};

// The real file system and clock with everything else silent: what a window under a benchmark
// is given.
struct SilentServices
{
    QtFileSystem fs;
    SystemClock clock;
    Silent silent;
    SilentPrinter printer;
    SilentSpreadsheets spreadsheets;
    Services services{fs, clock, silent, silent, silent, silent, silent, silent, printer, spreadsheets};
};
