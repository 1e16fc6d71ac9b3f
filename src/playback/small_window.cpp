#include "playback/small_window.h"

#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "widgets/key_code.h"
#include "platform/modal_runner.h"

#include <QEvent>
#include <QPushButton>
#include <QTimer>

SmallWindow::SmallWindow(SharedState &state, QSize screen, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_state(state)
    , m_screen(screen)
    , m_focusTimer(new QTimer(this))
{
    setStyleSheet(QStringLiteral("SmallWindow { background: #202040; border: 2px solid #8080ff; }"
                                 "QPushButton { background: #303070; color: white; }"
                                 "QLabel { color: white; }"));
    m_focusTimer->setInterval(100);
    connect(m_focusTimer, &QTimer::timeout, this, [this] {
        if (keepsFocus()) {
            activateWindow();
            setFocus();
        }
    });
    installEventFilter(this);
}

NextWindow SmallWindow::run()
{
    setResult(int(NextWindow::None));
    return NextWindow(ModalRunner::exec(*this));
}

void SmallWindow::closeTo(NextWindow next)
{
    m_closing = true;
    m_focusTimer->stop();
    done(int(next));
}

QPushButton *SmallWindow::addButton(const QString &name, const QString &caption, QRect geometry,
                                    std::function<void()> click)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(QFont(kScreenFontName, 12));
    // A mouse press acts at once, as a click would.
    connect(button, &QPushButton::pressed, this, std::move(click));
    button->installEventFilter(this);
    return button;
}

void SmallWindow::fitToScreen(double widthShare)
{
    const double factor = m_screen.width() * widthShare / qMax(1, width());
    const QList<QWidget *> controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    ScaleControl(this, factor);
    for (QWidget *control : controls)
        ScaleControl(control, factor);
    placeAtSmallScreenPosition();
}

void SmallWindow::placeAtSmallScreenPosition()
{
    const int tpp = qMax(1, m_state.TwipsPerPixel);
    move(m_state.settings.SmallScreenLeft / tpp, m_state.settings.SmallScreenTop / tpp);
}

bool SmallWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    if (std::optional<int> code = keyCodeOf(*event))
        handleKey(*code);
    return true;
}

void SmallWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_closing = false;
    m_focusTimer->start();
}

void SmallWindow::hideEvent(QHideEvent *event)
{
    m_focusTimer->stop();
    QDialog::hideEvent(event);
}
