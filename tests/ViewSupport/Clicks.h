#pragma once

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

// A left click on `widget` once the events queued before it have run, as a user's click lands.
inline void click(QWidget* widget) {
    QCoreApplication::processEvents();
    QTest::mouseClick(widget, Qt::LeftButton);
}
