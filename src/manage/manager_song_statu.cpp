#include "manage/manager_song_statu.h"

#include "core/shared_state.h"
#include "catalogue/catalogue_statistics.h"

#include <QDateTime>
#include <QLabel>

ManagerSongStatu::ManagerSongStatu(SharedState &state, Services &services, QSize screen, QWidget *parent)
    : ManagerDialog(state, services, screen, QStringLiteral("manager_song_statu"), QStringLiteral("曲目狀況"),
                    QSize(560, 420), parent)
{
    Picture1 = addLabel(this, QStringLiteral("Picture1"), QString(), QRect(20, 20, 520, 325));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setAutoFillBackground(true);
    Picture1->setStyleSheet(QStringLiteral("QLabel { background: white; color: black; padding: 6px; }"));
    Command1 = addButton(this, QStringLiteral("Command1"), QStringLiteral("離開"), QRect(200, 360, 160, 45),
                         [this] { Command1_Click(); });
    fitToScreen(0.7);
    centreOnScreen();
}

// Counted afresh each time the window is shown.
void ManagerSongStatu::showEvent(QShowEvent *event)
{
    ManagerDialog::showEvent(event);
    Picture1->clear();
    guarded([this] {
        const QStringList lines =
            catalogueStatusLines(m_state.db()) + historyStatusLines(m_state.db(), QDateTime::currentSecsSinceEpoch());
        Picture1->setText(lines.join(QLatin1Char('\n')));
    });
}

void ManagerSongStatu::Command1_Click()
{
    reject();
}
