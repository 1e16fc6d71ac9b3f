#pragma once

#include "menu/main_menu.h"
#include "widgets/drawing_surface.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

// A guest's key presses in the menu, each timed from the key to the finished redraw (look-up,
// drawing and painting): the menu benchmark, alone or beside a load.
struct MenuPresses
{
    std::vector<double> search, pageTurn, singers, queueOrder;

    static void type(MainMenu &menu, const QString &keys)
    {
        for (QChar c : keys) {
            int code = c == QLatin1Char('\r') ? 13 : int(c.unicode());
            menu.Picture1_KeyPress(code);
        }
    }

    // One press, timed until the surface has painted what it drew.
    static double timed(MainMenu &menu, const QString &keys)
    {
        QElapsedTimer timer;
        timer.start();
        type(menu, keys);
        (void)menu.Picture1->grab(); // paints the surface as the screen would
        return timer.nsecsElapsed() / 1e6;
    }

    // Round i: a count search and its next page, a singer group, an order by number.
    void round(MainMenu &menu, int i)
    {
        type(menu, QStringLiteral("1%1").arg(i % 8));
        search.push_back(timed(menu, QString::number(1 + i % 12) + QLatin1Char('\r')));
        pageTurn.push_back(timed(menu, QStringLiteral("+")));
        type(menu, QStringLiteral("0\r9"));
        type(menu, QStringLiteral("2"));
        singers.push_back(timed(menu, QString::number(1 + i % 3)));
        type(menu, QStringLiteral("0\r9"));
        type(menu, QStringLiteral("3"));
        queueOrder.push_back(timed(menu, QStringLiteral("%1%2001\r").arg(i % 8).arg(1 + i % 9, 2, 10, QLatin1Char('0'))));
        type(menu, QStringLiteral("0\r"));
    }

    static double median(std::vector<double> ms)
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }

    static void report(const char *what, std::vector<double> ms)
    {
        std::sort(ms.begin(), ms.end());
        std::printf("%-44s median %7.2f ms   worst %7.2f ms   (%zu presses)\n", what, median(ms), ms.back(), ms.size());
    }

    void report() const
    {
        report("count search (kind, count, Enter)", search);
        report("next page of the result list (+)", pageTurn);
        report("singer group (load + first singer page)", singers);
        report("order by number (Enter, queue page)", queueOrder);
        std::vector<double> all = search;
        for (const std::vector<double> *kind : {&pageTurn, &singers, &queueOrder})
            all.insert(all.end(), kind->begin(), kind->end());
        std::printf("%-44s median %7.2f ms\n", "every press", median(all));
    }
};
