#pragma once

#include "overlays/keypad_window.h"
#include "playback/session_fixture.h"
#include "widgets/drawing_surface.h"

#include <QLabel>

#include <memory>

// A playing session with an in-song window over it, shown as the player shows it, and keys
// sent through the window's entry point. Besides the five songs of the session fixture, the
// catalogue holds song "124", song "3", and six male singers: the first with six songs, the
// sixth (on the second page of singers) with one.
class OverlayFixture : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        const qint64 female = catalogue.addSinger("鄧麗", 0);
        catalogue.addSong("124", 1, "月亮代表", female);
        catalogue.addSong("3", 1, "小城故事", female);
        for (char c = 'A'; c <= 'F'; ++c) {
            const qint64 singer = catalogue.addSinger(QStringLiteral("男歌手%1").arg(QChar(c)), 1);
            if (c == 'F')
                catalogue.addSong("300201", 3, "男歌F", singer);
            if (c != 'A')
                continue;
            for (int i = 1; i <= 6; ++i)
                catalogue.addSong(QStringLiteral("30010%1").arg(i), 3, QStringLiteral("男歌%1").arg(i), singer);
        }
    }

    // The window of that type over the session, made and shown the first time.
    template <typename Window>
    Window &window()
    {
        if (!m_window) {
            m_window = std::make_unique<Window>(session(), state, QSize(1280, 720));
            m_window->show();
        }
        return static_cast<Window &>(*m_window);
    }

    void type(const QString &keys) { sendKeys(keys, [this](int &code) { m_window->handleKey(code); }); }
    QString echo() const { return m_window->Label1->text().trimmed(); }
    QStringList screen() const { return m_window->Picture1->screenLines(); }
    bool closedToControlBar() const
    {
        return !m_window->isVisible() && m_window->result() == int(NextWindow::ControlBar);
    }

    std::unique_ptr<KeypadWindow> m_window;
};
