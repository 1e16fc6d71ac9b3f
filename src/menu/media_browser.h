#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class MediaPlayer;
class QLabel;
class QTimer;
struct MenuContext;

// The multimedia browser (menu choice "8"): the music and picture folders and the CD-ROM
// folder page by page (states "8_1", "8_2"), and every playable file of a folder in name
// order, music playing from file to file in a loop (state "8_1_2") and pictures or movies
// shown one by one (state "8_2_2"). State "8" is its small menu.
class MediaBrowser
{
public:
    // Timer2 advances the music; it runs only while music is being played.
    MediaBrowser(MenuContext &menu, MediaPlayer &wmpMain, QLabel &Label3, QTimer &Timer2);

    void multimedia();
    void MultiMedia_do(int &KeyAscii);
    void MultiMedia_do_1();
    void MultiMedia_do_1_1(int &KeyAscii);
    void MultiMedia_do_1_2(int &KeyAscii);
    void list_media_page(int page);
    void LoadObjPIC();
    void showMusicPlayControl();
    void Timer2_Timer();

private:
    bool inMusic() const;
    QString root() const;
    bool atCdRom() const;
    void addEntry(const QString &entry);
    void readEntries();
    void chooseRow();
    void startPlaying();
    void showCurrent();
    void showPicture();
    void playMovie();
    void step(int delta);
    void stopMusic();
    void changeVolume(int delta);
    void leavePlaying();
    void showPlayingLabels();
    QString currentPath() const;
    QString fileName(qint64 number) const;
    void onPlayerError();
    // The play state matching a list state ("8_1" gives "8_1_2"), and back.
    QString playingState() const;

    MenuContext &m_menu;
    MediaPlayer &m_player;
    QLabel &m_Label3;
    QTimer &m_Timer2;

    QString CurrentFolder;
    QStringList FileList;
    QStringList MediaFiles;
    QImage LoadedPicture;
    QSize Fitted; // FittedWidth x FittedHeight, in pixels of the surface
    bool PlayerBusy = false;
};

// The size a picture is drawn at in an area: a landscape picture fills the area's width,
// any other its height, keeping its proportions; rounded to whole pixels.
QSize fitPicture(QSize picture, QSize area);
