#pragma once

#include <QMap>
#include <QObject>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;
class QueueWriter;

// The one line at the foot of the jukebox menu that tells the owner what does not work now
// (the room's catalogue does not follow the venue's server; the queue cannot be saved): each
// source sets its own notice, empty once all is well again, and the line shows those set, or
// hides when there are none.
class FootNotices : public QObject
{
    Q_OBJECT

public:
    enum Source { Venue, Queue };

    FootNotices(QWidget &menu, QSize screen);

    // Safe to call from any thread.
    void set(Source source, const QString &notice);
    // "點歌單無法存檔" while the writer's saves fail, gone once one holds.
    void followQueueSaving(QueueWriter &writer);
    // All the notices set, whole (the line may show them shortened).
    QString text() const;
    // The line as it is on the screen.
    QString shownText() const;

private:
    void show(Source source, const QString &notice);

    QLabel *m_line;
    QString m_text;
    QMap<Source, QString> m_notices;
};
