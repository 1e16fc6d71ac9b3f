#pragma once

#include <QString>
#include <QStringList>

class MediaPlayer;
struct MenuContext;

// The recordings browser (menu choice "7"): the files of the record folder page by page
// (state "7"), and one file with its recording time, to play, stop or delete (state "7_1").
// The folder is read again at every key in the list, so a new take shows up at once.
class RecordingsBrowser
{
public:
    RecordingsBrowser(MenuContext &menu, MediaPlayer &wmpMain);

    void RecordFile();
    void RecordFile_do(int &KeyAscii);
    void RecordFile_do_1(int &KeyAscii);
    void list_record_page(int page);

private:
    void readFolder();
    void redrawList();
    void chooseRow();
    void showFile(qint64 index);
    QString selectedPath() const;
    void onPlayerError();

    MenuContext &m_menu;
    MediaPlayer &m_player;
    QStringList FileList;
    qint64 SelectedFile = 0;
};
