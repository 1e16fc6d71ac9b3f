#pragma once

#include <QDialog>

#include <memory>

class MediaPlayer;
class MediaPlayerFactory;

// The preview window of manager mode: plays one song file in a window half the screen's size.
class SmallView : public QDialog
{
    Q_OBJECT

public:
    SmallView(MediaPlayerFactory &players, QSize screen, QWidget *parent = nullptr);
    ~SmallView() override;

    // The file to play when the window is shown.
    void setFilePath(const QString &path) { m_path = path; }
    MediaPlayer &WMP_SMALL() { return *m_player; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    std::unique_ptr<MediaPlayer> m_player;
    QString m_path;
    bool m_started = false;
};
