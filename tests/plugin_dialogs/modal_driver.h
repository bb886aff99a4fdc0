// Drives a modal dialog from inside its own event loop: the action runs on the
// dialog once it is the active modal widget.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

inline void WhenModalShown(std::function<void(QDialog&)> action) {
    QTimer::singleShot(0, [action] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            action(*dialog);
    });
}
