#pragma once

#include <QWidget>

// What a projects page shows while no developer server runs: a badge, a title and a line on what
// would show here; smaller in the tray panel (compact).
class ProjectsEmptyState : public QWidget {
    Q_OBJECT
public:
    explicit ProjectsEmptyState(bool compact, QWidget* parent = nullptr);
};
